// The icon group and version record inside the built program files.
#include "support/child.h"
#include <gtest/gtest.h>
#include <set>
#include <string>

namespace {
#pragma pack(push, 2)
struct GroupEntry {       // one entry of an RT_GROUP_ICON resource
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

class ModuleOwner {        // a module loaded only for its resources
public:
    explicit ModuleOwner(const std::string& path)
        : module_(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ModuleOwner(const ModuleOwner&) = delete;
    ModuleOwner& operator=(const ModuleOwner&) = delete;
    ~ModuleOwner() { if (module_) FreeLibrary(module_); }
    HMODULE get() const { return module_; }
private:
    HMODULE module_;
};

const void* resourceData(HMODULE m, LPCSTR name, LPCSTR type, DWORD* size) {
    HRSRC r = FindResourceA(m, name, type);
    if (!r) return nullptr;
    *size = SizeofResource(m, r);
    return LockResource(LoadResource(m, r));
}

void checkIconGroup(const std::string& path) {
    SCOPED_TRACE(path);
    ModuleOwner module(path);
    ASSERT_NE(nullptr, module.get());
    DWORD size = 0;
    const BYTE* group = static_cast<const BYTE*>(
        resourceData(module.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14), &size));
    ASSERT_NE(nullptr, group);
    const GroupHeader* header = reinterpret_cast<const GroupHeader*>(group);
    ASSERT_EQ(6, header->count);
    ASSERT_EQ(sizeof(GroupHeader) + 6 * sizeof(GroupEntry), size);
    std::set<int> sizes;
    const GroupEntry* entries = reinterpret_cast<const GroupEntry*>(group + sizeof(GroupHeader));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(32, entries[i].bitCount);
        EXPECT_EQ(entries[i].width, entries[i].height);
        // The image itself must say the same as its group entry.
        DWORD imageSize = 0;
        const BITMAPINFOHEADER* image = static_cast<const BITMAPINFOHEADER*>(resourceData(
            module.get(), MAKEINTRESOURCEA(entries[i].id), MAKEINTRESOURCEA(3), &imageSize));
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(32, image->biBitCount);
        EXPECT_EQ(entries[i].width, image->biWidth);
        sizes.insert(entries[i].width);
    }
    EXPECT_EQ((std::set<int>{16, 32, 48, 64, 96, 128}), sizes);
}

TEST(ResourcesTest, IconGroupOneHoldsSixSizesAt32Bits) {
    checkIconGroup(TestBinDir() + "Somnaro.scr");
    if (SOMNARO_PRODUCT[0]) checkIconGroup(std::string("Z:") + SOMNARO_PRODUCT);
}

TEST(ResourcesTest, VersionRecordNamesProductAndVersion) {
    std::string path = SOMNARO_PRODUCT[0] ? std::string("Z:") + SOMNARO_PRODUCT
                                          : TestBinDir() + "Somnaro.scr";
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::string block(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, &block[0]));
    char* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\ProductName",
                               reinterpret_cast<void**>(&value), &length));
    EXPECT_STREQ("Somnaro", value);
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\StringFileInfo\\040904B0\\ProductVersion",
                               reinterpret_cast<void**>(&value), &length));
    EXPECT_STREQ("0.5", value);
    VS_FIXEDFILEINFO* fixed = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00000005u, fixed->dwProductVersionMS);
}
}  // namespace
