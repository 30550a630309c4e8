// A scratch key under HKEY_CURRENT_USER, made empty for each test and removed
// after it, with helpers that look at the registry without the code under test.
#pragma once
#include "registry/registry.h"
#include "registry/registry_root.h"
#include "toolkit/core/text.h"
#include <gtest/gtest.h>
#include <string>

const char* const kScratch = "Software\\SomnaroTests\\Scratch";

class ScratchKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);  // start clean
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(HKEY_CURRENT_USER, kScratch, key_.receive()));
    }
    void TearDown() override {
        key_.reset();
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
    }
    static std::string below(const char* rest) { return std::string(kScratch) + rest; }
    // RegSetValueExA adds a forgotten terminating zero to a string when the
    // byte after the data is zero, so here a non-zero byte always follows.
    void put(const char* name, DWORD type, const std::string& data) {
        std::string bytes = data + '#';
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key_.get(), name, 0, type,
                                                reinterpret_cast<const BYTE*>(bytes.data()),
                                                static_cast<DWORD>(data.size())));
    }
    // Reads through RegistryValueGet behind a prefix: the result must land at
    // its offset, leave the prefix alone and put the position at its end.
    static std::string get(const std::string& path, const char* name, const char* host = "",
                           HKEY top = HKEY_CURRENT_USER) {
        WorkspacePositionSet(0);
        TextAppend("prefix");
        RegistryValueGet(top, path.c_str(), name, host, 6);
        std::string all = WorkspaceAt(0);
        EXPECT_EQ("prefix", all.substr(0, 6));
        EXPECT_EQ(all.size(), WorkspacePosition());
        return all.substr(6);
    }
    static bool keyThere(const std::string& path) {
        KeyOwner k;
        return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, k.receive()) ==
               ERROR_SUCCESS;
    }
    // A value's type and bytes as stored; type 0xDEADBEEF when it is absent.
    std::pair<DWORD, std::string> stored(const char* name) {
        DWORD type = 0xDEADBEEF;
        std::string bytes(64, '\xAB');
        DWORD size = static_cast<DWORD>(bytes.size());
        if (RegQueryValueExA(key_.get(), name, nullptr, &type,
                             reinterpret_cast<BYTE*>(&bytes[0]), &size) != ERROR_SUCCESS)
            return {0xDEADBEEF, ""};
        return {type, bytes.substr(0, size)};
    }
    KeyOwner key_;
};
