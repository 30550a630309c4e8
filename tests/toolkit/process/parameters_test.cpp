// Splitting command lines into parameters: spaces only, quotes grouping.
#include "toolkit/core/text.h"
#include "toolkit/process/parameters.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include <vector>

namespace {
// Every parameter of a line, by calling the scanner until it runs dry, plus
// the index it ends at.
std::vector<std::string> scanAll(const char* line, int32_t* endIndex) {
    std::vector<std::string> items;
    int32_t index = 0;
    for (int i = 0; i < 8; ++i) {
        uint32_t at = WorkspacePosition();
        ParameterScan(line, &index, at);
        items.push_back(WorkspaceAt(at));
        WorkspacePositionSet(at);
    }
    while (!items.empty() && items.back().empty()) items.pop_back();
    *endIndex = index;
    return items;
}

struct Case {
    const char* line;
    std::vector<std::string> items;
    int32_t endIndex;
};

TEST(ParameterScanTest, SplitsEachLineAsTheSystemWroteIt) {
    const Case cases[] = {
        {"\"C:\\x\\Somnaro.scr\" /s", {"/s"}, 1},
        {"C:\\x\\Somnaro.scr /c:123", {"/c:123"}, 1},
        {"prog    /p     99", {"/p", "99"}, 2},
        {"prog\t/s", {}, 0},                       // a tab does not separate
        {"prog \"\" /s", {"", "/s"}, 2},           // an empty quoted item counts
        {"prog \"abc", {"abc"}, 1},                // no closing quote
        {"prog \"a b\"c", {"a b", "c"}, 2},        // an item right after a quote
        {"C:\\Program Files\\Somnaro.scr /s", {"Files\\Somnaro.scr", "/s"}, 2},
        {"prog a\"b c", {"a\"b", "c"}, 2},         // a quote inside an item
        {"prog   ", {}, 0},
        {"", {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        int32_t endIndex = -7;
        EXPECT_EQ(c.items, scanAll(c.line, &endIndex));
        EXPECT_EQ(c.endIndex, endIndex);
    }
}

TEST(ParameterScanTest, IndexStaysPutPastTheEnd) {
    int32_t index = 1;
    uint32_t at = WorkspacePosition();
    memset(WorkspaceReserve(4, at), 'Z', 4);
    ParameterScan("prog /s", &index, at);
    EXPECT_STREQ("", WorkspaceAt(at));
    EXPECT_EQ(at, WorkspacePosition());
    EXPECT_EQ(1, index);
}

TEST(ParameterNextTest, ReadsThisProcesssCommandLine) {
    // The test runner is started with --gtest_color=no by the suite, but any
    // first item after the path will do: compare with a scan of the same line.
    int32_t index = 0;
    uint32_t at = WorkspacePosition();
    ParameterScan(GetCommandLineA(), &index, at);
    std::string expected = WorkspaceAt(at);
    WorkspacePositionSet(at);
    *ParameterIndex() = 0;
    ParameterNext(at);
    EXPECT_EQ(expected, WorkspaceAt(at));
    EXPECT_EQ(index, *ParameterIndex());
    WorkspacePositionSet(at);
}
}  // namespace
