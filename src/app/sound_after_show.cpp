#include "app/sound_after_show.h"

namespace zemtori {

void SoundAfterShow::arrive() {
    if (arrived_) return;
    arrived_ = true;
    if (closed_) return;
    if (open_) sound_.open_sound();
    if (loaded_) sound_.load_all();
    if (music_) sound_.start_music();
}

void SoundAfterShow::open_sound() {
    if (live()) sound_.open_sound();
    else open_ = true;
}

void SoundAfterShow::load_all() {
    if (live()) sound_.load_all();
    else loaded_ = true;
}

void SoundAfterShow::play_piece() {
    if (live()) sound_.play_piece();
}

void SoundAfterShow::play_refusal() {
    if (live()) sound_.play_refusal();
}

void SoundAfterShow::play_other() {
    if (live()) sound_.play_other();
}

void SoundAfterShow::start_music() {
    if (live()) sound_.start_music();
    else music_ = true;
}

void SoundAfterShow::stop_music() {
    if (live()) sound_.stop_music();
    else music_ = false;
}

void SoundAfterShow::close_sound() {
    if (live()) sound_.close_sound();
    closed_ = true;
}

}  // namespace zemtori
