// The text workspace and text variables: results at offsets, growth that
// moves the block, sources inside the workspace, ownership of blocks.
#include "toolkit/core/text.h"
#include <gtest/gtest.h>
#include <string>

namespace {
// Each test starts with an empty workspace so offsets are predictable.
class TextTest : public ::testing::Test {
protected:
    void SetUp() override { WorkspacePositionSet(0); }
    static std::string at(uint32_t offset) { return WorkspaceAt(offset); }
};

TEST_F(TextTest, EqualIsExactAndTreatsAbsentAsEmpty) {
    EXPECT_EQ(1, TextEqual(nullptr, ""));
    EXPECT_EQ(1, TextEqual("/s", "/s"));
    EXPECT_EQ(0, TextEqual("/s", "/S"));
    EXPECT_EQ(0, TextEqual("/s", "/s "));
    EXPECT_EQ(0, TextEqual("", "/"));
}

TEST_F(TextTest, LeftClampsItsCount) {
    struct { const char* text; int32_t n; const char* expected; } cases[] = {
        {"/s", 2, "/s"}, {"/s", 5, "/s"}, {"/s", 0, ""}, {"/s", -3, ""},
        {nullptr, 2, ""}, {"/c:123", 2, "/c"}, {"/", 2, "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TextLeft(c.text, c.n, 3);
        EXPECT_EQ(c.expected, at(3));
        EXPECT_EQ(3 + strlen(c.expected), WorkspacePosition());
    }
}

TEST_F(TextTest, MidWithAndWithoutLength) {
    struct { const char* text; int32_t start; int32_t length; const char* expected; } cases[] = {
        {"\\SOFTWARE", 2, -1, "SOFTWARE"},
        {"abc", 1, -1, "abc"},
        {"abc", 0, -1, "abc"},
        {"abc", INT32_MIN, -1, "abc"},
        {"abc", 4, -1, ""},
        {"abc", 9, -1, ""},
        {"abcdef", 2, 3, "bcd"},
        {"abcdef", 5, 10, "ef"},
        {"abcdef", 2, -4, ""},
        {"abcdef", 0, 2, "ab"},
        {nullptr, 1, 3, ""},
        {"abc", 1, INT32_MAX, "abc"},      // a huge length costs nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        // -1 stands for "no length" in this table.
        if (c.length == -1) TextMid(c.text, c.start, 0u);
        else TextMid(c.text, c.start, c.length, 0u);
        EXPECT_EQ(c.expected, at(0));
        EXPECT_EQ(strlen(c.expected), WorkspacePosition());
    }
}

TEST_F(TextTest, SpaceGivesBlanks) {
    TextSpace(3, 0);
    EXPECT_EQ("   ", at(0));
    TextSpace(0, 0);
    EXPECT_EQ("", at(0));
    TextSpace(-1, 0);
    EXPECT_EQ("", at(0));
    EXPECT_EQ(0u, WorkspacePosition());
}

TEST_F(TextTest, AppendConcatenatesFromTheNotedOffset) {
    TextOwner delay("45");
    TextExpression e;
    TextAppend("-f -h -t ");
    TextAppend(delay.get());
    TextAppend(nullptr);               // writes only a zero
    EXPECT_EQ("-f -h -t 45", at(e.start()));
    TextOwner result;
    e.storeInto(result.slot());
    EXPECT_STREQ("-f -h -t 45", result.get());
    EXPECT_EQ(e.start(), WorkspacePosition());
}

TEST_F(TextTest, LeftOverItsOwnSourceAtTheSameOffset) {
    TextAppend("/sxyz");
    TextLeft(WorkspaceAt(0), 2, 0);
    EXPECT_EQ("/s", at(0));
    EXPECT_EQ(2u, WorkspacePosition());
}

TEST_F(TextTest, GrowthMovesTheBlockButKeepsEveryOffset) {
    TextAppend("kept");
    uint32_t capacity = WorkspaceCapacity();
    // A source inside the workspace must survive the reservation that grows it.
    std::string big(capacity + 100, 'x');
    uint32_t second = WorkspacePosition() + 1;
    WorkspacePositionSet(second);
    TextAppend(big.c_str());
    uint32_t third = WorkspacePosition() + 1;
    WorkspacePositionSet(third);
    TextLeft(WorkspaceAt(second), static_cast<int32_t>(big.size()), third);
    EXPECT_GT(WorkspaceCapacity(), capacity);
    EXPECT_EQ("kept", at(0));
    EXPECT_EQ(big, at(second));
    EXPECT_EQ(big, at(third));
}

TEST_F(TextTest, GrowthHappensWhenTheNeedReachesCapacityLessFour) {
    uint32_t capacity = WorkspaceCapacity();
    WorkspaceReserve(static_cast<int32_t>(capacity - 5), 0);
    EXPECT_EQ(capacity, WorkspaceCapacity());
    WorkspacePositionSet(0);
    WorkspaceReserve(static_cast<int32_t>(capacity - 4), 0);
    EXPECT_EQ(capacity - 4 + 16384, WorkspaceCapacity());
}

TEST_F(TextTest, AssignInitStoreAndRelease) {
    TextVar v = nullptr;
    TextAssign(&v, "first");
    EXPECT_STREQ("first", v);
    TextAssign(&v, "a much longer second text");
    EXPECT_STREQ("a much longer second text", v);
    TextAssign(&v, v + 2);              // a source inside its own block
    EXPECT_STREQ("much longer second text", v);
    TextAssign(&v, nullptr);
    EXPECT_EQ(nullptr, v);
    TextAssign(&v, "");
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(1, TextEqual(v, ""));

    uint32_t s = WorkspacePosition();
    TextStore(&v, s);                   // an empty result still owns a block
    ASSERT_NE(nullptr, v);
    EXPECT_STREQ("", v);
    TextRelease(v);

    TextVar w = reinterpret_cast<TextVar>(0x1);
    TextInit(&w, nullptr);
    EXPECT_EQ(nullptr, w);
    TextInit(&w, "copy");
    EXPECT_STREQ("copy", w);
    TextRelease(w);
    TextRelease(nullptr);               // ignored
}

TEST_F(TextTest, LengthCountsBytesBeforeTheZero) {
    EXPECT_EQ(0u, TextLength(nullptr));
    EXPECT_EQ(0u, TextLength(""));
    EXPECT_EQ(3u, TextLength("a\xE9z"));
}
}  // namespace
