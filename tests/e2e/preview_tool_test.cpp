// The preview window as an author uses it: sources edited while it plays, a broken edit
// reported with its file and line while the picture goes on, Escape to leave.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "e2e/x_session.h"

namespace quixo::e2e {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

void Append(const fs::path& file, const std::string& line) {
    std::ofstream(file, std::ios::app) << line << "\n";
}

int LineCount(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    int n = 0;
    while (std::getline(in, line)) ++n;
    return n;
}

TEST(PreviewTool, ReloadsEditedSourcesAndReportsABrokenOneWhilePlaying) {
    QUIXO_RUN_UNDER_XVFB();
    const fs::path dir = CopySources("preview");
    fs::path scene;
    for (const auto& entry : fs::directory_iterator(dir / "scenes"))
        if (entry.path().filename().string().rfind("s2_", 0) == 0) scene = entry.path();
    ASSERT_FALSE(scene.empty());

    Process preview = StartPreview(dir, "--silent --size 320x180 --frame 650");
    const unsigned long window = FindWindowByTitle("quixo preview", 40s);
    ASSERT_NE(window, 0u) << ReadOutput(preview);

    Append(scene, "# a comment changes the file, not the scene");
    EXPECT_TRUE(WaitForOutput(preview, "reloaded " + dir.string(), 20s)) << ReadOutput(preview);

    Append(scene, "broken = no_such_type");
    const std::string where = scene.string() + ":" + std::to_string(LineCount(scene)) + ":";
    EXPECT_TRUE(WaitForOutput(preview, where, 20s)) << ReadOutput(preview);

    // The last good scenes keep playing: the program is still there and answers Escape.
    RunCommand("xdotool windowfocus --sync " + std::to_string(window) + " key Escape");
    EXPECT_EQ(WaitForExit(preview, 20s), 0) << ReadOutput(preview);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace quixo::e2e
