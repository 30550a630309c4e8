// Preview mode: a child of the Screen Saver dialog's small screen that shows
// the moon and whether the saver would hibernate, and after how long. It asks
// what saver mode asks, but starts nothing, writes nothing and says nothing
// in a message box: the dialog's Preview button is where the saver explains.
#include "app/preview.h"
#include "app/delay_setting.h"
#include "app/globals.h"
#include "app/modes.h"
#include "app/tool.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_loop.h"
#include "toolkit/window/windows.h"

static const ObjectNumber PREVIEW = 0;

static void previewPainter(HDC dc, int32_t width, int32_t height) {
    PreviewPaint(dc, width, height, g_program.delayText, g_program.toolMissing);
}

// parent: the preview screen's window, or null when the command line named none.
void PreviewModeRun(HWND parent) {
    if (!parent) return;
    // Asked before the window shows, so that its first picture is right.
    DelayInUseKeep(&g_program.delayText);
    g_program.toolMissing = ToolReadinessCheck();
    if (!WindowChildOpen(PREVIEW, parent)) return;
    WindowPainterSet(PREVIEW, previewPainter);
    // No timer: the loop sleeps in GetMessageA until Windows asks for a paint,
    // and ends when the dialog takes the preview's window away with its own.
    do {
        g_program.lastEvent = EventWait();
    } while (g_program.lastEvent != EVENT_WINDOW_DESTROYED);
}
