// The image table: numbered bitmaps and icons, released at shut-down.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>

struct ImageRecord {
    HANDLE handle;   // a GDI bitmap or an icon; 0 while absent
};

void ImagesStart();
void ImagesEnd();
void ImageRelease(ObjectNumber number);
ObjectTable* ImageTable();
