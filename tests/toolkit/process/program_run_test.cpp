// ProgramRun started for real on the probe child: the command line, window
// and directory it was given, its pipes and inherited handles, waiting,
// kept records, and every handle closed again.
#include "launch_support.h"
#include "support/time_limit.h"
#include "toolkit/core/object_table.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/record_list.h"
#include "support/leak_counters.h"
#include <gtest/gtest.h>
#include <stdio.h>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);

ProgramRecord* recordOf(intptr_t result) { return reinterpret_cast<ProgramRecord*>(result); }

void recordClose(intptr_t result) {  // kept handles stay open by design
    if (ProgramRecord* r = recordOf(result))
        for (HANDLE h : {r->process, r->inputPipe, r->outputPipe, r->errorPipe})
            if (h) CloseHandle(h);
}

class ProgramRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramsUp();
        ProbeReportUse();
    }
};

TEST_F(ProgramRunTest, CommandLineWindowAndDirectoryAreAsAsked) {
    char windows[MAX_PATH] = {}, own[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, own);
    const std::string probe = ProbePath(), quoted = "\"" + probe + "\"";
    struct Case {
        std::string program, parameters, directory;
        int32_t flags;
        std::string line, startup, std;  // startup: dwFlags,wShowWindow
    };
    const Case cases[] = {
        // Found by name on the PATH; no trailing blank.
        {"launch_probe", "", "", RUN_WAIT, "\"launch_probe\"", "1,1", ""},
        // Parameters go through untouched. Hidden means detached: a console
        // program then has no standard handles.
        {"launch_probe", "a  \"b c\" ", "", RUN_WAIT | RUN_HIDDEN,
         "\"launch_probe\" a  \"b c\" ", "1,0", "none,none,none"},
        {probe, "-f -h -t 60", windows, RUN_WAIT, quoted + " -f -h -t 60", "1,1", ""},
        {quoted, "-a", "", RUN_WAIT, quoted + " -a", "1,1", ""},  // not quoted twice
        // Pipe flags without RUN_KEEP make no pipe.
        {"launch_probe", "", "", RUN_WAIT | RUN_READ_OUTPUT | RUN_WRITE_INPUT, "\"launch_probe\"",
         "1,1", ""},
        // A redirected handle takes the detachment away.
        {"launch_probe", "", "", RUN_WAIT | RUN_HIDDEN | RUN_KEEP | RUN_READ_OUTPUT,
         "\"launch_probe\"", "101,0", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program + " | " + c.parameters + " | " + std::to_string(c.flags));
        ProbeReportUse();
        intptr_t result = ProgramRun(c.program.c_str(), c.parameters.c_str(),
                                     c.directory.c_str(), c.flags);
        EXPECT_TRUE(c.flags & RUN_KEEP ? result != 0 : result == 1);
        recordClose(c.flags & RUN_KEEP ? result : 0);
        auto report = ProbeReportWait(LIMIT_MS);
        EXPECT_EQ(c.line, report["line"]);
        EXPECT_EQ(c.startup, report["startup"]);
        EXPECT_STRCASEEQ(c.directory.empty() ? own : windows, report["dir"].c_str());
        if (!c.std.empty()) EXPECT_EQ(c.std, report["std"]);
        else EXPECT_NE("none,none,none", report["std"]);
    }
}

TEST_F(ProgramRunTest, PipesCarryInputOutputAndErrorAndAreTheCallersOwn) {
    ProgramRecord* record = recordOf(ProgramRun(
        "launch_probe", "--echo", "",
        RUN_KEEP | RUN_WRITE_INPUT | RUN_READ_OUTPUT | RUN_READ_ERROR | RUN_HIDDEN));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(GetProcessId(record->process), record->processId);
    for (HANDLE end : {record->inputPipe, record->outputPipe, record->errorPipe}) {
        DWORD info = 0xDEADBEEF;
        ASSERT_TRUE(GetHandleInformation(end, &info));
        EXPECT_EQ(0u, info & HANDLE_FLAG_INHERIT);
    }
    DWORD done = 0;
    ASSERT_TRUE(WriteFile(record->inputPipe, "hello", 5, &done, nullptr));
    // The program reads to the end of its input, which it sees only if no
    // copy of the writing end is open anywhere but here.
    CloseHandle(record->inputPipe);
    record->inputPipe = nullptr;
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(record->process, LIMIT_MS));
    for (HANDLE end : {record->outputPipe, record->errorPipe}) {
        char got[32] = {};
        DWORD n = 0;
        ASSERT_TRUE(PeekNamedPipe(end, got, sizeof got, &n, nullptr, nullptr));
        EXPECT_STREQ(end == record->outputPipe ? "out:hello" : "err:hello", got);
        ASSERT_TRUE(ReadFile(end, got, n, &done, nullptr));
        // Every writing end is closed: the program's own went with it, and
        // ProgramRun kept none.
        EXPECT_FALSE(PeekNamedPipe(end, nullptr, 0, nullptr, &n, nullptr));
        EXPECT_EQ(static_cast<DWORD>(ERROR_BROKEN_PIPE), GetLastError());
    }
    EXPECT_EQ("pipe,pipe,pipe", ProbeReportWait(LIMIT_MS)["std"]);
    recordClose(reinterpret_cast<intptr_t>(record));
}

