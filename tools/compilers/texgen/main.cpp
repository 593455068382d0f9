// texgen OUTDIR: writes the show's 29 textures as OUTDIR/texture_NN.png.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "designs.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: texgen OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::vector<std::string> errors(texgen::kTextureCount);
    auto work = [&](int first, int step) {
        for (int i = first; i < texgen::kTextureCount; i += step) {
            const quixo::TextureShape& d = quixo::kTextureShapes[i];
            texgen::Canvas canvas(d.width, d.height);
            if (!texgen::DrawTexture(i, canvas, errors[i])) continue;
            const auto png = texgen::EncodePng(canvas, d.channels, errors[i]);
            if (!errors[i].empty()) continue;
            char name[32];
            std::snprintf(name, sizeof name, "/texture_%02d.png", i);
            std::ofstream out(dir + name, std::ios::binary);
            out.write(reinterpret_cast<const char*>(png.data()), static_cast<long>(png.size()));
            if (!out) errors[i] = "cannot write " + dir + name;
        }
    };
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) pool.emplace_back(work, static_cast<int>(t), threads);
    for (auto& t : pool) t.join();
    int failed = 0;
    for (int i = 0; i < texgen::kTextureCount; ++i) {
        if (!errors[i].empty()) {
            std::fprintf(stderr, "texgen: texture %d (%s): %s\n", i,
                         texgen::kTextureDesigns[i].name, errors[i].c_str());
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
