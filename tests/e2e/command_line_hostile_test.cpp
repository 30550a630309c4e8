// The real Somnaro.scr started with generated command lines: quotes, tabs,
// long items, bytes above 127 and a line near the system's length limit. Each
// run ends with 0, and only saver mode starts the tool.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);
const char* SETTINGS = "SOFTWARE\\Veltrix\\Somnaro";
const unsigned SEED = 8;
const int GENERATED = 190;

enum Mode { NONE, SAVER, CONFIGURE };

struct Outcome {
    DWORD exitCode = 0xDEADBEEF;  // also when it did not end in time
    bool window = false;          // a visible window of its own came up
};

// Runs one line to its end; any window it shows is asked to close, which
// ends either mode without a button press.
Outcome lineRun(const std::string& arguments) {
    Outcome outcome;
    ChildProcess child;
    if (!child.start(ScrCommand(arguments))) return outcome;
    for (DWORD begin = GetTickCount(); !child.wait(50);) {
        if (HWND w = ProcessWindowWait(child.id(), "", 0)) {
            outcome.window = true;
            PostMessageA(w, WM_CLOSE, 0, 0);
        }
        if (GetTickCount() - begin > LIMIT_MS) return outcome;
    }
    outcome.exitCode = child.exitCode();
    return outcome;
}

// The tool runs detached: give it time to write before the log is judged.
std::string toolLogSettled(bool expectLine) {
    for (DWORD begin = GetTickCount(); expectLine && GetTickCount() - begin < LIMIT_MS; Sleep(50))
        if (ToolLogRead().find("\r\n") != std::string::npos) break;
    Sleep(expectLine ? 300 : 100);
    return ToolLogRead();
}

std::string bytesGenerate(std::mt19937& random, size_t length) {
    static const char ALPHABET[] = " \"\t/sScCpP:-x9\x80\x81\xa0\xe9\xff";
    std::string text;
    for (size_t i = 0; i < length; ++i) text += ALPHABET[random() % (sizeof ALPHABET - 1)];
    return text;
}

// A first parameter that is no mode: it never begins with "/s", "/c" or a
// quote in either case, and holds no space, so the tail cannot change where
// it ends. "/p" names no window here: the preview ends at once.
std::string noModeGenerate(std::mt19937& random) {
    static const char* const HEADS[] = {"/a", "-S", "/P", "/p", "/-", "x/s", "\t/s", "-s",
                                        "\xe9", "/\xff", "s/", "/x"};
    std::string head = HEADS[random() % (sizeof HEADS / sizeof HEADS[0])];
    std::string rest = bytesGenerate(random, random() % 12);
    for (char& c : rest)
        if (c == ' ') c = '\t';
    return head + rest;
}

struct Line { std::string arguments; Mode mode; };

std::vector<Line> linesGenerate() {
    std::mt19937 random(SEED);
    std::vector<Line> lines = {
        {"", CONFIGURE},  // no parameter: Explorer's Configure
        {"\"\" /s", NONE},  // an empty first parameter; the /s is never read
        {"\"/x\"/s", NONE},
        {"/q" + std::string(32000, 'q'), NONE},  // one item near the length limit
        {"/x " + bytesGenerate(random, 31990), NONE},
        {"/s", SAVER},
        {"/S", SAVER},  // Explorer's Test
        {"/s\t\"\xe9\" " + bytesGenerate(random, 40), SAVER},  // a tab does not separate
        {"\"/sx y\" /c", SAVER},
        {"   /s" + std::string(2000, 's'), SAVER},
        {"/c \"" + bytesGenerate(random, 30), CONFIGURE},
        {"/c:\xff\xff " + std::string(5000, '"'), CONFIGURE},
    };
    for (int i = 0; i < GENERATED; ++i) {
        std::string tail;
        size_t pieces = random() % 6;
        for (size_t k = 0; k < pieces; ++k) {
            size_t length = random() % 8 == 0 ? 300 + random() % 3000 : random() % 20;
            tail += " " + bytesGenerate(random, length);
        }
        lines.push_back({noModeGenerate(random) + tail, NONE});
    }
    return lines;
}

class CommandLineHostileTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }
    void TearDown() override { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS); }
};

TEST_F(CommandLineHostileTest, EveryLineEndsWithZeroAndOnlySaverModeStartsTheTool) {
    const std::vector<Line> lines = linesGenerate();
    ASSERT_GE(lines.size(), 200u);
    int index = 0;
    for (const Line& line : lines) {
        SCOPED_TRACE(testing::Message() << "line " << index++ << ", " << line.arguments.size()
                                        << " bytes: [" << line.arguments.substr(0, 60) << "]");
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, SETTINGS);
        ToolLogUse();
        Outcome outcome = lineRun(line.arguments);
        EXPECT_EQ(0u, outcome.exitCode);
        EXPECT_EQ(line.mode != NONE, outcome.window);
        // Closing the cancel window leaves the hibernation scheduled: one line.
        EXPECT_EQ(line.mode == SAVER ? "\"psshutdown\" -f -h -t 60\r\n" : "",
                  toolLogSettled(line.mode == SAVER));
        if (HasFailure()) break;  // one clear failure, not two hundred
    }
}
}  // namespace
