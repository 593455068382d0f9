// xmgen: writes the soundtrack module.
//   xmgen OUT.xm         write it
//   xmgen --check FILE   exit 1 unless FILE is exactly what this generator writes
//   xmgen --report       where each section starts, measured by rendering it with libopenmpt
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "platform/module_decoder.h"
#include "platform/music_analysis.h"
#include "song.h"

using namespace quixo;
using namespace quixo::xmgen;

namespace {

int Report(const std::vector<std::uint8_t>& bytes) {
    ModuleTimeline t;
    std::string error;
    if (!MeasureModule(bytes, kSongRate, &t, &error)) {
        std::fprintf(stderr, "xmgen: %s\n", error.c_str());
        return 1;
    }
    std::printf("length %.3f s at %d Hz, %zu bytes\n",
                static_cast<double>(t.totalFrames) / t.sampleRate, t.sampleRate, bytes.size());
    int worst = 0;
    for (std::size_t i = 0; i < t.sectionStartFrames.size() && i < 10; ++i) {
        const double ms = t.sectionStartFrames[i] * 1000.0 / t.sampleRate;
        const double frame = ms * 100.0 / 1666.0;
        const int target = kSectionPlans[i].startFrame;
        std::printf("%-10s frame %5d: row starts at %9.3f ms = frame %9.3f (off by %+.3f)\n",
                    kSectionPlans[i].name, target, ms, frame, frame - target);
        if (std::abs(frame - target) >= 1.0) worst = 1;
    }
    if (t.sectionStartFrames.size() != 10) {
        std::fprintf(stderr, "xmgen: found %zu section starts, expected 10\n",
                     t.sectionStartFrames.size());
        return 1;
    }
    return worst;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::uint8_t> bytes = WriteXm(ComposeSoundtrack());
    if (argc == 2 && std::strcmp(argv[1], "--report") == 0) return Report(bytes);
    if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
        std::vector<std::uint8_t> committed;
        std::string error;
        if (!ReadFileBytes(argv[2], &committed, &error)) {
            std::fprintf(stderr, "xmgen: %s: %s\n", argv[2], error.c_str());
            return 1;
        }
        if (committed != bytes) {
            std::fprintf(stderr,
                         "xmgen: %s differs from the generator's output (%zu vs %zu bytes); "
                         "rebuild it with xmgen %s\n",
                         argv[2], committed.size(), bytes.size(), argv[2]);
            return 1;
        }
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: xmgen OUT.xm | --check FILE | --report\n");
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "xmgen: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
