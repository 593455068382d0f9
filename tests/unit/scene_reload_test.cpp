// Reloading scene sources into a running show, and moving about the show while previewing.
#include "authoring/scene_reload.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "authoring/show_seek.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "graph_test_util.h"

namespace quixo {
namespace {

namespace fs = std::filesystem;

// The opening scene the tests edit, in place of the show's own: its sky is node 0, line 2.
const char kTestScene0[] =
    "scene 0 duration 540\n"
    "sky     = constant p 0.02 0.03 0.08 1\n"
    "clear   = clear_color in sky\n"
    "eye     = constant p 0 2 -6 0\n"
    "target  = constant p 0 0 0 0\n"
    "view    = camera_lens in eye target\n";

// A private copy of the data folder's scene and track sources, with the test's scene 0.
class SourceFolder {
public:
    SourceFolder()
        : dir_(fs::temp_directory_path() / ("quixo-reload-" + std::to_string(getpid()))) {
        fs::remove_all(dir_);
        for (const char* sub : {"scenes", "tracks"}) {
            fs::create_directories(dir_ / sub);
            for (const auto& e :
                 fs::directory_iterator(fs::path(QUIXO_SOURCE_DIR) / "data" / sub)) {
                const std::string name = e.path().filename().string();
                if (e.path().extension() != ".cmake" && name.rfind("s0_", 0) != 0)
                    fs::copy(e.path(), dir_ / sub);
            }
        }
        std::ofstream(Scene0()) << kTestScene0;
    }
    ~SourceFolder() { fs::remove_all(dir_); }
    std::string Dir() const { return dir_.string(); }
    std::string Scene0() const { return (dir_ / "scenes" / "s0_test.scene").string(); }

    // Replaces the first occurrence of from in the opening scene's source.
    void EditScene0(const std::string& from, const std::string& to) const {
        std::ifstream in(Scene0());
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const auto at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream(Scene0(), std::ios::trunc) << text;
    }

private:
    fs::path dir_;
};

float SkyRed() {
    return Slots().nodes[0][0].params[0];
}

TEST(SceneReload, PicksUpAnEditAndKeepsTheLastGoodScenesOnAFault) {
    testing_util::EnsureGraphSlots();
    SourceFolder folder;
    CompiledScenes current;
    std::vector<SourceError> errors;
    ASSERT_TRUE(ReloadSceneSources(Device(), folder.Dir(), current, errors))
        << FormatSourceError(errors.at(0));
    EXPECT_FLOAT_EQ(SkyRed(), 0.02f);
    EXPECT_EQ(CompiledDurations(current), TimelineDurations());

    folder.EditScene0("sky     = constant p 0.02", "sky     = constant p 0.75");
    ASSERT_TRUE(ReloadSceneSources(Device(), folder.Dir(), current, errors));
    EXPECT_FLOAT_EQ(SkyRed(), 0.75f);
    const std::vector<std::uint8_t> good = current.scenes;

    // Line 2 of the opening scene names a type that does not exist.
    folder.EditScene0("sky     = constant p 0.75", "sky     = no_such_type p 0.5");
    EXPECT_FALSE(ReloadSceneSources(Device(), folder.Dir(), current, errors));
    ASSERT_FALSE(errors.empty());
    EXPECT_EQ(errors[0].file, folder.Scene0());
    EXPECT_EQ(errors[0].line, 2);
    EXPECT_NE(FormatSourceError(errors[0]).find("s0_test.scene:2"), std::string::npos);
    EXPECT_FLOAT_EQ(SkyRed(), 0.75f);
    EXPECT_EQ(current.scenes, good);
}

TEST(SceneReload, AMissingFolderIsAnErrorAndChangesNothing) {
    CompiledScenes current;
    current.scenes = {1, 2, 3};
    std::vector<SourceError> errors;
    EXPECT_FALSE(RecompileSourceFolder("/nonexistent/quixo", current, errors));
    EXPECT_FALSE(errors.empty());
    EXPECT_EQ(current.scenes, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(SceneReload, FolderStampChangesWithAnEditOrANewFile) {
    SourceFolder folder;
    const std::int64_t before = SourceFolderStamp(folder.Dir());
    fs::last_write_time(folder.Scene0(),
                        fs::last_write_time(folder.Scene0()) + std::chrono::seconds(2));
    const std::int64_t edited = SourceFolderStamp(folder.Dir());
    EXPECT_NE(edited, before);
    std::ofstream(folder.Dir() + "/tracks/extra.track") << "# nothing\n";
    EXPECT_NE(SourceFolderStamp(folder.Dir()), edited);
}

TEST(ShowSeek, KeysLandOnTheRightFrameAndScene) {
    const auto durations = TimelineDurations();
    const std::int32_t* d = durations.data();
    const std::int32_t scene1 = d[0], scene2 = d[0] + d[1];
    auto key = [&](std::int32_t frame, bool paused, SeekKey k) {
        return ApplySeekKey({frame, paused}, k, d);
    };
    EXPECT_EQ(key(0, false, SeekKey::kNextScene).frame, scene1);
    EXPECT_EQ(SceneOfFrame(scene1, d), 1);
    EXPECT_EQ(SceneOfFrame(scene1 - 1, d), 0);
    EXPECT_EQ(key(scene1 + 10, false, SeekKey::kPreviousScene).frame, scene1);
    EXPECT_EQ(key(scene1, false, SeekKey::kPreviousScene).frame, 0);
    EXPECT_EQ(key(0, false, SeekKey::kPreviousScene).frame, 0);
    EXPECT_EQ(key(scene1 + 5, false, SeekKey::kNextScene).frame, scene2);
    EXPECT_EQ(key(kEndFrame - 10, false, SeekKey::kNextScene).frame, kEndFrame - 1);

    EXPECT_EQ(key(scene1 - 30, false, SeekKey::kSecondForward).frame, scene1 + 30);
    EXPECT_EQ(SceneOfFrame(scene1 + 30, d), 1);
    EXPECT_EQ(key(30, false, SeekKey::kSecondBack).frame, 0);
    EXPECT_EQ(key(kEndFrame - 2, false, SeekKey::kSecondForward).frame, kEndFrame - 1);

    // Single steps only while paused, and never past either end.
    EXPECT_EQ(key(100, false, SeekKey::kFrameForward).frame, 100);
    EXPECT_EQ(key(100, true, SeekKey::kFrameForward).frame, 101);
    EXPECT_EQ(key(0, true, SeekKey::kFrameBack).frame, 0);
    EXPECT_EQ(key(kEndFrame - 1, true, SeekKey::kFrameForward).frame, kEndFrame - 1);

    const PreviewPosition paused = key(500, false, SeekKey::kPauseResume);
    EXPECT_TRUE(paused.paused);
    EXPECT_EQ(paused.frame, 500);
    EXPECT_EQ(key(500, true, SeekKey::kRestart).frame, 0);
}

}  // namespace
}  // namespace quixo
