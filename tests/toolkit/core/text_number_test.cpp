// TextToInteger and IntegerToText at their boundaries and odd inputs.
#include "toolkit/core/text.h"
#include <gtest/gtest.h>
#include <string>

namespace {
struct ToInteger { const char* text; int64_t expected; };

const ToInteger kToInteger[] = {
    {"60", 60},
    {"  42abc", 42},
    {"\t\t7", 7},
    {"\n7", 0},                       // only blanks and tabs are skipped
    {"-17", -17},
    {"+5", 5},
    {"- 5", 0},                       // nothing is skipped after the sign
    {"+-3", 0},
    {"$1F", 31},
    {"$fg", 15},
    {"-$10", -16},
    {"$-5", 0},
    {"%101", 5},
    {"%2", 0},
    {"0x1F", 0},                      // no C-style prefix
    {"1e3", 1},
    {"12 34", 12},
    {"", 0},
    {"9223372036854775807", INT64_MAX},
    {"9223372036854775808", INT64_MIN},   // wraps, no saturation
    {"18446744073709551615", -1},
    {"18446744073709551616", 0},
    {"-9223372036854775808", INT64_MIN},
    {"$FFFFFFFFFFFFFFFF", -1},
    {"000030", 30},
};

TEST(TextToIntegerTest, ConvertsEachCaseExactly) {
    for (const ToInteger& c : kToInteger) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.expected, TextToInteger(c.text));
    }
}

TEST(TextToIntegerTest, AbsentTextIsZero) {
    EXPECT_EQ(0, TextToInteger(nullptr));
}

struct ToText { int64_t value; const char* expected; };

const ToText kToText[] = {
    {0, "0"},
    {-1, "-1"},
    {2147483647LL, "2147483647"},        // last value on the 32-bit path
    {2147483648LL, "2147483648"},        // first on the 64-bit path
    {-2147483647LL - 1, "-2147483648"},
    {-2147483649LL, "-2147483649"},
    {INT64_MAX, "9223372036854775807"},
    {INT64_MIN, "-9223372036854775808"},
    {1000000, "1000000"},
};

TEST(IntegerToTextTest, WritesDecimalDigitsAndLeavesPositionAtTheZero) {
    for (const ToText& c : kToText) {
        SCOPED_TRACE(c.expected);
        uint32_t at = WorkspacePosition();
        IntegerToText(c.value, at);
        EXPECT_STREQ(c.expected, WorkspaceAt(at));
        EXPECT_EQ(at + strlen(c.expected), WorkspacePosition());
        WorkspacePositionSet(at);
    }
}

TEST(IntegerToTextTest, RoundTripsThroughTextToInteger) {
    const int64_t values[] = {7, -30, 4294967296LL, -4294967297LL, INT64_MIN + 1};
    for (int64_t v : values) {
        uint32_t at = WorkspacePosition();
        IntegerToText(v, at);
        EXPECT_EQ(v, TextToInteger(WorkspaceAt(at)));
        WorkspacePositionSet(at);
    }
}
}  // namespace
