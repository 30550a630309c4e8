// The process's own command-line parameters: only the space separates, and
// double quotes group.
#include "toolkit/process/parameters.h"
#include "toolkit/core/text.h"
#include <string.h>
#include <windows.h>

// The index lives in the launch module's state record once that exists; until
// then this one serves.
static int32_t g_earlyIndex = 0;
static int32_t* g_parameterIndex = &g_earlyIndex;

int32_t* ParameterIndex() { return g_parameterIndex; }

void ParameterIndexPlace(int32_t* place) {
    *place = *g_parameterIndex;
    g_parameterIndex = place;
}

static void itemDeliver(const char* item, uint32_t length, uint32_t at) {
    char* out = WorkspaceReserve(static_cast<int32_t>(length), at);
    memcpy(out, item, length);
    out[length] = 0;
}

void ParameterScan(const char* line, int32_t* index, uint32_t at) {
    int32_t count = -1;
    const char* p = line ? line : "";
    while (*p) {
        while (*p == ' ') ++p;
        const char* item = nullptr;
        uint32_t length = 0;
        if (*p == '"') {
            item = ++p;
            while (*p && *p != '"') ++p;
            length = static_cast<uint32_t>(p - item);
            if (*p) ++p;  // past the closing quote; the next item may start here
        } else if (*p) {
            item = p;
            while (*p && *p != ' ') ++p;
            length = static_cast<uint32_t>(p - item);
            if (*p) ++p;
        }
        if (*index == count) {
            if (item) {
                itemDeliver(item, length, at);
                ++*index;
            } else {
                itemDeliver("", 0, at);
            }
            return;
        }
        if (item) ++count;
    }
    itemDeliver("", 0, at);
}

void ParameterNext(uint32_t at) {
    ParameterScan(GetCommandLineA(), g_parameterIndex, at);
}
