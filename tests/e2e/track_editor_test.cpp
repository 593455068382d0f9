// The track editor in the preview window, driven from the keyboard as a maker drives it: a key
// set on the music's row, its value typed, the frame on screen changed by it before any save,
// then saved into the track source with everything else in the file as it was; and the file
// changed on disk beside it, neither losing an unsaved edit nor written over unasked.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "authoring/music_grid.h"
#include "e2e/x_session.h"
#include "platform/module_decoder.h"

namespace quixo::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void PressKeys(unsigned long window, const std::string& keys) {
    RunCommand("xdotool windowfocus --sync " + std::to_string(window) + " key --delay 60 " + keys);
}

// The left quarter of the window's picture, below the status panel: the part of the show's frame
// that the editor (on the right three quarters) leaves in view.
std::string ShowPicture(unsigned long window, int width, int height) {
    const std::string rgb = WindowPixels(window);
    if (rgb.size() != static_cast<std::size_t>(width) * height * 3) return "";
    std::string part;
    for (int y = height / 4; y < height; ++y) part += rgb.substr((y * width) * 3, width / 4 * 3);
    return part;
}

// That picture once three screenshots a second apart agree (textures still arriving, or keys
// still being handled, change it) and, when `unlike` is given, it differs from that; empty when
// that does not happen in time.
std::string SettledPicture(unsigned long window, const std::string& unlike = "") {
    constexpr int kWidth = 480, kHeight = 270;  // the preview's --size
    std::string last = ShowPicture(window, kWidth, kHeight);
    int same = 1;
    const Clock::time_point deadline = Clock::now() + 60s;
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(1s);
        std::string now = ShowPicture(window, kWidth, kHeight);
        same = !now.empty() && now == last && now != unlike ? same + 1 : 1;
        if (same == 3) return now;
        last = std::move(now);
    }
    return "";
}

// The key line a key set on the row `rows` after the one playing at frame 600 (where scene 2
// starts) begins with, its x typed: the frame in scene 2's frames, then x.
std::string KeyLineStart(int rows, const std::string& x) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    RowGrid grid;
    EXPECT_TRUE(ReadFileBytes(std::string(QUIXO_SOURCE_DIR) + "/media_tessorin2012/music/music.xm",
                              &bytes, &error));
    EXPECT_TRUE(MusicRowGrid(bytes, grid, &error)) << error;
    const std::string frame = std::to_string(RowFrame(grid, RowAtFrame(grid, 600) + rows) - 600);
    return "\n" + frame + std::string(6 - frame.size(), ' ') + x + " ";
}

void Append(const fs::path& file, const std::string& line) {
    std::ofstream(file, std::ios::app) << line << "\n";
}

TEST(TrackEditor, KeysTheShowFromTheKeyboardAndSavesTheSource) {
    QUIXO_RUN_UNDER_XVFB();
    const fs::path dir = CopySources("track-editor");
    const fs::path file = dir / "tracks/tracks.track";
    const std::string before = ReadText(file);
    Process preview = StartPreview(dir, "--silent --size 480x270 --frame 650");
    const unsigned long window = FindWindowByTitle("quixo preview", 40s);
    ASSERT_NE(window, 0u) << ReadOutput(preview);

    // Paused at the start of scene 2 (its camera is track 9), the status panel hidden, the
    // editor shown and its cursor two rows on (the show follows it there).
    PressKeys(window, "space Prior o Tab Down Down");
    const std::string unedited = SettledPicture(window);
    ASSERT_FALSE(unedited.empty()) << "the picture never settled";

    // A key on that row with the curve's value, its x typed: the camera moves away at once.
    PressKeys(window, "Return 9 9 9 9 Return");
    EXPECT_FALSE(SettledPicture(window, unedited).empty())
        << "the frame on screen did not change with the edit\n"
        << ReadOutput(preview);

    PressKeys(window, "ctrl+s");
    ASSERT_TRUE(WaitForOutput(preview, "saved tracks.track", 20s)) << ReadOutput(preview);
    std::this_thread::sleep_for(2s);  // the watcher's next look at the files

    // One new key line in track 9, at the row's scene frame with x 9999; every other line as
    // it was.
    const std::string after = ReadText(file);
    const std::size_t at = after.find(KeyLineStart(2, "9999"));
    ASSERT_NE(at, std::string::npos) << after;
    const std::size_t end = after.find('\n', at + 1);
    EXPECT_EQ(after.substr(0, at) + after.substr(end), before);
    const std::size_t track = after.rfind("\ntrack ", at);
    EXPECT_EQ(after.substr(track, 10), "\ntrack 9 c");

    // Its own save is no change for the watcher: nothing was reloaded.
    EXPECT_EQ(ReadOutput(preview).find("reloaded"), std::string::npos) << ReadOutput(preview);

    // Changed on disk with nothing unsaved, the file is loaded. Changed again while an edit (x 7
    // on the next row) is unsaved, the edit stays, and the save refuses to write over the file
    // until it is asked a second time.
    Append(file, "# changed elsewhere");
    ASSERT_TRUE(WaitForOutput(preview, "reloaded", 20s)) << ReadOutput(preview);
    PressKeys(window, "Down Return 7 Return");
    std::this_thread::sleep_for(2s);
    Append(file, "# changed again");
    ASSERT_TRUE(WaitForOutput(preview, "reloaded", 20s, 2)) << ReadOutput(preview);
    PressKeys(window, "ctrl+s");
    ASSERT_TRUE(WaitForOutput(preview, "tracks.track changed on disk", 20s)) << ReadOutput(preview);
    EXPECT_NE(ReadText(file).find("# changed again"), std::string::npos);
    PressKeys(window, "ctrl+s");
    ASSERT_TRUE(WaitForOutput(preview, "saved tracks.track", 20s, 2)) << ReadOutput(preview);
    const std::string overwritten = ReadText(file);
    EXPECT_NE(overwritten.find(KeyLineStart(3, "7")), std::string::npos) << overwritten;
    EXPECT_NE(overwritten.find(KeyLineStart(2, "9999")), std::string::npos) << overwritten;
    EXPECT_NE(overwritten.find("# changed elsewhere"), std::string::npos);
    EXPECT_EQ(overwritten.find("# changed again"), std::string::npos);

    PressKeys(window, "Escape");
    EXPECT_EQ(WaitForExit(preview, 20s), 0) << ReadOutput(preview);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quixo::e2e
