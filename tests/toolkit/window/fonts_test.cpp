// Numbered fonts: size at the screen's resolution, number reuse and release.
#include "window_test_support.h"

namespace {
using FontLoadTest = WindowTest;

TEST_F(FontLoadTest, HeightIsPointsAtTheScreensResolution) {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    DeleteDC(dc);
    for (int32_t size : {18, 8, 72}) {
        SCOPED_TRACE(size);
        intptr_t result = FontLoad(0, "Arial", size);
        EXPECT_EQ(reinterpret_cast<intptr_t>(FontHandle(0)), result);  // the handle
        LOGFONTA d;
        memset(&d, 0x5A, sizeof d);
        ASSERT_EQ(static_cast<int>(sizeof d), GetObjectA(FontHandle(0), sizeof d, &d));
        EXPECT_EQ(-MulDiv(size, dpi, 72), d.lfHeight);
        EXPECT_EQ(0, d.lfWidth);
        EXPECT_EQ(FW_NORMAL, d.lfWeight);
        EXPECT_EQ(DEFAULT_CHARSET, d.lfCharSet);
        EXPECT_STREQ("Arial", d.lfFaceName);
    }
}

TEST_F(FontLoadTest, ReuseFreeAndEndDeleteTheFonts) {
    HFONT first = AsFont(FontLoad(3, "Arial", 18));
    HFONT second = AsFont(FontLoad(3, "Courier New", 10));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0u, GetObjectType(first));  // deleted, not merely forgotten
    EXPECT_EQ(second, FontHandle(3));

    intptr_t chosen = FontLoad(ANY_NUMBER, "Arial", 11);
    HFONT chosenFont = FontHandle(chosen);
    ASSERT_NE(nullptr, chosenFont);
    EXPECT_NE(chosen, reinterpret_cast<intptr_t>(chosenFont));  // a number, not the handle
    intptr_t freed = FontLoad(ANY_NUMBER, "Arial", 12);
    HFONT freedFont = FontHandle(freed);
    FontFree(freed);
    EXPECT_EQ(nullptr, FontHandle(freed));
    EXPECT_EQ(0u, GetObjectType(freedFont));
    FontFree(6);   // never loaded: nothing happens
    FontFree(40);  // beyond the table: nothing happens

    FontsEnd();
    EXPECT_EQ(nullptr, FontHandle(3));
    EXPECT_EQ(nullptr, FontHandle(chosen));
    EXPECT_EQ(0u, GetObjectType(second));
    EXPECT_EQ(0u, GetObjectType(chosenFont));
}
}  // namespace
