// The program's own globals, cleared together before anything else runs.
#pragma once
#include "toolkit/core/text.h"
#include <stdint.h>
#include <windows.h>

struct ProgramGlobals {
    HANDLE heap;
    HINSTANCE instance;
    TextVar modeText;
    TextVar delayText;
    int32_t lastEvent;
    // What stops the tool hibernating this computer; while anything does,
    // saver mode starts it neither to schedule nor to abort.
    uint32_t toolMissing;
};

extern ProgramGlobals g_program;
