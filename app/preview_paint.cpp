// The preview's picture: the moon, and beneath it the delay or a warning,
// laid out from the preview's height alone and painted into any DC.
#include "app/preview.h"
#include "toolkit/window/drawing.h"

static const char FACE[] = "Arial";
// The sizes of the icon group, largest first.
static const int32_t ICON_SIZES[] = {128, 96, 64, 48, 32, 16};

PreviewLayout PreviewLayoutOf(int32_t width, int32_t height) {
    PreviewLayout layout = {};
    int32_t icon = 0;
    for (int32_t size : ICON_SIZES)
        if (size <= height / 2) {
            icon = size;
            break;
        }
    layout.textHeight = height / 9 > 6 ? height / 9 : 6;
    const int32_t lineStep = layout.textHeight * 5 / 4;
    const int32_t gap = icon ? layout.textHeight / 2 : 0;
    // The moon and room for two lines, centred together.
    const int32_t top = (height - (icon + gap + 2 * lineStep)) / 2;
    layout.icon = {(width - icon) / 2, top, (width - icon) / 2 + icon, top + icon};
    const int32_t lineTop = top + icon + gap;
    layout.lines[0] = {0, lineTop, width, lineTop + lineStep};
    layout.lines[1] = {0, lineTop + lineStep, width, lineTop + 2 * lineStep};
    return layout;
}

void PreviewPaint(HDC dc, int32_t width, int32_t height, const char* delay, uint32_t missing) {
    const PreviewLayout layout = PreviewLayoutOf(width, height);
    RectangleFill(dc, {0, 0, width, height}, PREVIEW_BACKGROUND);
    const int32_t icon = layout.icon.right - layout.icon.left;
    // Without its icon the preview still tells what it must.
    if (icon) IconDraw(dc, layout.icon.left, layout.icon.top, icon);
    if (missing) {
        TextLineDraw(dc, layout.lines[0], "Will not hibernate", FACE, layout.textHeight,
                     PREVIEW_WARNING);
        TextLineDraw(dc, layout.lines[1], "Preview shows why", FACE, layout.textHeight,
                     PREVIEW_WARNING);
        return;
    }
    // A delay is at most 254 characters, as any value read.
    char line[300];
    wsprintfA(line, "Hibernates after %.254s s", delay ? delay : "");
    TextLineDraw(dc, layout.lines[0], line, FACE, layout.textHeight, PREVIEW_TEXT);
}

