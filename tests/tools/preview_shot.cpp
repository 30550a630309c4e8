// The preview's picture for docs/: the delay and the readiness that this
// computer gives, painted by the preview's own function into a 152 x 112
// bitmap, the size of the Screen Saver dialog's small screen, and saved as a
// 32-bit BMP:   preview_shot OUT.bmp
#include "app/delay_setting.h"
#include "app/preview.h"
#include "app/tool.h"
#include "support/canvas.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/toolkit_chain.h"
#include <stdio.h>
#include <windows.h>

static const int WIDTH = 152, HEIGHT = 112;

static bool bitmapSave(const char* path, const void* pixels) {
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = WIDTH;
    info.biHeight = -HEIGHT;  // top-down, as drawn
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD size = WIDTH * HEIGHT * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + size;
    FILE* out = fopen(path, "wb");
    if (!out) return false;
    bool written = fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                   fwrite(pixels, size, 1, out) == 1;
    return fclose(out) == 0 && written;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: preview_shot OUT.bmp\n");
        return 2;
    }
    HANDLE heap = HeapCreate(0, 4096, 0);
    if (!heap) return 1;
    ProgramHeapSet(heap);
    ToolkitStart();
    TextVar delay = nullptr;
    DelayInUseKeep(&delay);
    const uint32_t missing = ToolReadinessCheck();

    int result = 1;
    {
        Canvas canvas(WIDTH, HEIGHT);
        if (canvas.ready()) {
            PreviewPaint(canvas.dc(), WIDTH, HEIGHT, delay, missing);
            if (bitmapSave(argv[1], canvas.pixels())) result = 0;
        }
    }
    printf("%s: %s, delay %s\n", argv[1], missing ? "not ready" : "ready", delay ? delay : "");
    TextRelease(delay);
    ToolkitEnd();
    HeapDestroy(heap);
    return result;
}
