// The preview's picture, painted into a 152 x 112 bitmap as into the Screen
// Saver dialog's small screen (Wine draws no child window of another process,
// so the picture is judged here, in one process): the moon where the layout
// puts it, the line beneath, and the background everywhere else.
#include "app/preview.h"
#include "app/tool.h"
#include "support/canvas.h"
#include "toolkit/window/drawing.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include <vector>

namespace {
const int WIDTH = 152, HEIGHT = 112;

DWORD rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

bool inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

std::vector<DWORD> region(const Canvas& c, const RECT& r) {
    std::vector<DWORD> out;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) out.push_back(c.at(x, y));
    return out;
}

TEST(PreviewPaintTest, LayoutKeepsTheMoonAboveTheLinesInsideThePreview) {
    const PreviewLayout layout = PreviewLayoutOf(WIDTH, HEIGHT);
    // 48 is the largest of the icon's sizes up to half of 112.
    EXPECT_EQ(48, layout.icon.right - layout.icon.left);
    EXPECT_EQ(48, layout.icon.bottom - layout.icon.top);
    EXPECT_EQ(WIDTH - layout.icon.right, layout.icon.left);  // centred
    EXPECT_LE(layout.icon.bottom, layout.lines[0].top);
    EXPECT_EQ(layout.lines[0].bottom, layout.lines[1].top);
    EXPECT_GE(layout.icon.top, 0);
    EXPECT_LE(layout.lines[1].bottom, HEIGHT);
}

TEST(PreviewPaintTest, ReadyAndNotReadyShowTheMoonAndTheirOwnLine) {
    const PreviewLayout layout = PreviewLayoutOf(WIDTH, HEIGHT);
    Canvas ready(WIDTH, HEIGHT), notReady(WIDTH, HEIGHT), moon(WIDTH, HEIGHT);
    ASSERT_TRUE(ready.ready() && notReady.ready() && moon.ready());
    PreviewPaint(ready.dc(), WIDTH, HEIGHT, "60", 0);
    PreviewPaint(notReady.dc(), WIDTH, HEIGHT, "60", TOOL_HIBERNATION_OFF);
    // The moon alone, drawn the way the preview draws it, on its background.
    RectangleFill(moon.dc(), {0, 0, WIDTH, HEIGHT}, PREVIEW_BACKGROUND);
    ASSERT_EQ(1, IconDraw(moon.dc(), layout.icon.left, layout.icon.top, 48));

    const DWORD background = rgb(PREVIEW_BACKGROUND);
    const std::vector<DWORD> moonPixels = region(moon, layout.icon);
    EXPECT_GT(std::set<DWORD>(moonPixels.begin(), moonPixels.end()).size(), 8u);  // a picture
    EXPECT_EQ(moonPixels, region(ready, layout.icon));
    EXPECT_EQ(moonPixels, region(notReady, layout.icon));

    // Outside the moon and the lines: the background, nothing left unpainted.
    for (const Canvas* c : {&ready, &notReady})
        for (int y = 0; y < HEIGHT; ++y)
            for (int x = 0; x < WIDTH; ++x) {
                if (inside(layout.icon, x, y) || inside(layout.lines[0], x, y) ||
                    inside(layout.lines[1], x, y))
                    continue;
                ASSERT_EQ(background, c->at(x, y)) << x << "," << y;
            }

    // The line: text in its own colour, and the warning where the saver would not hibernate.
    RECT text = {0, layout.lines[0].top, WIDTH, layout.lines[1].bottom};
    const std::vector<DWORD> readyText = region(ready, text), warningText = region(notReady, text);
    EXPECT_NE(readyText, warningText);
    auto count = [](const std::vector<DWORD>& pixels, bool (*match)(DWORD)) {
        size_t n = 0;
        for (DWORD p : pixels) n += match(p) ? 1 : 0;
        return n;
    };
    // Grey text, not a tinted one; the warning is amber: red over blue.
    auto grey = [](DWORD p) { return p != 0 && (p >> 16) == (p & 0xFF) && ((p >> 8) & 0xFF) == (p & 0xFF); };
    auto amber = [](DWORD p) { return (p >> 16) > 0x60 && (p >> 16) > 2 * (p & 0xFF); };
    EXPECT_GT(count(readyText, grey), 40u);
    EXPECT_EQ(0u, count(readyText, amber));
    EXPECT_GT(count(warningText, amber), 40u);
    // The ready line is one line; the warning has a second.
    const std::vector<DWORD> readySecond = region(ready, layout.lines[1]);
    EXPECT_EQ(readySecond, std::vector<DWORD>(readySecond.size(), background));
}
}  // namespace
