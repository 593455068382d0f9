#include "startup/music_clock.h"

#include <memory>

namespace quixo {

namespace {
std::unique_ptr<MusicSystem> g_music;
bool g_playing = false;  // the channel exists
}  // namespace

bool StartMusic(const char* path, const MusicConfig& config, std::int32_t fromMs) {
    StopMusic();
    g_music = std::make_unique<MusicSystem>(config);
    g_music->Init();
    if (!g_music->CreateSound(path)) return false;
    g_music->Update();
    g_playing = g_music->PlaySound(fromMs);
    g_music->Update();
    if (g_playing) SetSpectrumSource(g_music.get());
    return g_playing;
}

bool IsMusicPlaying() {
    return g_playing && g_music->IsPlaying();
}

std::int32_t MusicPositionMs() {
    return g_playing ? g_music->PositionMs() : 0;
}

MusicSystem* ActiveMusicSystem() {
    return g_music.get();
}

void StopMusic() {
    SetSpectrumSource(nullptr);
    g_playing = false;
    g_music.reset();
}

}  // namespace quixo
