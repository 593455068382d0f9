#include "build_identity.h"

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/module_decoder.h"
#include "platform/music.h"

namespace quixo::tool {

namespace {

// FNV-1a, 64 bits: enough to tell two builds' data apart, which is all it is asked.
struct Fnv {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    void Add(const std::uint8_t* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    }
    void Add(std::string_view text) {
        Add(reinterpret_cast<const std::uint8_t*>(text.data()), text.size() + 1);
    }
    std::string Hex() const {
        char hex[17];
        std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
        return hex;
    }
};

}  // namespace

BuildIdentity ThisBuild() {
    Fnv fnv;
    for (int i = 0; i < kEmbeddedBlobCount; ++i) {
        fnv.Add(kEmbeddedBlobs[i].name);
        fnv.Add(std::to_string(kEmbeddedBlobs[i].blob.size));
        fnv.Add(kEmbeddedBlobs[i].blob.data, kEmbeddedBlobs[i].blob.size);
    }
    // The soundtrack is part of the film and of every spectrum the frames see; a machine
    // without it hashes to its own value and so never matches one that has it.
    std::vector<std::uint8_t> music;
    std::string error;
    fnv.Add(kMusicPath);
    if (ReadFileBytes(kMusicPath, &music, &error)) fnv.Add(music.data(), music.size());
    return {kQuixoBuildCommit, fnv.Hex()};
}

std::string TextChecksum(const std::string& text) {
    Fnv fnv;
    fnv.Add(text);
    return fnv.Hex();
}

}  // namespace quixo::tool
