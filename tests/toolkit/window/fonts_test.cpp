// Numbered fonts: size at the screen's resolution, number reuse and release.
#include "window_test_support.h"

namespace {
int screenDpiY() {
    HDC dc = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    DeleteDC(dc);
    return dpi;
}

LOGFONTA fontDescription(HFONT font) {
    LOGFONTA description;
    memset(&description, 0x5A, sizeof description);
    EXPECT_EQ(static_cast<int>(sizeof description),
              GetObjectA(font, sizeof description, &description));
    return description;
}

using FontLoadTest = WindowTest;

TEST_F(FontLoadTest, HeightIsPointsAtTheScreensResolution) {
    const struct { int32_t size; } cases[] = {{18}, {8}, {72}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        intptr_t result = FontLoad(0, "Arial", c.size);
        ASSERT_NE(0, result);
        HFONT font = FontHandle(0);
        EXPECT_EQ(result, reinterpret_cast<intptr_t>(font));  // explicit number: the handle
        LOGFONTA d = fontDescription(font);
        EXPECT_EQ(-MulDiv(c.size, screenDpiY(), 72), d.lfHeight);
        EXPECT_EQ(0, d.lfWidth);
        EXPECT_EQ(FW_NORMAL, d.lfWeight);
        EXPECT_EQ(0, d.lfItalic);
        EXPECT_EQ(DEFAULT_CHARSET, d.lfCharSet);
        EXPECT_STREQ("Arial", d.lfFaceName);
    }
}

TEST_F(FontLoadTest, ReusedNumberDeletesTheOldFont) {
    HFONT first = reinterpret_cast<HFONT>(FontLoad(3, "Arial", 18));
    ASSERT_NE(nullptr, first);
    HFONT second = reinterpret_cast<HFONT>(FontLoad(3, "Courier New", 10));
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(0u, GetObjectType(first));  // deleted, not merely forgotten
    EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(second));
    EXPECT_EQ(second, FontHandle(3));
}

TEST_F(FontLoadTest, AnyNumberGivesANumberThatFindsTheFont) {
    intptr_t number = FontLoad(ANY_NUMBER, "Arial", 12);
    ASSERT_NE(0, number);
    HFONT font = FontHandle(number);
    ASSERT_NE(nullptr, font);
    EXPECT_NE(number, reinterpret_cast<intptr_t>(font));
    EXPECT_EQ(-MulDiv(12, screenDpiY(), 72), fontDescription(font).lfHeight);
    FontFree(number);
    EXPECT_EQ(nullptr, FontHandle(number));
    EXPECT_EQ(0u, GetObjectType(font));
}

TEST_F(FontLoadTest, FreeAndEndDeleteEveryFontAndIgnoreAbsentNumbers) {
    HFONT explicitFont = reinterpret_cast<HFONT>(FontLoad(5, "Arial", 10));
    intptr_t chosen = FontLoad(ANY_NUMBER, "Arial", 11);
    ASSERT_NE(nullptr, explicitFont);
    ASSERT_NE(0, chosen);
    HFONT chosenFont = FontHandle(chosen);
    FontFree(6);   // never loaded
    FontFree(40);  // beyond the table
    EXPECT_EQ(explicitFont, FontHandle(5));
    FontsEnd();
    EXPECT_EQ(nullptr, FontHandle(5));
    EXPECT_EQ(nullptr, FontHandle(chosen));
    EXPECT_EQ(0u, GetObjectType(explicitFont));
    EXPECT_EQ(0u, GetObjectType(chosenFont));
}
}  // namespace
