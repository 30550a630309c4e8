// TextToInteger and IntegerToText over thousands of generated inputs, checked
// against plain reference conversions written here.
#include "toolkit/core/text.h"
#include <gtest/gtest.h>
#include <random>
#include <string>

namespace {
const unsigned SEED = 20261207;
const int CASES = 4000;

// Reads like the toolkit promises: blanks and tabs, one sign, "$" or "%",
// then the longest run of digits of that base, wrapping modulo 2^64.
int64_t referenceToInteger(const std::string& text) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    bool negative = text[i] == '-';
    if (text[i] == '-' || text[i] == '+') ++i;
    std::string digits = "0123456789";
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        digits = "0123456789ABCDEFabcdef";
        base = 16;
        ++i;
    } else if (i < text.size() && text[i] == '%') {
        digits = "01";
        base = 2;
        ++i;
    }
    size_t end = text.find_first_not_of(digits, i);
    if (end == std::string::npos) end = text.size();
    uint64_t value = 0;
    for (size_t k = i; k < end; ++k) {
        char c = text[k];
        unsigned digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        value = value * base + digit;
    }
    return static_cast<int64_t>(negative ? ~value + 1 : value);
}

std::string referenceToText(int64_t value) { return std::to_string(static_cast<long long>(value)); }

std::string textGenerate(std::mt19937& random) {
    static const char ALPHABET[] = " \t+-$%0123456789abcdefABCDEFgxzG\n.";
    std::string text;
    size_t length = random() % 28;
    for (size_t i = 0; i < length; ++i) {
        // Digits more often than not, so long numbers that wrap turn up too.
        text += random() % 3 ? static_cast<char>('0' + random() % 10)
                             : ALPHABET[random() % (sizeof ALPHABET - 1)];
    }
    return text;
}

// Values of every magnitude, both signs, and the edges of the 32-bit path.
int64_t valueGenerate(std::mt19937_64& random) {
    static const int64_t EDGES[] = {0, -1, 1, INT32_MAX, INT32_MIN, int64_t(INT32_MAX) + 1,
                                    int64_t(INT32_MIN) - 1, INT64_MAX, INT64_MIN, 9, 10, -10};
    uint64_t bits = random();
    switch (bits % 4) {
    case 0: return EDGES[(bits >> 8) % (sizeof EDGES / sizeof EDGES[0])];
    case 1: return static_cast<int32_t>(random());
    default: return static_cast<int64_t>(random() >> (random() % 64));
    }
}

TEST(TextNumberRandomTest, TextToIntegerMatchesTheReference) {
    std::mt19937 random(SEED);
    for (int i = 0; i < CASES; ++i) {
        const std::string text = textGenerate(random);
        SCOPED_TRACE(testing::Message() << "case " << i << ": [" << text << "]");
        ASSERT_EQ(referenceToInteger(text), TextToInteger(text.c_str()));
    }
}

TEST(TextNumberRandomTest, IntegerToTextMatchesTheReferenceAndLeavesTheRestAlone) {
    std::mt19937_64 random(SEED);
    const uint32_t before = WorkspacePosition();
    TextAppend("guard");  // a text in front of the result must survive it
    const uint32_t at = WorkspacePosition() + 1;
    for (int i = 0; i < CASES; ++i) {
        const int64_t value = valueGenerate(random);
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << value);
        IntegerToText(value, at);
        const std::string expected = referenceToText(value);
        ASSERT_EQ(expected, WorkspaceAt(at));
        ASSERT_EQ(at + expected.size(), WorkspacePosition());  // on the terminating zero
        ASSERT_STREQ("guard", WorkspaceAt(before));
        ASSERT_EQ(value, TextToInteger(WorkspaceAt(at)));     // and it reads back
    }
    WorkspacePositionSet(before);
}
}  // namespace
