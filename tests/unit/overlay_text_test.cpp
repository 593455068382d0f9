#include "overlay_text.h"

#include <gtest/gtest.h>

namespace quixo::tool {
namespace {

bool Lit(const OverlayImage& image, int x, int y) {
    return image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4] == 255;
}

int LitCount(const OverlayImage& image) {
    int n = 0;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) n += Lit(image, x, y);
    return n;
}

TEST(OverlayText, PanelFitsTheLinesAndDrawsGlyphsInTheirCells) {
    // "1" is a vertical bar in the glyph's middle column, seven font pixels high, with a foot.
    const OverlayImage one = DrawOverlayText({{"1"}}, 1, 1000);
    EXPECT_EQ(one.width, 3 * 6);  // a margin cell each side of the one character
    EXPECT_EQ(one.height, 2 * 9);
    const int left = 6, top = 4;
    for (int r = 0; r < 7; ++r) EXPECT_TRUE(Lit(one, left + 2, top + r)) << r;
    EXPECT_FALSE(Lit(one, left + 2, top + 7));
    EXPECT_EQ(LitCount(one), 7 + 2 + 1);  // the bar, the foot (two), the flag

    // Scale multiplies every font pixel; a second line adds a row of cells.
    const OverlayImage big = DrawOverlayText({{"1"}, {"1"}}, 3, 1000);
    EXPECT_EQ(big.height, 3 * 9 * 3);
    EXPECT_EQ(LitCount(big), 2 * 9 * LitCount(one));
}

TEST(OverlayText, CaseFoldsUnknownCharactersAndCutsAtTheWidth) {
    EXPECT_EQ(DrawOverlayText({{"scene"}}, 1, 1000).rgba,
              DrawOverlayText({{"SCENE"}}, 1, 1000).rgba);
    EXPECT_EQ(DrawOverlayText({{"\x7f"}}, 1, 1000).rgba, DrawOverlayText({{"?"}}, 1, 1000).rgba);
    EXPECT_EQ(LitCount(DrawOverlayText({{" "}}, 1, 1000)), 0);

    const OverlayImage cut = DrawOverlayText({{"1111111111"}}, 1, 4 * 6);
    EXPECT_EQ(cut.width, 24);
    EXPECT_EQ(LitCount(cut), 3 * 10);  // whole glyphs only: the cells that fit before the edge

    const OverlayImage red = DrawOverlayText({{"1", 255, 0, 0}}, 1, 1000);
    const std::size_t at = (static_cast<std::size_t>(4) * red.width + 8) * 4;
    EXPECT_EQ(red.rgba[at + 1], 0);
    EXPECT_EQ(red.rgba[at + 3], 255);
}

}  // namespace
}  // namespace quixo::tool
