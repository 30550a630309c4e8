// The real Somnaro.scr started with each kind of first parameter: it always
// ends with exit code 0, and the modes that do nothing show nothing.
#include "support/child.h"
#include "support/time_limit.h"
#include <gtest/gtest.h>

namespace {
const DWORD LIMIT_MS = TimeLimitMs(20000);

class ModeDispatchTest : public ::testing::Test {
protected:
    void SetUp() override { ToolLogUse(); }
};

TEST_F(ModeDispatchTest, ModelessParametersEndAtOnceWithExitCodeZero) {
    const char* arguments[] = {
        "", "/p", "/p 123", "/S", "/", "x", "\"\" /s", "/C", "/P", "\t/s",
    };
    for (const char* a : arguments) {
        SCOPED_TRACE(a);
        ChildProcess child;
        ASSERT_TRUE(child.start(ScrCommand(a)));
        ASSERT_TRUE(child.wait(LIMIT_MS)) << "still running";
        EXPECT_EQ(0u, child.exitCode());
    }
    EXPECT_EQ("", ToolLogRead());       // no mode ran, so no tool was started
}

TEST_F(ModeDispatchTest, UnquotedPathWithBlankSplitsBeforeTheMode) {
    // The program's own path counts as the items up to its first blank; with
    // no blank in it, "/p" is still read as the first parameter.
    EXPECT_EQ(0u, ChildRunExitCode(ScrCommand("   /p"), LIMIT_MS));
}
}  // namespace
