// A sound port that plays nothing and remembers what the player would have
// heard, by the wave file's name, in order.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "port/sound_port.h"

namespace zemtori::test {

// The wave files' names, as the player's ear tells the sounds apart (the
// same names the sound layer loads).
inline constexpr const char* SONOTA_WAV = "その他.wav";
inline constexpr const char* KINSHI_WAV = "禁止.wav";
inline constexpr const char* KOMA_WAV = "駒打音.wav";
inline constexpr const char* BGM_WAV = "BGM.wav";

class RecordingSound final : public SoundPort {
public:
    void open_sound() override { opened = true; }
    void load_all() override { loaded = true; }
    void play_piece() override { heard.push_back(KOMA_WAV); }
    void play_refusal() override { heard.push_back(KINSHI_WAV); }
    void play_other() override { heard.push_back(SONOTA_WAV); }
    void start_music() override {
        heard.push_back(BGM_WAV);
        music_playing = true;
    }
    void stop_music() override { music_playing = false; }
    void close_sound() override {
        closed = true;
        music_playing = false;
    }

    int count(const std::string& name) const {
        return static_cast<int>(std::count(heard.begin(), heard.end(), name));
    }

    std::vector<std::string> heard;
    bool music_playing = false;
    bool opened = false, loaded = false, closed = false;
};

}  // namespace zemtori::test
