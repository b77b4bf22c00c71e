// What the game asks of the sound system: three short effects and the
// looping music.  The real player lives in the sound layer (on the sound
// library); the game, the tools and the tests know only this.
#pragma once

namespace zemtori {

class SoundPort {
public:
    virtual ~SoundPort() = default;

    // At start-up, before anything else: open the device (one warning box
    // when none opens) and load the four sounds.
    virtual void open_sound() = 0;
    virtual void load_all() = 0;

    virtual void play_piece() = 0;    // a piece is put on the board
    virtual void play_refusal() = 0;  // a command or a click is refused
    virtual void play_other() = 0;    // the version box
    virtual void start_music() = 0;   // loops until stopped
    virtual void stop_music() = 0;

    // Esc, closing the window, 終わり: every buffer and the device go.
    virtual void close_sound() = 0;
};

// No device at all: every call does nothing (the analysis tool, benchmarks).
class SilentSound final : public SoundPort {
public:
    void open_sound() override {}
    void load_all() override {}
    void play_piece() override {}
    void play_refusal() override {}
    void play_other() override {}
    void start_music() override {}
    void stop_music() override {}
    void close_sound() override {}
};

}  // namespace zemtori
