// Where a program started by name is found: the system folders and the
// PATH's absolute entries, never the starter's own folder nor the current
// folder, even where a PATH entry leads back to them.
#include "launch_support.h"
#include "support/time_limit.h"
#include "toolkit/core/text.h"
#include <gtest/gtest.h>

namespace {
std::string found(const char* name) {
    uint32_t at = WorkspacePosition();
    ProgramFind(name, at);
    std::string path = WorkspaceAt(at);
    WorkspacePositionSet(at);
    return path;
}

class ProgramFindTest : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramsUp();
        ProbeReportUse();
        GetEnvironmentVariableA("PATH", path_, sizeof path_);
        GetCurrentDirectoryA(MAX_PATH, current_);
        // A probe beside the test program, one in a folder reached only by
        // relative PATH entries, one in a folder named by an absolute entry.
        CreateDirectoryA(here_.c_str(), nullptr);
        CreateDirectoryA(listed_.c_str(), nullptr);
        CopyFileA(ProbePath().c_str(), (TestBinDir() + "somnaro_find_own.exe").c_str(), FALSE);
        CopyFileA(ProbePath().c_str(), (here_ + "somnaro_find_here.exe").c_str(), FALSE);
        CopyFileA(ProbePath().c_str(), (listed_ + "somnaro_find_listed.exe").c_str(), FALSE);
        SetCurrentDirectoryA(TestBinDir().c_str());
        std::string drive = TestBinDir().substr(0, 2);
        SetEnvironmentVariableA("PATH", (".;find_here;" + drive + "find_here;;\"" + listed_ +
                                         "\";" + listed_).c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("PATH", path_);
        SetCurrentDirectoryA(current_);
    }
    char path_[32768] = {};
    char current_[MAX_PATH] = {};
    const std::string here_ = TestBinDir() + "find_here\\";
    const std::string listed_ = TestBinDir() + "find_listed\\";
};

TEST_F(ProgramFindTest, OnlySystemFoldersAndAbsolutePathEntries) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    const std::string listed = listed_ + "somnaro_find_listed.exe";
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"somnaro_find_own", ""},   // beside the test program, and in "."
        {"somnaro_find_here", ""},  // only through relative entries
        {"somnaro_find_listed", listed},
        {"\"somnaro_find_listed\"", listed},
        {"somnaro_find_listed.exe", listed},
        {"find_listed\\somnaro_find_listed", ""},  // has a folder: not looked for
        {"cmd", std::string(system) + "\\cmd.exe"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_STRCASEEQ(c.path.c_str(), found(c.name).c_str());
    }
}

TEST_F(ProgramFindTest, ANameFoundNowhereIsNotStarted) {
    // The system's own search, and the shell's, would take the copy beside
    // the test program.
    EXPECT_EQ(0, ProgramRun("somnaro_find_own", "", "", RUN_WAIT));
    Sleep(TimeLimitMs(300));
    EXPECT_EQ("", FileText(probeReportPath()));
}
}  // namespace
