#include "eval_input.h"

#include <cstdint>
#include <cstring>
#include <filesystem>

#include "json_out.h"
#include "platform/files.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

// Past this a file is none of the inputs: it is refused before it is read.
constexpr std::uint64_t kMaxInputBytes = std::uint64_t{kGraphSlots} * kStoredSceneBytes;

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
    std::error_code ec;
    const std::uint64_t size = std::filesystem::file_size(PathFromUtf8(path), ec);
    if (!ec && size > kMaxInputBytes)
        FailInput(path + ": " + std::to_string(size) + " bytes is more than any input here");
    return ReadInputFile(path);
}

}  // namespace

std::vector<StoredNode> ReadStoredGraphs(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    const std::size_t k = bytes.size() / kStoredSceneBytes;
    if (bytes.size() % kStoredSceneBytes != 0 || k < 1 || k > kGraphSlots) {
        FailInput(path + ": " + std::to_string(bytes.size()) +
                  " bytes is not 1 to 32 stored scenes of 18432 bytes");
    }
    std::vector<StoredNode> nodes(k * kNodesPerGraph);
    std::memcpy(nodes.data(), bytes.data(), bytes.size());
    return nodes;
}

std::vector<CurveTrack> ReadStoredTracks(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.size() != kStoredTracksBytes) {
        FailInput(path + ": " + std::to_string(bytes.size()) +
                  " bytes is not 64 stored curve tracks (66048 bytes)");
    }
    std::vector<CurveTrack> tracks(kCurveTrackCount);
    std::memcpy(tracks.data(), bytes.data(), bytes.size());
    for (int t = 0; t < kCurveTrackCount; ++t) {
        // The kind indexes the table of two interpolations, the key count the 64 keys.
        if (tracks[t].kind > 1) {
            FailLimit(path + ": track " + std::to_string(t) + " has kind " +
                      std::to_string(tracks[t].kind) +
                      "; kinds are 0 (linear) and 1 (Catmull-Rom)");
        }
        if (tracks[t].keyCount > kCurveKeysPerTrack) {
            FailLimit(path + ": track " + std::to_string(t) + " has " +
                      std::to_string(tracks[t].keyCount) + " keys; a track holds at most 64");
        }
    }
    return tracks;
}

std::vector<float> ReadSpectrum(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadBytes(path);
    if (bytes.size() != 512 * sizeof(float)) {
        FailInput(path + ": " + std::to_string(bytes.size()) +
                  " bytes is not a spectrum of 512 floats (2048 bytes)");
    }
    std::vector<float> values(512);
    std::memcpy(values.data(), bytes.data(), bytes.size());
    return values;
}

void CheckEvalGraphs(const StoredGraphSet& set, int root) {
    std::uint64_t storage = 0;
    for (const StoredNode* slot : set.slots) {
        if (slot != nullptr) storage += GraphStorageBytes(slot);
    }
    if (storage > kGraphStorageLimit) {
        FailLimit("the graphs' elements would take " + std::to_string(storage >> 20) +
                  " MiB of the memory arena; at most " + std::to_string(kGraphStorageLimit >> 20) +
                  " MiB fit");
    }
    if (const auto error = CheckGraphLimits(set, root)) {
        FailLimit("graph slot " + std::to_string(error->slot) + ": " + error->message);
    }
}

}  // namespace quixo::tool
