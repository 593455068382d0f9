#include "graph/scene_load.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "core/render_device.h"
#include "core/timeline.h"
#include "graph/curve_tracks.h"
#include "graph/scene_data.h"
#include "graph_test_util.h"

namespace quixo {
namespace {

using testing_util::EnsureGraphSlots;
using testing_util::Node;

TEST(SceneLoad, CopiesRecordsAndTakesTwoBlocksPerNodeUsingTheSecond) {
    EnsureGraphSlots();
    std::vector<StoredNode> scene(kNodesPerGraph);
    scene[0] = Node(kNodeConstant, 3);
    scene[0].params[0] = -0.0f;
    const std::uint32_t nanBits = 0x7fc01234;
    std::memcpy(&scene[0].params[1], &nanBits, 4);
    scene[1] = Node(kNodeAdd, 0);  // no element storage
    scene[1].inputs[0] = 0;
    scene[2] = Node(kNodeScale, 2);

    const std::uint32_t before = MemoryArena().fillOffset;
    LoadStoredScene(20, scene.data());
    const std::uint8_t* base = MemoryArena().base;
    // 3 elements: two blocks of 48 bytes, then node 2's two blocks of 32; node 1 takes none.
    EXPECT_EQ(MemoryArena().fillOffset, before + 2 * 48 + 2 * 32);
    const ValueArray* values = Slots().values[20];
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(values[0].elements), base + before + 48);
    EXPECT_EQ(values[1].elements, nullptr);
    EXPECT_EQ(reinterpret_cast<const std::uint8_t*>(values[2].elements), base + before + 96 + 32);
    EXPECT_EQ(values[0].count, 3u);
    EXPECT_EQ(values[0].evaluated, 0);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(values[0].elements[i].w, 0.0f);

    const OperatorNode* nodes = Slots().nodes[20];
    EXPECT_EQ(nodes[0].type, kNodeConstant);
    EXPECT_EQ(nodes[1].inputs[0], 0);
    EXPECT_EQ(nodes[1].inputs[1], -1);
    EXPECT_TRUE(std::signbit(nodes[0].params[0]));
    std::uint32_t bits;
    std::memcpy(&bits, &nodes[0].params[1], 4);
    EXPECT_EQ(bits, nanBits);  // parameters travel bit for bit
    EXPECT_EQ(nodes[3].type, kNodeEmpty);
    EXPECT_EQ(values[3].count, 0u);
}

TEST(SceneLoad, EmbeddedScenesFillSlotsZeroToNineAndLeaveTheRestEmpty) {
    EnsureGraphSlots();
    LoadSceneGraphs();
    const SceneEntry* table = StoredSceneTable();
    for (int s = 0; s < kSceneCount; ++s) {
        const StoredNode* stored = StoredScenes() + table[s].sceneRef * kNodesPerGraph;
        int used = 0;
        for (int n = 0; n < kNodesPerGraph; ++n) {
            EXPECT_EQ(Slots().nodes[s][n].type, stored[n].type);
            EXPECT_EQ(Slots().values[s][n].count, stored[n].count);
            used += stored[n].type != kNodeEmpty;
        }
        EXPECT_GT(used, 0) << "scene " << s;
    }
    for (int s = kSceneCount; s < kGraphSlots; ++s) {
        if (s == 20) continue;  // the slot the test above fills
        for (int n = 0; n < kNodesPerGraph; ++n) {
            ASSERT_EQ(Slots().nodes[s][n].type, kNodeEmpty);
            ASSERT_EQ(Slots().values[s][n].count, 0u);
        }
    }
}

TEST(SceneLoad, EveryEmbeddedSceneSetsACameraAClearColourAndDraws) {
    for (int s = 0; s < kSceneCount; ++s) {
        const StoredNode* stored = StoredScenes() + StoredSceneTable()[s].sceneRef * kNodesPerGraph;
        bool camera = false, clear = false, draws = false;
        for (int n = 0; n < kNodesPerGraph; ++n) {
            camera |= stored[n].type == kNodeCamera;
            clear |= stored[n].type == kNodeClearColour;
            draws |= stored[n].type == kNodeEmitter8 && stored[n].params[0] >= 35 &&
                     stored[n].params[1] >= 1;
        }
        EXPECT_TRUE(camera && clear && draws) << "scene " << s;
    }
}

TEST(SceneLoad, TimelineComesFromTheSceneTable) {
    const auto durations = TimelineDurations();
    const std::int32_t expected[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};
    for (int s = 0; s < kSceneCount; ++s) EXPECT_EQ(durations[s], expected[s]);
    const ClockReading r = ReadClock(136611, durations.data());
    EXPECT_EQ(r.scene, 9);
    EXPECT_EQ(r.sceneEndFrame, 8312);
    EXPECT_FALSE(r.end);
}

TEST(SceneLoad, CurveTracksCopyEveryFieldBitForBit) {
    RenderDevice device{};
    LoadCurveTracks(device, StoredCurveTracks());
    EXPECT_EQ(std::memcmp(device.curveTracks, StoredCurveTracks(), kStoredTracksBytes), 0);
    // The embedded set has tracks of both kinds, so the copy carried a kind of each.
    bool kinds[2] = {};
    for (const CurveTrack& track : device.curveTracks)
        if (track.keyCount >= 2 && track.kind < 2) kinds[track.kind] = true;
    EXPECT_TRUE(kinds[0]);
    EXPECT_TRUE(kinds[1]);
}

}  // namespace
}  // namespace quixo
