// quixo-tool contact-sheet --every N [--size WxH] [--render WxH] [--columns C]
//                          [--sources DIR | --graphs FILE [--tracks FILE]] --out FILE.png
//
// Frames are rendered at the show's own size and scaled down to the thumbnails, which keeps
// the detail a frame rendered at thumbnail size would lose (sprites and blurs are sized
// against the 1920 x 1080 frame, so its layout would be the same).
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "authoring/text_overlay.h"
#include "commands.h"
#include "headless_show.h"
#include "json_out.h"
#include "png_out.h"
#include "progress.h"
#include "render/renderer.h"
#include "show_inputs.h"

namespace quixo::tool {

namespace {

struct SheetOptions {
    std::int64_t every = 0;
    std::string size = "320x180";
    std::string render = "1920x1080";
    std::int64_t columns = 8;
    std::string out;
    ShowInputs inputs;
};

// White on black, 14 pixels high: a row of the 11-pixel font and a pixel above and below.
constexpr OverlayStyle kLabelStyle{11, 1, 0, 0, 0};

struct Image {
    int width, height;
    std::vector<std::uint8_t> rgba;
};

// The label at the top-left of the thumbnail at (x, y), cut at the thumbnail's edges.
void DrawLabel(Image& sheet, int x, int y, FrameSize thumbnail, const std::string& text) {
    const OverlayImage label = DrawOverlayText({{text}}, kLabelStyle, thumbnail.width);
    const int rows = std::min(label.height, thumbnail.height);
    for (int r = 0; r < rows; ++r) {
        std::copy_n(&label.rgba[static_cast<std::size_t>(r) * label.width * 4], label.width * 4,
                    &sheet.rgba[(static_cast<std::size_t>(y + r) * sheet.width + x) * 4]);
    }
}

// Places a frame of `from` pixels into the w × h cell at (x0, y0), each cell pixel the mean
// of the frame pixels it covers.
void Blit(Image& sheet, const std::vector<std::uint8_t>& frame, FrameSize from, int w, int h,
          int x0, int y0) {
    for (int y = 0; y < h; ++y) {
        const int fy0 = y * from.height / h, fy1 = std::max(fy0 + 1, (y + 1) * from.height / h);
        for (int x = 0; x < w; ++x) {
            const int fx0 = x * from.width / w, fx1 = std::max(fx0 + 1, (x + 1) * from.width / w);
            unsigned sum[4] = {};
            for (int fy = fy0; fy < fy1; ++fy)
                for (int fx = fx0; fx < fx1; ++fx)
                    for (int c = 0; c < 4; ++c)
                        sum[c] += frame[(static_cast<std::size_t>(fy) * from.width + fx) * 4 + c];
            const auto n = static_cast<unsigned>((fy1 - fy0) * (fx1 - fx0));
            std::uint8_t* p =
                &sheet.rgba[(static_cast<std::size_t>(y0 + y) * sheet.width + x0 + x) * 4];
            for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint8_t>((sum[c] + n / 2) / n);
        }
    }
}

}  // namespace

CommandRunner SetupContactSheet(CLI::App& sub) {
    auto o = std::make_shared<SheetOptions>();
    // Every step from 8200 on gives frame 0 alone.
    sub.add_option("--every", o->every, "one thumbnail every N frames, 1..8200")
        ->required()
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{kEndFrame}));
    sub.add_option("--size", o->size, "thumbnail size WxH (default 320x180)");
    sub.add_option("--render", o->render,
                   "the size frames are rendered at before scaling (default 1920x1080)");
    sub.add_option("--columns", o->columns, "thumbnails per row, 1..1024 (default 8)")
        ->check(CLI::Range(1, 1024));
    sub.add_option("--out", o->out, "the PNG file to write")->required();
    AddShowInputOptions(sub, o->inputs);
    return [o] {
        const FrameSize size = ParseFrameSize(o->size);
        const FrameSize render = ParseFrameSize(o->render);
        const auto count = static_cast<int>((kEndFrame + o->every - 1) / o->every);
        const int columns = static_cast<int>(std::min<std::int64_t>(o->columns, count));
        const int rows = (count + columns - 1) / columns;
        if (static_cast<std::int64_t>(columns) * size.width * rows * size.height > (1LL << 28))
            FailLimit(
                "the sheet would exceed 2^28 pixels: use a larger --every or a smaller --size");

        Image sheet{columns * size.width, rows * size.height, {}};
        sheet.rgba.assign(static_cast<std::size_t>(sheet.width) * sheet.height * 4, 0);
        const LoadedShowInputs loaded = ReadShowInputs(o->inputs);
        TemporaryFile out(o->out);
        auto show = std::make_unique<HeadlessShow>();
        StartHeadlessShow(*show, render, true, false);
        ApplyShowInputs(*show, o->inputs, loaded);
        StartShowMusic(*show, false);
        ProgressLine progress("contact-sheet", count);
        for (int i = 0; i < count; ++i) {
            const auto frame = static_cast<std::int32_t>(i * o->every);
            const ClockReading clock = PlayUpTo(*show, frame);
            const int x = (i % columns) * size.width, y = (i / columns) * size.height;
            Blit(sheet, ShownFrame(*show), render, size.width, size.height, x, y);
            DrawLabel(sheet, x, y, size,
                      "F" + std::to_string(frame) + " S" + std::to_string(clock.scene));
            progress.Update(i + 1, frame);
        }
        progress.Finish();
        WritePng(out, sheet.rgba, sheet.width, sheet.height);
        PrintJson({{"thumbnails", count},
                   {"columns", columns},
                   {"rows", rows},
                   {"width", sheet.width},
                   {"height", sheet.height},
                   {"glErrors", ShowGlErrors(*show)}});
        return 0;
    };
}

}  // namespace quixo::tool
