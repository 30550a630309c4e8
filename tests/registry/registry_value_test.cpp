// Values read as text by type and size, and written from text, against the
// real registry of the test prefix.
#include "scratch_key.h"

namespace {
using RegistryValueGetTest = ScratchKeyTest;
using RegistryValueWriteTest = ScratchKeyTest;
using std::string;

TEST_F(RegistryValueGetTest, StringsByStoredSize) {
    const string x(300, 'x');
    struct { const char* label; DWORD type; string data; string expected; } cases[] = {
        {"no bytes", REG_SZ, "", ""},
        {"one zero", REG_SZ, string(1, '\0'), ""},
        {"one byte, no zero", REG_SZ, "a", ""},
        {"3 with zero", REG_SZ, string("ab\0", 3), "ab"},
        {"3 without zero", REG_SZ, "abc", "ab"},
        {"ends at first zero", REG_SZ, string("ab\0cd\0", 6), "ab"},
        {"254", REG_SZ, x.substr(0, 253) + '\0', x.substr(0, 253)},
        {"255 with zero", REG_SZ, x.substr(0, 254) + '\0', x.substr(0, 254)},
        {"255 without zero", REG_SZ, x.substr(0, 255), x.substr(0, 254)},
        {"256", REG_SZ, x.substr(0, 255) + '\0', ""},
        {"multi", REG_MULTI_SZ, string("one\0two\0\0", 9), "one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        put("v", c.type, c.data);
        EXPECT_EQ(c.expected, get(kScratch, "v"));
    }
}

TEST_F(RegistryValueGetTest, NumbersBySizeAndSign) {
    struct { string data; const char* expected; } cases[] = {
        {string(4, '\xFF'), "-1"},
        {string("\xFF\xFF\xFF\x7F", 4), "2147483647"},
        {string("\0\0\0\x80", 4), "-2147483648"},
        {string("\xFF\xFF", 2), "65535"},  // fills the low half only
        {"", "0"},
        {string("\x01\0\0\0\x02\0\0\0", 8), "0"},  // never read into 4 bytes
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        put("n", REG_DWORD, c.data);
        EXPECT_EQ(c.expected, get(kScratch, "n"));
    }
}

TEST_F(RegistryValueGetTest, EmptyForOtherTypesAndMissingParts) {
    put("expand", REG_EXPAND_SZ, string("%TEMP%\0", 7));
    put("binary", REG_BINARY, "abc");
    put("qword", REG_QWORD, string(8, '\1'));
    put("", REG_SZ, string("default\0", 8));
    for (const char* name : {"expand", "binary", "qword", "missing"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ("", get(kScratch, name));
    }
    EXPECT_EQ("", get(below("\\Missing"), ""));
    EXPECT_EQ("default", get("\\" + string(kScratch), ""));
}

TEST_F(RegistryValueWriteTest, StoresByType) {
    const DWORD absent = 0xDEADBEEF;
    struct { uint32_t type; const char* text; DWORD storedType; string bytes; } cases[] = {
        {REG_SZ, "60", REG_SZ, string("60\0", 3)},
        {REG_SZ, "", REG_SZ, string(1, '\0')},
        {REG_MULTI_SZ, "a", REG_SZ, string("a\0", 2)},
        {REG_DWORD, "-1", REG_DWORD, string(4, '\xFF')},
        {REG_DWORD, "$12345678", REG_DWORD, "\x78\x56\x34\x12"},
        {REG_DWORD, "4294967296", REG_DWORD, string(4, '\0')},
        {REG_DWORD, "4294967297", REG_DWORD, string("\1\0\0\0", 4)},
        {REG_DWORD, "abc", REG_DWORD, string(4, '\0')},
        {REG_BINARY, "5", absent, ""},
        {REG_EXPAND_SZ, "5", absent, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RegDeleteValueA(key_.get(), "w");
        EXPECT_EQ(1, RegistryValueWrite(HKEY_CURRENT_USER, kScratch, "w", c.text, c.type, ""));
        EXPECT_EQ(std::make_pair(c.storedType, c.bytes), stored("w"));
    }
}

TEST_F(RegistryValueWriteTest, WriteNeedsTheKeyWhileSetMakesIt) {
    const string deep = below("\\A\\B");
    EXPECT_EQ(0, RegistryValueWrite(HKEY_CURRENT_USER, deep.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_FALSE(keyThere(below("\\A")));
    EXPECT_EQ(1, RegistryValueSet(HKEY_CURRENT_USER, deep.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_EQ("1", get(deep, "w"));
    EXPECT_EQ(1, RegistryValueSet(HKEY_CURRENT_USER, ("\\" + deep).c_str(), "w", "7",
                                  REG_DWORD, ""));
    EXPECT_EQ("7", get(deep, "w"));
    // Keys below a volatile key must be volatile; the procedures make stable ones.
    KeyOwner fleeting;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(key_.get(), "Fleeting", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, fleeting.receive(), nullptr));
    const string child = below("\\Fleeting\\Child");
    EXPECT_EQ(0, RegistryValueSet(HKEY_CURRENT_USER, child.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_FALSE(keyThere(child));
}
}  // namespace

namespace {
using RegistryValueDeleteTest = ScratchKeyTest;

// Gone counts as removed whether or not it was ever there; the other values
// of the key stay.
TEST_F(RegistryValueDeleteTest, GoneIsOneAndOnlyThatValueGoes) {
    put("v", REG_SZ, std::string("45\0", 3));
    put("w", REG_SZ, std::string("60\0", 3));
    const struct { const char* label; std::string path; const char* name; } cases[] = {
        {"present", kScratch, "v"},
        {"removed already", kScratch, "v"},
        {"no such key", below("\\missing"), "v"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(1, RegistryValueDelete(HKEY_CURRENT_USER, c.path.c_str(), c.name));
        EXPECT_EQ(ERROR_FILE_NOT_FOUND,
                  RegQueryValueExA(key_.get(), "v", nullptr, nullptr, nullptr, nullptr));
    }
    EXPECT_EQ("60", get(kScratch, "w"));
    EXPECT_EQ(0, RegistryValueDelete(nullptr, kScratch, "w"));
}
}  // namespace
