// The parameter scanner over thousands of generated command lines, checked
// against a plain reference splitter written here.
#include "toolkit/core/text.h"
#include "toolkit/process/parameters.h"
#include <gtest/gtest.h>
#include <string.h>
#include <random>
#include <string>
#include <vector>

namespace {
const unsigned SEED = 7122026;
const int CASES = 3000;

// Splits a whole line, program path included: runs of spaces separate; a
// double quote opens an item that ends at the next one (or the line's end)
// and the following item may begin right after it; elsewhere a quote is an
// ordinary byte.
std::vector<std::string> referenceSplit(const std::string& line) {
    std::vector<std::string> items;
    size_t i = 0;
    while (true) {
        i = line.find_first_not_of(' ', i);
        if (i == std::string::npos) break;
        const bool quoted = line[i] == '"';
        const size_t begin = quoted ? i + 1 : i;
        size_t end = line.find(quoted ? '"' : ' ', begin);
        if (end == std::string::npos) end = line.size();
        items.push_back(line.substr(begin, end - begin));
        i = end + 1;
        if (i >= line.size()) break;
    }
    return items;
}

std::string lineGenerate(std::mt19937& random) {
    // Tabs and bytes above 127 are ordinary item bytes.
    static const char ALPHABET[] = "   \"\"\t/sScCp:ab1\x80\xe9\xff";
    std::string line;
    size_t length = random() % 40;
    for (size_t i = 0; i < length; ++i) line += ALPHABET[random() % (sizeof ALPHABET - 1)];
    return line;
}

TEST(ParameterScanRandomTest, EveryParameterMatchesTheReferenceSplitter) {
    std::mt19937 random(SEED);
    for (int i = 0; i < CASES; ++i) {
        const std::string line = lineGenerate(random);
        SCOPED_TRACE(testing::Message() << "case " << i << ": [" << line << "]");
        const std::vector<std::string> items = referenceSplit(line);
        // The program path is never delivered; one call past the end shows
        // the empty text and an index that stays put.
        const size_t parameters = items.empty() ? 0 : items.size() - 1;
        int32_t index = 0;
        for (size_t k = 0; k <= parameters; ++k) {
            const uint32_t at = WorkspacePosition();
            memset(WorkspaceReserve(4, at), 'Z', 4);  // a missing terminator shows
            WorkspacePositionSet(at);
            ParameterScan(line.c_str(), &index, at);
            const std::string expected = k < parameters ? items[k + 1] : "";
            ASSERT_EQ(expected, std::string(WorkspaceAt(at))) << "parameter " << k;
            ASSERT_EQ(at + expected.size(), WorkspacePosition());
            ASSERT_EQ(static_cast<int32_t>(k < parameters ? k + 1 : parameters), index);
            WorkspacePositionSet(at);
        }
    }
}
}  // namespace
