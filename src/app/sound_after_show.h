// The sound comes in once the window shows.  The sound library and the
// forty-odd libraries it brings take longer to load than the window takes to
// open; loaded while the window is built they hold it back (the dynamic
// loader loads for one thread at a time).  So the game's start-up asks the
// sound for what it always asks (open the device, load the four sounds,
// start the music), this stands for the sound meanwhile and does it all, in
// the order asked, once the window shows and the libraries are there (at a
// moment the game waits for the player with no box open): the warning box
// of a machine without a sound device then shows over the window.  An effect asked before that is not heard; the music asked for
// starts, unless it was stopped again; the program ending before that opens
// nothing.
#pragma once

#include "port/sound_port.h"

namespace zemtori {

class SoundAfterShow final : public SoundPort {
public:
    explicit SoundAfterShow(SoundPort& sound) : sound_(sound) {}

    // The window shows and the libraries are there: what was asked so far
    // is done now; from here on every call goes straight through.
    void arrive();
    bool arrived() const { return arrived_; }

    void open_sound() override;
    void load_all() override;
    void play_piece() override;
    void play_refusal() override;
    void play_other() override;
    void start_music() override;
    void stop_music() override;
    void close_sound() override;

private:
    // Calls go straight through: it arrived, and the sound was not closed.
    bool live() const { return arrived_ && !closed_; }

    SoundPort& sound_;
    bool arrived_ = false;
    bool open_ = false, loaded_ = false, music_ = false, closed_ = false;
};

}  // namespace zemtori
