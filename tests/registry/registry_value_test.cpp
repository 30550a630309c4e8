// Values read as text by type and size, and written from text, against the
// real registry of the test prefix.
#include "scratch_key.h"

namespace {
using RegistryValueGetTest = ScratchKeyTest;
using RegistryValueWriteTest = ScratchKeyTest;

TEST_F(RegistryValueGetTest, StringsByStoredSize) {
    const std::string x(300, 'x');
    struct { const char* label; DWORD type; std::string data; const char* expected; } cases[] = {
        {"no bytes", REG_SZ, "", ""},
        {"one zero", REG_SZ, std::string(1, '\0'), ""},
        {"one byte, no zero", REG_SZ, "a", ""},
        {"3 with zero", REG_SZ, std::string("ab\0", 3), "ab"},
        {"3 without zero", REG_SZ, "abc", "ab"},
        {"ends at first zero", REG_SZ, std::string("ab\0cd\0", 6), "ab"},
        {"254", REG_SZ, x.substr(0, 253) + '\0', nullptr},
        {"255 with zero", REG_SZ, x.substr(0, 254) + '\0', nullptr},
        {"255 without zero", REG_SZ, x.substr(0, 255), nullptr},
        {"256", REG_SZ, x.substr(0, 255) + '\0', ""},
        {"multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9), "one"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        put("v", c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        // nullptr: the data less their last byte, with no zero inside.
        std::string expected = c.expected ? c.expected : c.data.substr(0, c.data.size() - 1);
        EXPECT_EQ(expected, get(kScratch, "v"));
    }
}

TEST_F(RegistryValueGetTest, NumbersBySizeAndSign) {
    struct { const char* label; std::string data; const char* expected; } cases[] = {
        {"all ones", std::string(4, '\xFF'), "-1"},
        {"largest", std::string("\xFF\xFF\xFF\x7F", 4), "2147483647"},
        {"smallest", std::string("\0\0\0\x80", 4), "-2147483648"},
        {"two bytes fill the low half only", std::string("\xFF\xFF", 2), "65535"},
        {"no bytes", "", "0"},
        // Longer data are never read into the 4-byte number.
        {"eight bytes", std::string("\x01\0\0\0\x02\0\0\0", 8), "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        put("n", REG_DWORD, c.data.data(), static_cast<DWORD>(c.data.size()));
        EXPECT_EQ(c.expected, get(kScratch, "n"));
    }
}

TEST_F(RegistryValueGetTest, OtherTypesAndMissingPartsReadEmpty) {
    const char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    put("expand", REG_EXPAND_SZ, "%TEMP%", 7);
    put("binary", REG_BINARY, "abc", 3);
    put("qword", REG_QWORD, eight, 8);
    put("big", REG_DWORD_BIG_ENDIAN, eight, 4);
    for (const char* name : {"expand", "binary", "qword", "big", "missing"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ("", get(kScratch, name));
    }
    put("v", REG_SZ, "here", 5);
    EXPECT_EQ("", get(below("\\Missing"), "v"));
}

TEST_F(RegistryValueGetTest, PathMayStartWithOneBackslash) {
    put("", REG_SZ, "default", 8);
    EXPECT_EQ("default", get(kScratch, ""));
    EXPECT_EQ("default", get(std::string("\\") + kScratch, ""));
}

TEST_F(RegistryValueWriteTest, StoresEachType) {
    struct { uint32_t type; const char* text; DWORD storedType; std::string bytes; } cases[] = {
        {REG_SZ, "60", REG_SZ, std::string("60\0", 3)},
        {REG_SZ, "", REG_SZ, std::string(1, '\0')},
        {REG_MULTI_SZ, "a", REG_SZ, std::string("a\0", 2)},
        {REG_DWORD, "-1", REG_DWORD, std::string(4, '\xFF')},
        {REG_DWORD, "$12345678", REG_DWORD, "\x78\x56\x34\x12"},
        {REG_DWORD, "4294967296", REG_DWORD, std::string(4, '\0')},
        {REG_DWORD, "4294967297", REG_DWORD, std::string("\1\0\0\0", 4)},
        {REG_DWORD, "abc", REG_DWORD, std::string(4, '\0')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(1, RegistryValueWrite(HKEY_CURRENT_USER, kScratch, "w", c.text, c.type, ""));
        Stored s = stored("w");
        EXPECT_EQ(c.storedType, s.type);
        EXPECT_EQ(c.bytes, s.bytes);
    }
}

TEST_F(RegistryValueWriteTest, OtherTypesWriteNothingYetSucceed) {
    for (uint32_t type : {REG_NONE, REG_EXPAND_SZ, REG_BINARY, REG_QWORD}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(1, RegistryValueWrite(HKEY_CURRENT_USER, kScratch, "w", "5", type, ""));
        EXPECT_EQ(0xDEADBEEFu, stored("w").type);
    }
}

TEST_F(RegistryValueWriteTest, WriteNeedsTheKeyWhileSetMakesIt) {
    const std::string deep = below("\\A\\B");
    EXPECT_EQ(0, RegistryValueWrite(HKEY_CURRENT_USER, deep.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_FALSE(keyThere(below("\\A")));
    EXPECT_EQ(1, RegistryValueSet(HKEY_CURRENT_USER, deep.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_EQ("1", get(deep, "w"));
    // A second set finds the key and overwrites the value, type and all.
    EXPECT_EQ(1, RegistryValueSet(HKEY_CURRENT_USER, ("\\" + deep).c_str(), "w", "7",
                                  REG_DWORD, ""));
    EXPECT_EQ("7", get(deep, "w"));
}

TEST_F(RegistryValueWriteTest, SetFailsWhereNoKeyCanBeMade) {
    // Keys below a volatile key must be volatile; the procedures make stable ones.
    KeyOwner fleeting;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(key_.get(), "Fleeting", 0, nullptr, REG_OPTION_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, fleeting.receive(), nullptr));
    const std::string child = below("\\Fleeting\\Child");
    EXPECT_EQ(0, RegistryValueSet(HKEY_CURRENT_USER, child.c_str(), "w", "1", REG_SZ, ""));
    EXPECT_FALSE(keyThere(child));
}
}  // namespace
