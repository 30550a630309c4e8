// Testing and making keys, and the preparation every registry procedure
// shares: the leading backslash, the top key 0, another computer, and no
// handle left open on any path.
#include "scratch_key.h"

namespace {
using RegistryKeyTest = ScratchKeyTest;
using RegistryPreparationTest = ScratchKeyTest;

TEST_F(RegistryKeyTest, ExistsOnlyForKeysThatOpen) {
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CURRENT_USER, kScratch, ""));
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CURRENT_USER, "", ""));    // the top key itself
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CURRENT_USER, "\\", ""));
    EXPECT_EQ(0, RegistryKeyExists(HKEY_CURRENT_USER, below("\\Missing").c_str(), ""));
}

TEST_F(RegistryKeyTest, CreateMakesParentsAndKeepsExistingValues) {
    const std::string deep = below("\\A\\B\\C");
    EXPECT_EQ(1, RegistryKeyCreate(HKEY_CURRENT_USER, deep.c_str(), ""));
    EXPECT_TRUE(keyThere(deep));
    put("v", REG_SZ, "kept", 5);
    EXPECT_EQ(1, RegistryKeyCreate(HKEY_CURRENT_USER, kScratch, ""));
    EXPECT_EQ("kept", get(kScratch, "v"));
}

TEST_F(RegistryPreparationTest, OnlyOneLeadingBackslashGoes) {
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CURRENT_USER, (std::string("\\") + kScratch).c_str(), ""));
    // With two, the second reaches the system as it is: same answer as asking it directly.
    const std::string two = std::string("\\\\") + kScratch;
    KeyOwner direct;
    int system = RegOpenKeyExA(HKEY_CURRENT_USER, two.c_str() + 1, 0, KEY_READ,
                               direct.receive()) == ERROR_SUCCESS;
    EXPECT_EQ(system, RegistryKeyExists(HKEY_CURRENT_USER, two.c_str(), ""));
}

TEST_F(RegistryPreparationTest, NoTopKeyOrUnreachableComputerFailsAndTouchesNothing) {
    put("v", REG_SZ, "old", 4);
    const std::string fresh = below("\\Fresh");
    struct { const char* label; HKEY top; const char* host; } cases[] = {
        {"top key 0", nullptr, ""},
        {"unreachable", HKEY_CURRENT_USER, "somnaro-no-such-host"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        DWORD start = GetTickCount();
        EXPECT_EQ(0, RegistryKeyExists(c.top, kScratch, c.host));
        EXPECT_EQ(0, RegistryKeyCreate(c.top, fresh.c_str(), c.host));
        EXPECT_EQ("", get(kScratch, "v", c.host, c.top));
        EXPECT_EQ(0, RegistryValueWrite(c.top, kScratch, "v", "new", REG_SZ, c.host));
        EXPECT_EQ(0, RegistryValueSet(c.top, fresh.c_str(), "v", "new", REG_SZ, c.host));
        EXPECT_LT(GetTickCount() - start, 5000u);
        EXPECT_EQ("old", get(kScratch, "v"));
        EXPECT_FALSE(keyThere(fresh));
    }
}

TEST_F(RegistryPreparationTest, ComputerNameReachesThatRegistry) {
    char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = sizeof name;
    ASSERT_TRUE(GetComputerNameA(name, &length));
    {
        KeyOwner probe;  // needs the remote registry service on Windows
        if (RegConnectRegistryA(name, HKEY_CURRENT_USER, probe.receive()) != ERROR_SUCCESS)
            GTEST_SKIP() << "this computer's registry cannot be reached by name";
    }
    EXPECT_EQ(1, RegistryValueSet(HKEY_CURRENT_USER, below("\\Far").c_str(), "v", "42",
                                  REG_DWORD, name));
    EXPECT_EQ("42", get(below("\\Far"), "v"));
    EXPECT_EQ("42", get(below("\\Far"), "v", name));
}

// Wine hands out the lowest free handle value and does not count handles
// (GetProcessHandleCount gives 0), so a leaked handle shows as a new value.
HANDLE handleNext() {
    HANDLE e = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(e);
    return e;
}

TEST_F(RegistryPreparationTest, EveryPathClosesItsHandles) {
    const std::string missing = below("\\Missing");
    put("v", REG_SZ, "x", 2);
    HANDLE before = nullptr;
    for (int round = 0; round < 2; ++round) {  // the first round warms up
        before = handleNext();
        RegistryKeyExists(HKEY_CURRENT_USER, kScratch, "");
        RegistryKeyExists(HKEY_CURRENT_USER, missing.c_str(), "");
        RegistryKeyCreate(HKEY_CURRENT_USER, kScratch, "");
        for (const char* name : {"v", "none"}) get(kScratch, name);
        get(missing, "v");
        RegistryValueWrite(HKEY_CURRENT_USER, kScratch, "v", "x", REG_SZ, "");
        RegistryValueWrite(HKEY_CURRENT_USER, missing.c_str(), "v", "x", REG_SZ, "");
        RegistryValueSet(HKEY_CURRENT_USER, below("\\Made").c_str(), "v", "1", REG_DWORD, "");
    }
    EXPECT_EQ(before, handleNext());
}
}  // namespace
