// The shell as a second try when CreateProcessA fails: barred by any pipe
// flag, given the directory of the program text, and never left hanging on
// the shell's own error box.
#include "launch_support.h"
#include "support/time_limit.h"
#include "toolkit/core/text.h"
#include "toolkit/process/command_line.h"
#include <gtest/gtest.h>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);

// While it lives, a thread presses the default button of every dialog box
// of this process: the shell shows its error messages in the caller's thread.
class DialogDismisser {
public:
    DialogDismisser() : thread_(CreateThread(nullptr, 0, watch, this, 0, nullptr)) {}
    DialogDismisser(const DialogDismisser&) = delete;
    DialogDismisser& operator=(const DialogDismisser&) = delete;
    ~DialogDismisser() {
        InterlockedExchange(&stop_, 1);
        WaitForSingleObject(thread_, LIMIT_MS);
        CloseHandle(thread_);
    }
    LONG pressed() const { return pressed_; }
private:
    static BOOL CALLBACK press(HWND w, LPARAM self) {
        DWORD owner = 0;
        char name[16] = {};
        GetWindowThreadProcessId(w, &owner);
        GetClassNameA(w, name, sizeof name);
        if (owner == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0 && IsWindowVisible(w)) {
            PostMessageA(w, WM_COMMAND, IDOK, 0);
            InterlockedIncrement(&reinterpret_cast<DialogDismisser*>(self)->pressed_);
        }
        return TRUE;
    }
    static DWORD WINAPI watch(void* self) {
        for (auto* d = static_cast<DialogDismisser*>(self); !d->stop_; Sleep(50))
            EnumWindows(press, reinterpret_cast<LPARAM>(d));
        return 0;
    }
    volatile LONG stop_ = 0;
    volatile LONG pressed_ = 0;
    HANDLE thread_;
};

class ProgramFallbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramsUp();
        ProbeReportUse();
    }
};

TEST_F(ProgramFallbackTest, AProgramNeitherCanStartGivesZero) {
    const struct {
        int32_t flags;
        bool barred;
    } cases[] = {
        {RUN_READ_OUTPUT, true}, {RUN_WRITE_INPUT, true}, {RUN_READ_ERROR, true},
        {RUN_INPUT_FROM, true}, {RUN_KEEP | RUN_WAIT | RUN_READ_OUTPUT, true},
        {0, false}, {RUN_HIDDEN | RUN_KEEP | RUN_WAIT, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        DialogDismisser dismisser;  // the shell may say it found nothing
        EXPECT_EQ(0, ProgramRun("C:\\nowhere\\missing.exe", "-x", "", c.flags));
        // The shell, when asked, answers with its error box (and ProgramRun
        // returns only once that is pressed); a barred shell says nothing.
        EXPECT_EQ(!c.barred, dismisser.pressed() > 0);
    }
}

TEST_F(ProgramFallbackTest, TheShellStartsWhatCreateProcessCannot) {
    // A document that the probe opens: not a program for CreateProcessA.
    const std::string folder = TestBinDir() + "shell_case\\";
    const std::string document = folder + "sample.somnaroprobe";
    CreateDirectoryA(folder.c_str(), nullptr);
    HANDLE f = CreateFileA(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, f);
    CloseHandle(f);
    const std::string opener = "\"" + ProbePath() + "\" \"%1\" %*";
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, ".somnaroprobe", REG_SZ, "SomnaroProbe", 12));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueA(HKEY_CLASSES_ROOT, "SomnaroProbe\\shell\\open\\command",
                                          REG_SZ, opener.c_str(), opener.size()));

    DialogDismisser dismisser;
    auto* record = reinterpret_cast<ProgramRecord*>(
        ProgramRun(document.c_str(), "alpha beta", "", RUN_KEEP | RUN_WAIT | RUN_HIDDEN));
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(0xFFFFFFFFu, record->processId);  // the shell reports none
    EXPECT_EQ(nullptr, record->inputPipe);
    EXPECT_EQ(nullptr, record->outputPipe);
    EXPECT_EQ(nullptr, record->errorPipe);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(record->process, 0));  // waited for
    CloseHandle(record->process);
    auto report = ProbeReportWait(LIMIT_MS);
    // The document as given, unquoted by ProgramRun; the parameters apart.
    EXPECT_EQ("\"" + ProbePath() + "\" \"" + document + "\" alpha beta", report["line"]);
    // No directory given: the document's own, up to its last backslash.
    EXPECT_STRCASEEQ(folder.substr(0, folder.size() - 1).c_str(), report["dir"].c_str());
    EXPECT_EQ("1,0", report["startup"]);  // SW_HIDE handed on as nShow

    ProbeReportUse();
    EXPECT_EQ(1, ProgramRun(document.c_str(), "", "C:\\", RUN_WAIT));  // shown, given directory
    report = ProbeReportWait(LIMIT_MS);
    EXPECT_EQ("C:\\", report["dir"]);
    EXPECT_EQ("1,1", report["startup"]);
    EXPECT_EQ(0, dismisser.pressed());

    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".somnaroprobe");
    RegDeleteTreeA(HKEY_CLASSES_ROOT, "SomnaroProbe");
    DeleteFileA(document.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST(ShellDirectoryTest, IsTheProgramTextUpToItsLastBackslash) {
    const char* cases[][2] = {
        {"C:\\tools\\run.exe", "C:\\tools\\"}, {"a\\b\\c", "a\\b\\"},
        {"\\run.exe", ""},  // the only backslash is the first character
        {"psshutdown", ""}, {nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0] ? c[0] : "(none)");
        uint32_t at = WorkspacePosition();
        ShellDirectory(c[0], at);
        EXPECT_STREQ(c[1], WorkspaceAt(at));
        WorkspacePositionSet(at);
    }
}
}  // namespace
