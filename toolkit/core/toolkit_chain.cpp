// The toolkit's fixed start-up and shut-down orders around the program: every
// module starts whether or not the program uses it, and ends on every path.
#include "toolkit/core/toolkit_chain.h"
#include "toolkit/core/capability_probe.h"
#include "toolkit/core/image_module.h"
#include "toolkit/core/object_table.h"
#include "toolkit/core/system_libraries.h"
#include "toolkit/core/text.h"
#include "toolkit/process/programs.h"
#include "toolkit/window/event_queue.h"
#include "toolkit/window/fonts.h"
#include "toolkit/window/gadgets.h"
#include "toolkit/window/windows.h"
#include <objbase.h>

namespace {
// Tab, hotkey, date, extended combo box and internet-address controls.
const DWORD CONTROL_CLASSES = 0xB48;
// The state record of a module that this program never calls; kept so the
// start-up stays the same for every program built on the toolkit.
const uint32_t UNUSED_STATE_SIZE = 16;

DWORD g_tlsIndex = TLS_OUT_OF_INDEXES;

void controlsAndComStart() {
    CommonControlsInit(CONTROL_CLASSES);  // results ignored: nothing here depends on them
    CoInitialize(nullptr);
}
}  // namespace

void ToolkitStart() {
    TextStart();
    ProgramsStart();
    controlsAndComStart();
    ModuleStateCreate(UNUSED_STATE_SIZE, nullptr);
    CapabilityProbeStart();
    ImagesStart();
    g_tlsIndex = TlsAlloc();  // never freed: it goes with the process
    GadgetsStart();
    EventQueueStart();
    WindowsStart();
    FontsStart();
}

void ToolkitEnd() {
    FontsEnd();
    WindowsEnd();   // closes every open window, and with it its gadgets
    GadgetsEnd();
    ImagesEnd();
    CapabilityProbeEnd();
    TextEnd();      // last: the other modules may still hold texts until here
}
