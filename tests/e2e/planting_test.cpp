// Files that a web page could leave in the folder the saver runs from, or in
// its current folder: DLLs of the names it loads and a psshutdown.exe. None
// may run in any mode; saver mode starts only the tool in the Windows folder,
// and without that tool says so.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <string>
#include <string.h>
#include <vector>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
const char* OVERRIDES = "Software\\Wine\\AppDefaults\\Somnaro.scr\\DllOverrides";
const char* DLLS[] = {"msimg32", "uxtheme", "comctl32", "winmm"};
const std::string SCHEDULE_LINE = "\"psshutdown\" -f -h -t 60\r\n";
const std::string ABORT_LINE = "\"psshutdown\" -a\r\n";

class PlantingTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);  // so the delay is the default 60
        // Wine prefers its own DLLs; told to prefer files for these names, it
        // looks for them as Windows does, the program's folder first. Windows
        // ignores the key.
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, OVERRIDES, &key));
        for (const char* dll : DLLS)
            RegSetValueExA(key, dll, 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(key);
        // The saver in a folder of its own with every fake beside it, and the
        // same fakes in the folder it is started in.
        for (const std::string& folder : {app_, here_}) {
            CreateDirectoryA(folder.c_str(), nullptr);
            std::vector<std::string> names(std::begin(DLLS), std::end(DLLS));
            for (std::string& name : names) name += ".dll";
            names.push_back("psshutdown.exe");
            for (const std::string& name : names)
                ASSERT_TRUE(CopyFileA((TestBinDir() + "planted\\" + name).c_str(),
                                      (folder + name).c_str(), FALSE)) << folder << name;
        }
        ASSERT_TRUE(CopyFileA((TestBinDir() + "Somnaro.scr").c_str(),
                              (app_ + "Somnaro.scr").c_str(), FALSE));
        SetEnvironmentVariableA("PLANTED_LOG", markLog_.c_str());
        DeleteFileA(markLog_.c_str());
        ToolLogUse();
    }
    void TearDown() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, OVERRIDES);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        ToolPlace(true);
    }

    bool saverStart(ChildProcess& saver, const char* mode) {
        return saver.start("\"" + app_ + "Somnaro.scr\" " + mode, here_.c_str());
    }

    const std::string app_ = TestBinDir() + "planted_app\\";
    const std::string here_ = TestBinDir() + "planted_here\\";
    const std::string markLog_ = TestBinDir() + "planted.log";
};

TEST_F(PlantingTest, NoPlantedFileRunsInAnyMode) {
    {
        SCOPED_TRACE("/p");
        ChildProcess saver;
        ASSERT_TRUE(saverStart(saver, "/p"));
        EXPECT_TRUE(saver.wait(LIMIT_MS));
    }
    {
        SCOPED_TRACE("/s");
        ChildProcess saver;
        ASSERT_TRUE(saverStart(saver, "/s"));
        EXPECT_EQ(SCHEDULE_LINE, ToolLogWait(1, LIMIT_MS));
        HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
        ASSERT_NE(nullptr, window);
        HWND button = ChildWindowWait(window, "Button", LIMIT_MS);
        ASSERT_NE(nullptr, button);
        PostMessageA(button, BM_CLICK, 0, 0);
        EXPECT_TRUE(saver.wait(LIMIT_MS));
        EXPECT_EQ(SCHEDULE_LINE + ABORT_LINE, ToolLogWait(2, LIMIT_MS));
    }
    {
        SCOPED_TRACE("/c");
        ChildProcess saver;
        ASSERT_TRUE(saverStart(saver, "/c"));
        HWND dialog = ProcessWindowWait(saver.id(), "InputRequester", LIMIT_MS);
        ASSERT_NE(nullptr, dialog);
        PostMessageA(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(saver.wait(LIMIT_MS));
    }
    EXPECT_EQ("", FileText(markLog_));
}

TEST_F(PlantingTest, WithoutTheToolTheSaverSaysSoAndRunsNoFake) {
    ToolPlace(false);
    ChildProcess saver;
    ASSERT_TRUE(saverStart(saver, "/s"));
    // The message comes before the cancel window, as the shell's did.
    HWND box = ProcessWindowWait(saver.id(), "#32770", LIMIT_MS);
    ASSERT_NE(nullptr, box);
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);  // a message box's text control
    EXPECT_NE(nullptr, strstr(text, "cannot find psshutdown.exe")) << text;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    HWND window = ProcessWindowWait(saver.id(), "WindowClass_0", LIMIT_MS);
    ASSERT_NE(nullptr, window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(saver.wait(LIMIT_MS));
    EXPECT_EQ("", ToolLogRead());
    EXPECT_EQ("", FileText(markLog_));
}
}  // namespace
