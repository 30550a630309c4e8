// The capability probe's decisions, and the image table's release function.
#include "toolkit/core/capability_probe.h"
#include "toolkit/core/image_module.h"
#include <gtest/gtest.h>

namespace {
OSVERSIONINFOA version(DWORD platform, DWORD major, DWORD minor) {
    OSVERSIONINFOA v = {};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwPlatformId = platform;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    return v;
}

TEST(CapabilityProbeTest, SystemVersionDecidesWhetherThemesAreAsked) {
    struct { DWORD platform, major, minor; int32_t expected; } cases[] = {
        {VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0},   // the 9x line never themes
        {VER_PLATFORM_WIN32_NT, 4, 0, 0},
        {VER_PLATFORM_WIN32_NT, 5, 0, 0},
        {VER_PLATFORM_WIN32_NT, 5, 1, 1},
        {VER_PLATFORM_WIN32_NT, 6, 0, 1},
        {VER_PLATFORM_WIN32_NT, 10, 0, 1},
        {VER_PLATFORM_WIN32s, 3, 1, 1},           // unknown platforms keep it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.platform << " " << c.major << "." << c.minor);
        OSVERSIONINFOA v = version(c.platform, c.major, c.minor);
        EXPECT_EQ(c.expected, CapabilityVersionAllowsThemes(&v));
    }
    EXPECT_EQ(1, CapabilityVersionAllowsThemes(nullptr));  // a failed query keeps it
}

TEST(CapabilityProbeTest, ThemedOnlyWithCommonControlsSixAndAThemedApplication) {
    EXPECT_EQ(1, CapabilityThemedDecide(0x60000, 1));
    EXPECT_EQ(1, CapabilityThemedDecide(0x6000A, 1));
    EXPECT_EQ(0, CapabilityThemedDecide(0x50052, 1));   // 5.82
    EXPECT_EQ(0, CapabilityThemedDecide(0x60000, 0));
    EXPECT_EQ(0, CapabilityThemedDecide(0x60000, -1));  // uxtheme missing
    EXPECT_EQ(0, CapabilityThemedDecide(1, 1));         // no DllGetVersion
}

TEST(CapabilityProbeTest, StartHoldsMsimg32UntilTheEnd) {
    CapabilityProbeStart();
    HMODULE held = CapabilityAlphaBlendModule();
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(GetProcAddress(held, "AlphaBlend"), CapabilityAlphaBlend());
    int32_t styles = CapabilityVisualStyles();
    EXPECT_TRUE(styles == 0 || styles == 1);
    CapabilityProbeEnd();
    EXPECT_EQ(nullptr, CapabilityAlphaBlendModule());
    EXPECT_EQ(nullptr, CapabilityAlphaBlend());
}

class ImageModuleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ImagesStart(); }
};

TEST_F(ImageModuleTest, ReleaseDeletesBitmapsAndDestroysIcons) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
    ReleaseDC(nullptr, screen);
    ASSERT_NE(nullptr, bitmap);
    HICON icon = CopyIcon(LoadIconA(nullptr, MAKEINTRESOURCEA(32512)));
    ASSERT_NE(nullptr, icon);

    static_cast<ImageRecord*>(ObjectNew(ImageTable(), 2))->handle = bitmap;
    ImageRecord* any = static_cast<ImageRecord*>(ObjectNew(ImageTable(), ANY_NUMBER));
    any->handle = icon;
    ObjectNumber anyNumber = reinterpret_cast<ObjectNumber>(any);

    ImageRelease(ANY_NUMBER);            // does nothing
    ImageRelease(5);                     // absent: does nothing
    EXPECT_EQ(OBJ_BITMAP, GetObjectType(bitmap));

    ImagesEnd();
    EXPECT_EQ(0u, GetObjectType(bitmap));        // deleted
    EXPECT_EQ(nullptr, ObjectFind(ImageTable(), 2));
    EXPECT_EQ(nullptr, ObjectFind(ImageTable(), anyNumber));
    ICONINFO info;
    EXPECT_FALSE(GetIconInfo(icon, &info));      // destroyed
}
}  // namespace
