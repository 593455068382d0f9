#include "authoring/text_overlay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

namespace quixo {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

Rgb PixelAt(const OverlayImage& image, int x, int y) {
    const std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
    return {p[0], p[1], p[2]};
}

Rgb PanelOf(const OverlayStyle& style) {
    return {style.red, style.green, style.blue};
}

TEST(OverlayText, PanelHasARowPerLineAndTheLongestLinesWidthWithinItsMargins) {
    const OverlayStyle style{16, 5};
    const std::string shortLine = "frame", longLine = "frame 1234  scene 7:89  gjpq";
    const OverlayImage none = DrawOverlayText({}, style, 1000);
    const OverlayImage one = DrawOverlayText({{shortLine}}, style, 1000);
    const OverlayImage longOne = DrawOverlayText({{longLine}}, style, 1000);
    const OverlayImage two = DrawOverlayText({{shortLine}, {longLine}}, style, 1000);
    EXPECT_EQ(none.width, 10);
    EXPECT_EQ(none.height, 10);
    const int row = one.height - 10;
    EXPECT_GE(row, 16);  // ascender to descender is more than the em
    EXPECT_LE(row, 20);
    EXPECT_EQ(two.height, 10 + 2 * row);
    EXPECT_GT(longOne.width, 2 * one.width);
    EXPECT_EQ(two.width, longOne.width);
    ASSERT_EQ(two.rgba.size(), static_cast<std::size_t>(two.width) * two.height * 4);

    // The margins stay panel (descenders included) and every pixel is opaque.
    for (int y = 0; y < two.height; ++y) {
        for (int x = 0; x < two.width; ++x) {
            EXPECT_EQ(two.rgba[(static_cast<std::size_t>(y) * two.width + x) * 4 + 3], 255);
            const bool inMargin = x < 5 || y < 5 || x >= two.width - 5 || y >= two.height - 5;
            if (inMargin) {
                EXPECT_EQ(PixelAt(two, x, y), PanelOf(style)) << x << "," << y;
            }
        }
    }
}

TEST(OverlayText, ALongerLineIsCutAfterItsLastCharacterThatFits) {
    const OverlayStyle style{14, 3, 0, 0, 0};
    const std::string text = "quixo: scenes/s2_tunnel.txt:12: unknown type no_such_type";
    for (const int maxWidth : {40, 97, 201}) {
        const OverlayImage cut = DrawOverlayText({{text}}, style, maxWidth);
        ASSERT_EQ(cut.width, maxWidth);
        const std::size_t n = OverlayFitLength(text, style.pixelHeight, maxWidth - 6);
        ASSERT_GT(n, 0u) << maxWidth;
        ASSERT_LT(n, text.size()) << maxWidth;
        EXPECT_GT(DrawOverlayText({{text.substr(0, n + 1)}}, style, 1000).width, maxWidth);
        // The cut line is the part that fits, drawn alone, then panel up to the edge.
        const OverlayImage part = DrawOverlayText({{text.substr(0, n)}}, style, 1000);
        ASSERT_LE(part.width, maxWidth);
        ASSERT_EQ(part.height, cut.height);
        for (int y = 0; y < cut.height; ++y)
            for (int x = 0; x < cut.width; ++x)
                ASSERT_EQ(PixelAt(cut, x, y), x < part.width ? PixelAt(part, x, y) : Rgb{})
                    << maxWidth << ": " << x << "," << y;
    }
}

TEST(OverlayText, EachLineMixesItsOwnColourOverThePanel) {
    const OverlayStyle dark{24, 4};
    const OverlayStyle black{24, 4, 0, 0, 0};
    EXPECT_LE(std::max({dark.red, dark.green, dark.blue}), 32) << "the panel is dark";
    struct Case {
        OverlayStyle style;
        Rgb first, second;
    };
    for (const Case& c :
         {Case{dark, {255, 255, 255}, {255, 96, 80}}, Case{black, {255, 0, 0}, {0, 255, 0}},
          Case{dark, {0, 0, 255}, {0, 0, 0}}}) {
        const OverlayImage image = DrawOverlayText({{"Hm", c.first[0], c.first[1], c.first[2]},
                                                    {"Hm", c.second[0], c.second[1], c.second[2]}},
                                                   c.style, 1000);
        const Rgb panel = PanelOf(c.style);
        const int row = (image.height - 8) / 2;
        int full[2] = {}, partial[2] = {};
        for (int y = 0; y < image.height; ++y) {
            const int line = std::clamp((y - 4) / row, 0, 1);
            const Rgb colour = line == 0 ? c.first : c.second;
            for (int x = 0; x < image.width; ++x) {
                const Rgb p = PixelAt(image, x, y);
                for (int k = 0; k < 3; ++k) {
                    ASSERT_GE(p[k], std::min(panel[k], colour[k])) << x << "," << y;
                    ASSERT_LE(p[k], std::max(panel[k], colour[k])) << x << "," << y;
                }
                full[line] += p == colour;
                partial[line] += p != colour && p != panel;
            }
        }
        EXPECT_EQ(PixelAt(image, 0, 0), panel);
        for (int line = 0; line < 2; ++line) {
            EXPECT_GT(full[line], 20) << "the stems of H are solid";
            EXPECT_GT(partial[line], 5) << "the edges of m are anti-aliased";
        }
    }
}

TEST(OverlayText, ReadsTheTextAsUtf8) {
    const OverlayStyle style{20, 2};
    const auto width = [&](const std::string& text) {
        return DrawOverlayText({{text}}, style, 1000).width;
    };
    // "é" is one character of the width of "e", not the two of "Ã©".
    EXPECT_EQ(width("\xc3\xa9"), width("e"));
    EXPECT_NE(DrawOverlayText({{"\xc3\xa9"}}, style, 1000).rgba,
              DrawOverlayText({{"e"}}, style, 1000).rgba);
    // A line is cut between characters, never inside one.
    const int e = width("e") - 4;
    EXPECT_EQ(OverlayFitLength("\xc3\xa9\xc3\xa9\xc3\xa9", 20, 2 * e + e / 2), 4u);
    // A malformed byte is a character of its own rather than the end of the text.
    EXPECT_EQ(OverlayFitLength(std::string("e\xff") + "e", 20, 1000), 3u);
}

}  // namespace
}  // namespace quixo
