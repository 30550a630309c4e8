// The image table: numbered bitmaps and icons, released at shut-down.
#include "toolkit/core/image_module.h"

static ObjectTable* g_images = nullptr;

ObjectTable* ImageTable() { return g_images; }

void ImagesStart() {
    g_images = ObjectTableCreate(sizeof(ImageRecord), 16, ImageRelease);
}

void ImageRelease(ObjectNumber number) {
    if (number == ANY_NUMBER || !g_images) return;
    ImageRecord* image = static_cast<ImageRecord*>(ObjectFind(g_images, number));
    if (!image) return;
    if (GetObjectType(image->handle) == OBJ_BITMAP)
        DeleteObject(image->handle);
    else
        DestroyIcon(static_cast<HICON>(image->handle));
    ObjectRemove(g_images, number);
}

void ImagesEnd() {
    if (!g_images) return;
    ObjectIterateStart(g_images);
    ObjectNumber number = 0;
    while (ObjectIterateNext(g_images, &number)) ImageRelease(number);
}
