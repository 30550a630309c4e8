// Saver mode's second half: a small window with one big button that aborts
// the scheduled hibernation. The toolkit's shut-down closes the window.
#include "app/globals.h"
#include "app/modes.h"
#include "app/tool.h"
#include "toolkit/process/delay.h"
#include "toolkit/window/event_codes.h"
#include "toolkit/window/event_loop.h"
#include "toolkit/window/fonts.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/windows.h"

// WS_CAPTION | WS_SYSMENU: a title bar and a close box, no sizing frame and
// no minimise or maximise box.
static const uint32_t CANCEL_WINDOW_STYLE = 0xC80000;
static const ObjectNumber CANCEL = 0;

void CancelWindowRun() {
    if (!WindowOpen(CANCEL, 300, 300, 240, 80, "Somnaro v0.5", CANCEL_WINDOW_STYLE)) return;
    // Without the font the button keeps the default gadget font.
    if (FontLoad(CANCEL, "Arial", 18)) GadgetFontSet(ANY_NUMBER, FontHandle(CANCEL));
    ButtonCreate(CANCEL, 10, 10, 220, 60, "Cancel Hibernate");

    do {
        g_program.lastEvent = EventWait();
        if (g_program.lastEvent == EVENT_GADGET && EventGadgetNumber() == CANCEL) {
            // Nothing was scheduled where the tool cannot hibernate. Whether the
            // abort could be started or not, the saver is done.
            if (!g_program.toolMissing) ToolRun("-a");
            DelayMs(200);
            g_program.lastEvent = EVENT_CLOSE_WINDOW;
        }
    } while (g_program.lastEvent != EVENT_CLOSE_WINDOW);
}