TEST_F(ProgramRunTest, HandlesAreInheritedOnlyWhenAStandardHandleIsRedirected) {
    const struct {
        int32_t flags;
        bool inherits;
    } cases[] = {
        {RUN_WAIT, false},
        {RUN_WAIT | RUN_KEEP | RUN_HIDDEN, false},
        {RUN_WAIT | RUN_KEEP | RUN_READ_OUTPUT, true},
        {RUN_WAIT | RUN_KEEP | RUN_READ_ERROR | RUN_HIDDEN, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
        HANDLE event = CreateEventA(&inheritable, TRUE, TRUE, nullptr);
        char parameters[64];
        snprintf(parameters, sizeof parameters, "--handle=%llx",
                 static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(event)));
        ProbeReportUse();
        intptr_t result = ProgramRun("launch_probe", parameters, "", c.flags);
        // The program can reset the event through that value only if it
        // inherited the handle.
        EXPECT_EQ(c.inherits ? "1" : "0", ProbeReportWait(LIMIT_MS)["reset"]);
        EXPECT_EQ(c.inherits ? WAIT_TIMEOUT : WAIT_OBJECT_0, WaitForSingleObject(event, 0));
        if (c.flags & RUN_KEEP) {
            // Only the pipe asked for exists.
            EXPECT_EQ(nullptr, recordOf(result)->inputPipe);
            EXPECT_EQ(c.flags & RUN_READ_OUTPUT ? 1 : 0, recordOf(result)->outputPipe != nullptr);
            EXPECT_EQ(c.flags & RUN_READ_ERROR ? 1 : 0, recordOf(result)->errorPipe != nullptr);
        }
        recordClose(c.flags & RUN_KEEP ? result : 0);
        CloseHandle(event);
    }
}

TEST_F(ProgramRunTest, WaitWithKeepReturnsTheNewestRecordAfterTheEnd) {
    intptr_t older = ProgramRun("launch_probe", "--sleep=3000", "", RUN_KEEP);
    ASSERT_NE(0, older);
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(recordOf(older)->process, 0));  // no wait
    DWORD begin = GetTickCount();
    intptr_t newer = ProgramRun("launch_probe", "--sleep=400", "", RUN_KEEP | RUN_WAIT);
    ASSERT_NE(0, newer);
    EXPECT_GE(GetTickCount() - begin, 380u);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(recordOf(newer)->process, 0));
    EXPECT_EQ(recordOf(older), RecordListNext(recordOf(newer)));  // newest first
    TerminateProcess(recordOf(older)->process, 0);
    recordClose(older);
    recordClose(newer);
}

TEST_F(ProgramRunTest, EveryHandleALaunchMadeIsClosedOnEveryPath) {
    const int32_t all = RUN_KEEP | RUN_READ_OUTPUT | RUN_WRITE_INPUT | RUN_READ_ERROR;
    auto batch = [all] {
        EXPECT_EQ(1, ProgramRun("launch_probe", "", "", 0));
        EXPECT_EQ(1, ProgramRun("launch_probe", "", "", RUN_HIDDEN | RUN_WAIT));
        recordClose(ProgramRun("launch_probe", "", "", RUN_WAIT | all));
        // Failed launches close the pipes made for them.
        EXPECT_EQ(0, ProgramRun("C:\\nowhere\\missing.exe", "", "", all));
        EXPECT_EQ(0, ProgramRun("C:\\nowhere\\missing.exe", "", "", RUN_INPUT_FROM));
    };
    batch();  // the first round opens what the system keeps for later ones
    const int before = OpenHandleCount();
    batch();
    EXPECT_EQ(before, OpenHandleCount());
}

TEST_F(ProgramRunTest, NoCommandLineBlockMeansNoProgramAndResultZero) {
    const std::string parameters(200000, 'p');  // more than the small heap has
    for (int32_t flags : {RUN_WAIT | RUN_KEEP | RUN_READ_OUTPUT, RUN_WAIT}) {
        SCOPED_TRACE(flags);
        recordClose(ProgramRun("launch_probe", "", "", flags | RUN_KEEP));  // warm-up
        ProbeReportUse();
        const int before = OpenHandleCount();
        HANDLE saved = ProgramHeap();
        HANDLE small = HeapCreate(0, 0x1000, 0x10000);
        ProgramHeapSet(small);
        intptr_t result = ProgramRun("launch_probe", parameters.c_str(), "", flags);
        ProgramHeapSet(saved);
        HeapDestroy(small);
        EXPECT_EQ(0, result);
        // Not even through the shell: with RUN_WAIT it would have reported.
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(probeReportPath().c_str()));
        EXPECT_EQ(before, OpenHandleCount());  // the pipe made first is closed
    }
}
TEST_F(ProgramRunTest, LaunchedTableReleaseClosesTheProcessHandle) {
    HANDLE first = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE second = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    auto* record = static_cast<HANDLE*>(ObjectNew(ProgramTable(), 5));
    ASSERT_NE(nullptr, record);
    *record = first;
    // Reusing the number releases the old program first: its handle closes.
    ASSERT_EQ(record, ObjectNew(ProgramTable(), 5));
    DWORD info = 0;
    EXPECT_FALSE(GetHandleInformation(first, &info));
    EXPECT_EQ(nullptr, *record);
    *record = second;
    ObjectReleaseAll(ProgramTable());
    EXPECT_FALSE(GetHandleInformation(second, &info));
}
}  // namespace
