// Every reader of outside bytes, fed a fixed-seed stream of generated and mutated inputs. The
// tool's readers (stored graphs and tracks, scene and track sources, mesh programs) run as
// quixo-tool, which must end with status 0, 2 or 3 within its time and print no sanitizer
// report; the PNG decoder and the module decoder run in this process, where a sanitizer report
// ends the test. The inputs are written to a temporary folder, removed when every run passed
// and kept (and named in the failure) otherwise.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "core/curve_track.h"
#include "graph/scene_data.h"
#include "mesh/embedded_programs.h"
#include "mesh/mesh_program.h"
#include "platform/module_decoder.h"
#include "png_test_util.h"
#include "render/gfx/texture_loader.h"
#include "unit/music_test_modules.h"

namespace quixo {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Rng = std::mt19937;

// Inputs per reader: a few thousand in all, a minute or two under the sanitizers.
constexpr int kToolRuns = 300;
constexpr int kLibraryRuns = 1500;

std::uint32_t Pick(Rng& rng, std::uint32_t n) {
    return static_cast<std::uint32_t>(rng() % n);
}

// Values that sit on the edges of what the formats hold: sizes, signs, not-a-numbers.
std::uint32_t EdgeWord(Rng& rng) {
    static const std::uint32_t words[] = {
        0,          1,          2,          3,          63,         64,         65,
        255,        256,        4096,       8200,       8201,       65535,      0x7fffffff,
        0x80000000, 0xffffffff, 0xfffffffe, 0x7fc00000, 0x7f800000, 0xff800000, 0x7f7fffff,
        0x3f800000, 0xbf800000, 0x4b000000, 0x4f800000, 0xcf000000, 0x00000001, 0x80000001};
    return words[Pick(rng, std::size(words))];
}

// One to four edits: bits flipped, bytes or aligned words set to edge values, a stretch
// copied elsewhere, the end cut off or grown.
void Mutate(Bytes& b, Rng& rng) {
    const int edits = 1 + static_cast<int>(Pick(rng, 4));
    for (int e = 0; e < edits; ++e) {
        if (b.empty()) b.push_back(0);
        const std::size_t at = Pick(rng, static_cast<std::uint32_t>(b.size()));
        switch (Pick(rng, 8)) {
            case 0:
            case 1:
                b[at] ^= static_cast<std::uint8_t>(1u << Pick(rng, 8));
                break;
            case 2:
                b[at] = static_cast<std::uint8_t>(rng());
                break;
            case 3:
            case 4: {
                const std::size_t word = at & ~std::size_t{3};
                const std::uint32_t v = EdgeWord(rng);
                std::memcpy(&b[word], &v, std::min<std::size_t>(4, b.size() - word));
                break;
            }
            case 5: {
                const std::size_t from = Pick(rng, static_cast<std::uint32_t>(b.size()));
                const std::size_t n =
                    std::min<std::size_t>({Pick(rng, 64) + 1, b.size() - from, b.size() - at});
                std::memmove(&b[at], &b[from], n);
                break;
            }
            case 6:
                if (Pick(rng, 4) == 0) b.resize(at);
                break;
            default:
                if (Pick(rng, 4) == 0) b.insert(b.begin() + at, Pick(rng, 16) + 1, 0);
                break;
        }
    }
}

fs::path MakeTempDir(const std::string& reader) {
    auto dir =
        fs::temp_directory_path() / ("quixo_fuzz_" + reader + "_" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void WriteFile(const fs::path& path, const void* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// quixo-tool with args, stdout dropped and stderr kept; "" when it ended as it may (0, 2 or 3
// within the time, no sanitizer report, the status in *code), otherwise what went wrong.
std::string RunTool(const std::vector<std::string>& args, const fs::path& dir, int* code) {
    const std::string tool = std::string(QUIXO_BINARY_DIR) + "/tools/quixo-tool/quixo-tool";
    const fs::path err = dir / "stderr.txt";
    std::vector<char*> argv{const_cast<char*>(tool.c_str())};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, tool.c_str(), &files, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    if (spawned != 0) return "cannot start " + tool + ": " + std::strerror(spawned);
    // A run that takes this long has run away: no reader may hang on any input.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            return "still running after 60 s";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const std::string text = ReadFile(err);
    if (text.find("Sanitizer") != std::string::npos ||
        text.find("runtime error") != std::string::npos)
        return "sanitizer report: " + text.substr(0, 2000);
    if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
    *code = WEXITSTATUS(status);
    if (*code != 0 && *code != 2 && *code != 3)
        return "exit status " + std::to_string(*code) + ": " + text.substr(0, 500);
    return "";
}

// A generator that only ever makes refused inputs tests the refusals alone: each reader states
// the share of its inputs that must get through (set well below what its fixed seeds give).
void ExpectAcceptedShare(const std::string& reader, int accepted, int runs, double minimum) {
    EXPECT_GE(accepted, minimum * runs)
        << reader << ": " << accepted << " of " << runs << " inputs accepted, fewer than "
        << minimum * 100 << "%: the generator makes little but refused inputs";
}

// Runs the tool on `runs` inputs that make(i, dir) writes into dir and returns args for;
// fails with the input's path on the first bad end. Prints how many ended with each status and
// expects at least `minimumAccepted` of them to end with 0.
template <typename Make>
void FuzzTool(const std::string& reader, int runs, double minimumAccepted, Make make) {
    const fs::path dir = MakeTempDir(reader);
    int ends[4] = {};
    for (int i = 0; i < runs; ++i) {
        const std::vector<std::string> args = make(i, dir);
        int code = 0;
        const std::string fault = RunTool(args, dir, &code);
        ++ends[code & 3];
        if (!fault.empty()) {
            std::string line;
            for (const std::string& a : args) line += " " + a;
            FAIL() << "input " << i << " (quixo-tool" << line << ", kept in " << dir
                   << "): " << fault;
        }
    }
    std::printf("%s: %d inputs, %d accepted, %d malformed (2), %d past a limit (3)\n",
                reader.c_str(), runs, ends[0], ends[2], ends[3]);
    ExpectAcceptedShare(reader, ends[0], runs, minimumAccepted);
    fs::remove_all(dir);
}

const Bytes& SceneBytes() {
    static const Bytes bytes = [] {
        const auto* p = reinterpret_cast<const std::uint8_t*>(StoredScenes());
        return Bytes(p, p + kSceneCount * kStoredSceneBytes);
    }();
    return bytes;
}

// Element counts the arena limit lets through print every element; counts in that band are
// brought down to the sources' largest so that a run stays short. Counts past the limit stay.
void KeepCountsPrintable(Bytes& bytes) {
    for (std::size_t at = 0; at + sizeof(StoredNode) <= bytes.size(); at += sizeof(StoredNode)) {
        std::uint32_t count;
        std::memcpy(&count, &bytes[at + offsetof(StoredNode, count)], 4);
        if (count > 4096 && count < 0x01000000) count = 4096;
        std::memcpy(&bytes[at + offsetof(StoredNode, count)], &count, 4);
    }
}

TEST(Fuzz, StoredGraphs) {
    Rng rng(16001);
    FuzzTool("graphs", kToolRuns, 0.3, [&](int i, const fs::path& dir) {
        const std::uint32_t scenes = 1 + Pick(rng, kSceneCount);
        Bytes bytes(SceneBytes().begin(), SceneBytes().begin() + scenes * kStoredSceneBytes);
        if (i % 4 == 0) {
            // Generated: every field of some nodes drawn at random, inputs mostly in range.
            for (int n = 0; n < 40; ++n) {
                StoredNode node{};
                node.type = Pick(rng, 64);
                for (auto& in : node.inputs) in = static_cast<std::int32_t>(Pick(rng, 300)) - 20;
                for (auto& p : node.params) p = static_cast<float>(Pick(rng, 2000)) / 8 - 100;
                node.count = Pick(rng, 3) == 0 ? EdgeWord(rng) : Pick(rng, 64);
                const std::size_t at = Pick(rng, scenes * kNodesPerGraph) * sizeof(StoredNode);
                std::memcpy(&bytes[at], &node, sizeof node);
            }
        } else {
            Mutate(bytes, rng);
        }
        KeepCountsPrintable(bytes);
        const fs::path path = dir / "graphs.bin";
        WriteFile(path, bytes.data(), bytes.size());
        const std::uint32_t slot = Pick(rng, std::max<std::uint32_t>(scenes, 1));
        return std::vector<std::string>{"eval",
                                        "--graphs",
                                        path.string(),
                                        "--slot",
                                        std::to_string(slot),
                                        "--scene-frame",
                                        std::to_string(Pick(rng, 2000))};
    });
}

TEST(Fuzz, StoredTracks) {
    Rng rng(16002);
    FuzzTool("tracks", kToolRuns, 0.5, [&](int i, const fs::path& dir) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(StoredCurveTracks());
        Bytes tracks(p, p + kStoredTracksBytes);
        if (i % 4 == 0) {
            // Generated: one track's keys at random frames, in order or not.
            CurveTrack t{};
            t.kind = Pick(rng, 2);
            t.keyCount = Pick(rng, 65);
            std::uint32_t frame = 0;
            for (std::uint32_t k = 0; k < t.keyCount; ++k) {
                frame = Pick(rng, 3) == 0 ? EdgeWord(rng) : frame + Pick(rng, 500);
                t.keys[k] = {frame, static_cast<float>(Pick(rng, 2000)), -1.0f, 1e30f};
            }
            std::memcpy(&tracks[Pick(rng, kCurveTrackCount) * sizeof t], &t, sizeof t);
        } else {
            Mutate(tracks, rng);
        }
        const fs::path graphs = dir / "graphs.bin";
        if (i == 0) WriteFile(graphs, SceneBytes().data(), SceneBytes().size());
        const fs::path path = dir / "tracks.bin";
        WriteFile(path, tracks.data(), tracks.size());
        return std::vector<std::string>{"eval",
                                        "--graphs",
                                        graphs.string(),
                                        "--tracks",
                                        path.string(),
                                        "--slot",
                                        std::to_string(Pick(rng, 10)),
                                        "--scene-frame",
                                        std::to_string(Pick(rng, 2000))};
    });
}

// Source text edits: a number swapped for an edge value, a line dropped or doubled, two words
// swapped, stray bytes, the end cut off.
void MutateText(std::string& text, Rng& rng) {
    static const char* const numbers[] = {
        "-1",         "0",  "8200", "8201", "4294967296", "1e39", "nan",
        "2147483648", "-0", "4097", "64",   "256",        "0x10", "99999999999999999999"};
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::size_t stop = end == std::string::npos ? text.size() : end;
        lines.push_back(text.substr(start, stop - start));
        start = stop + 1;
    }
    if (lines.empty()) lines.emplace_back();
    const int edits = 1 + static_cast<int>(Pick(rng, 3));
    for (int e = 0; e < edits; ++e) {
        std::string& line = lines[Pick(rng, static_cast<std::uint32_t>(lines.size()))];
        switch (Pick(rng, 6)) {
            case 0:
            case 1: {
                // The last digit run in the line becomes an edge value.
                const std::size_t d = line.find_last_of("0123456789");
                if (d == std::string::npos) break;
                std::size_t b = d;
                while (b > 0 && std::isdigit(static_cast<unsigned char>(line[b - 1]))) --b;
                line.replace(b, d + 1 - b, numbers[Pick(rng, std::size(numbers))]);
                break;
            }
            case 2:
                line = lines[Pick(rng, static_cast<std::uint32_t>(lines.size()))];
                break;
            case 3:
                line.clear();
                break;
            case 4:
                line.insert(Pick(rng, static_cast<std::uint32_t>(line.size() + 1)), 1,
                            static_cast<char>(rng()));
                break;
            default: {
                const std::size_t space = line.find(' ');
                if (space != std::string::npos) line = line.substr(space + 1) + " " + line;
                break;
            }
        }
    }
    text.clear();
    for (const std::string& line : lines) text += line + "\n";
    if (Pick(rng, 20) == 0) text.resize(Pick(rng, static_cast<std::uint32_t>(text.size())));
}

TEST(Fuzz, SceneAndTrackSources) {
    struct File {
        fs::path relative;
        std::string text;
    };
    std::vector<File> seeds;
    for (const char* sub : {"scenes", "tracks"}) {
        for (const auto& entry :
             fs::directory_iterator(fs::path(QUIXO_SOURCE_DIR) / "data" / sub)) {
            seeds.push_back({fs::path(sub) / entry.path().filename(), ReadFile(entry.path())});
        }
    }
    ASSERT_FALSE(seeds.empty());
    Rng rng(16003);
    FuzzTool("sources", kToolRuns, 0.03, [&](int, const fs::path& dir) {
        const fs::path root = dir / "data";
        fs::remove_all(root);
        fs::create_directories(root / "scenes");
        fs::create_directories(root / "tracks");
        const std::size_t changed = Pick(rng, static_cast<std::uint32_t>(seeds.size()));
        for (std::size_t f = 0; f < seeds.size(); ++f) {
            std::string text = seeds[f].text;
            if (f == changed || Pick(rng, 8) == 0) MutateText(text, rng);
            WriteFile(root / seeds[f].relative, text.data(), text.size());
        }
        return std::vector<std::string>{"eval", "--sources", root.string(), "--slot",
                                        std::to_string(Pick(rng, 10))};
    });
}

TEST(Fuzz, MeshPrograms) {
    const std::uint8_t* records = EmbeddedMeshProgramBytes();
    Rng rng(16004);
    FuzzTool("programs", kToolRuns, 0.5, [&](int, const fs::path& dir) {
        const std::uint32_t first = Pick(rng, kMeshProgramCount);
        const std::uint32_t count =
            1 + Pick(rng, std::min<std::uint32_t>(3, kMeshProgramCount - first));
        const std::uint8_t* seed = records + first * kMeshProgramBytes;
        Bytes bytes(seed, seed + count * kMeshProgramBytes);
        Mutate(bytes, rng);
        // A subdivision quadruples the mesh, and one at capacity costs minutes: mutations get no
        // new ones (the seeds' own stay), so that a run stays short.
        for (std::uint32_t r = 0; r < count && (r + 1) * kMeshProgramBytes <= bytes.size(); ++r) {
            std::uint8_t* op = &bytes[r * kMeshProgramBytes + 1];
            const std::uint8_t* was = seed + r * kMeshProgramBytes + 1;
            for (int k = 0; k < kMeshProgramSlots; ++k) {
                if ((op[k] == 27 || op[k] == 28) && op[k] != was[k]) op[k] = 30;
            }
        }
        const fs::path path = dir / "programs.bin";
        WriteFile(path, bytes.data(), bytes.size());
        return std::vector<std::string>{"mesh", "--programs", path.string(), "--summary"};
    });
}

TEST(Fuzz, PngTextures) {
    std::vector<Bytes> seeds;
    for (int channels : {3, 4}) {
        Bytes pixels(24 * 16 * channels);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = static_cast<std::uint8_t>(i * 7);
        seeds.push_back(test::EncodePng(24, 16, channels, pixels));
        ASSERT_FALSE(seeds.back().empty());
    }
    Rng rng(16005);
    int decoded = 0;
    for (int i = 0; i < kLibraryRuns; ++i) {
        Bytes png = seeds[Pick(rng, 2)];
        Mutate(png, rng);
        gfx::DecodedImage image;
        std::string error;
        if (gfx::DecodePng(png.data(), png.size(), image, error)) {
            ++decoded;
            ASSERT_EQ(image.rgba.size(), std::size_t{image.width} * image.height * 4) << i;
        } else {
            ASSERT_FALSE(error.empty()) << i;
        }
    }
    // Most single edits break a checksum; some land where the decoder does not look.
    std::printf("png: %d inputs, %d decoded\n", kLibraryRuns, decoded);
    ExpectAcceptedShare("png", decoded, kLibraryRuns, 0.05);
}

TEST(Fuzz, MusicModule) {
    const Bytes seed = testing::MakeTestModule(8, 125, 3, {false, true});
    Rng rng(16006);
    std::vector<float> buffer(2 * 512);
    int opened = 0;
    for (int i = 0; i < kLibraryRuns / 3; ++i) {
        Bytes module = seed;
        Mutate(module, rng);
        std::string error;
        auto decoder = ModuleDecoder::Open(module, &error);
        if (!decoder) {
            ASSERT_FALSE(error.empty()) << i;
            continue;
        }
        ++opened;
        // A few blocks, a seek and the position: what the playback and the analysis ask of it.
        for (int b = 0; b < 4; ++b) decoder->Render(buffer.data(), 512, 44100);
        decoder->SeekFrame(Pick(rng, 200000), 44100);
        decoder->Render(buffer.data(), 512, 44100);
        EXPECT_GE(decoder->CurrentOrder(), 0);
        EXPECT_GE(decoder->DurationSeconds(), 0.0);
    }
    std::printf("module: %d inputs, %d opened\n", kLibraryRuns / 3, opened);
    ExpectAcceptedShare("module", opened, kLibraryRuns / 3, 0.5);
}

}  // namespace
}  // namespace quixo
