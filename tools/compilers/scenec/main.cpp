// scenec: compiles the scene graph sources (*.scene) and curve track sources (*.track) into the
// stored binary records the program embeds.
//
//   scenec SCENES_OUT TRACKS_OUT FILE...
//
// Every fault is printed as file:line: message; then nothing is written and the exit status
// is 1.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "authoring/scene_compile.h"

namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool ReadFile(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes through a temporary name so that a failed run never leaves a half-written output.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) return false;
    }
    return std::rename(temp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: scenec SCENES_OUT TRACKS_OUT FILE.scene... FILE.track...\n");
        return 1;
    }
    std::vector<quixo::SourceFile> scenes, tracks;
    for (int i = 3; i < argc; ++i) {
        quixo::SourceFile file{argv[i], {}};
        if (!ReadFile(file.name, file.text)) {
            std::fprintf(stderr, "%s: cannot read\n", argv[i]);
            return 1;
        }
        if (EndsWith(file.name, ".track")) {
            tracks.push_back(std::move(file));
        } else if (EndsWith(file.name, ".scene")) {
            scenes.push_back(std::move(file));
        } else {
            std::fprintf(stderr, "%s: neither a .scene nor a .track source\n", argv[i]);
            return 1;
        }
    }
    quixo::CompiledScenes out;
    std::vector<quixo::SourceError> errors;
    if (!quixo::CompileSceneSources(scenes, tracks, out, errors)) {
        for (const auto& e : errors) std::fprintf(stderr, "%s\n", FormatSourceError(e).c_str());
        return 1;
    }
    if (!WriteFile(argv[1], out.scenes) || !WriteFile(argv[2], out.tracks)) {
        std::fprintf(stderr, "scenec: cannot write %s or %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
