// The launch module's state: the parameter index that ParameterNext reads,
// the launched-programs table and the locked list of kept program records.
#include "toolkit/process/programs.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/record_list.h"
#include "toolkit/process/parameters.h"

namespace {
struct ProgramsState {
    int32_t parameterIndex;   // first field: ParameterNext's index lives here
    ObjectTable* launched;
    void* programList;        // newest record first
    CRITICAL_SECTION listLock;
};

struct LaunchedProgram {
    HANDLE process;
};

ProgramsState* g_state = nullptr;

void launchedRelease(ObjectNumber number) {
    LaunchedProgram* program = static_cast<LaunchedProgram*>(ObjectFind(g_state->launched, number));
    if (!program) return;
    CloseHandle(program->process);
    ObjectRemove(g_state->launched, number);
}
}  // namespace

void ProgramsStart() {
    g_state = static_cast<ProgramsState*>(ModuleStateCreate(sizeof(ProgramsState), nullptr));
    if (!g_state) MemoryExhausted();  // nothing of the toolkit could follow
    ParameterIndexPlace(&g_state->parameterIndex);
    g_state->launched = ObjectTableCreate(sizeof(LaunchedProgram), 4, launchedRelease);
    // Never deleted: the list may be added to until the process ends.
    InitializeCriticalSection(&g_state->listLock);
}

ObjectTable* ProgramTable() {
    return g_state ? g_state->launched : nullptr;
}

ProgramRecord* ProgramRecordAdd() {
    if (!g_state) return nullptr;
    // Only the allocation and the linking at the head need the lock; the
    // caller fills the record after it is released.
    EnterCriticalSection(&g_state->listLock);
    void* record = RecordListAdd(&g_state->programList, sizeof(ProgramRecord));
    LeaveCriticalSection(&g_state->listLock);
    return static_cast<ProgramRecord*>(record);
}
