// Testing and making keys, and the preparation every registry procedure
// shares: the leading backslash, the top key 0, another computer, and no
// handle left open on any path.
#include "scratch_key.h"

namespace {
using RegistryKeyTest = ScratchKeyTest;
using std::string;

TEST_F(RegistryKeyTest, ExistsOnlyForKeysThatOpen) {
    struct { string path; int expected; } cases[] = {
        {kScratch, 1}, {"\\" + string(kScratch), 1}, {"", 1}, {"\\", 1},
        {below("\\Missing"), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(c.expected, RegistryKeyExists(HKEY_CURRENT_USER, c.path.c_str(), ""));
    }
}

TEST_F(RegistryKeyTest, CreateMakesParentsAndKeepsExistingValues) {
    const string deep = below("\\A\\B\\C");
    EXPECT_EQ(1, RegistryKeyCreate(HKEY_CURRENT_USER, deep.c_str(), ""));
    EXPECT_TRUE(keyThere(deep));
    put("v", REG_SZ, string("kept\0", 5));
    EXPECT_EQ(1, RegistryKeyCreate(HKEY_CURRENT_USER, kScratch, ""));
    EXPECT_EQ("kept", get(kScratch, "v"));
}

TEST_F(RegistryKeyTest, NoTopKeyOrUnreachableComputerFailsAndTouchesNothing) {
    put("v", REG_SZ, string("old\0", 4));
    const string fresh = below("\\Fresh");
    struct { const char* label; HKEY top; const char* host; } cases[] = {
        {"top key 0", nullptr, ""},
        {"unreachable", HKEY_CURRENT_USER, "somnaro-no-such-host"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(0, RegistryKeyExists(c.top, kScratch, c.host));
        EXPECT_EQ(0, RegistryKeyCreate(c.top, fresh.c_str(), c.host));
        EXPECT_EQ("", get(kScratch, "v", c.host, c.top));
        EXPECT_EQ(0, RegistryValueWrite(c.top, kScratch, "v", "new", REG_SZ, c.host));
        EXPECT_EQ(0, RegistryValueSet(c.top, fresh.c_str(), "v", "new", REG_SZ, c.host));
        EXPECT_EQ("old", get(kScratch, "v"));
        EXPECT_FALSE(keyThere(fresh));
    }
}

// Wine does not count handles (GetProcessHandleCount gives 0) but hands out
// the lowest free handle value, so a leaked handle shows as a new value.
HANDLE handleNext() {
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(e);
    return e;
}

TEST_F(RegistryKeyTest, EveryPathClosesItsHandles) {
    const string missing = below("\\Missing");
    put("v", REG_SZ, string("x\0", 2));
    HANDLE before = nullptr;
    for (int round = 0; round < 2; ++round) {  // the first round warms up
        before = handleNext();
        for (const string& path : {string(kScratch), missing}) {
            RegistryKeyExists(HKEY_CURRENT_USER, path.c_str(), "");
            for (const char* name : {"v", "none"}) get(path, name);
            RegistryValueWrite(HKEY_CURRENT_USER, path.c_str(), "v", "x", REG_SZ, "");
        }
        RegistryKeyCreate(HKEY_CURRENT_USER, kScratch, "");
        RegistryValueSet(HKEY_CURRENT_USER, below("\\Made").c_str(), "v", "1", REG_DWORD, "");
    }
    EXPECT_EQ(before, handleNext());
}
}  // namespace
