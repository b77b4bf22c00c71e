#include "sound/effects.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "zemtori_ds.h"

namespace zemtori {

namespace {

namespace fs = std::filesystem;

fs::path utf8_path(const std::string& s) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(s.data()), s.size()));
}

std::FILE* open_for_reading(const fs::path& path) {
#ifdef _WIN32
    return _wfopen(path.c_str(), L"rb");
#else
    return std::fopen(path.c_str(), "rb");
#endif
}

}  // namespace

const PlayCalls& library_play_calls() {
    static const PlayCalls calls{&dsPlay, &dsPlayLooping, &dsStop};
    return calls;
}

SoundEffects::SoundEffects(Port& port, std::string data_dir, const PlayCalls& calls)
    : port_(port), data_dir_(std::move(data_dir)), calls_(calls) {}

SoundEffects::~SoundEffects() { close_sound(); }

void SoundEffects::warn(const std::string& text) {
    port_.message_box(text, SOUND_BOX_TITLE, MsgIcon::Exclamation, MsgButtons::Ok);
}

void SoundEffects::open_sound() {
    sound_ = dsInitialize(0);
    if (sound_ == 0) warn(NO_DEVICE_TEXT);
}

int32_t SoundEffects::load_sound(const std::string& file_name, int32_t flags) {
    if (sound_ == 0) return 0;
    const fs::path path = utf8_path(data_dir_) / utf8_path(file_name);
    std::error_code ec;
    if (!fs::exists(path, ec)) return 0;

    // A box about a file names the file, then says what the system said.
    const std::u8string shown = path.u8string();
    const std::string named = std::string(shown.begin(), shown.end()) + "\r";
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        warn(named + ec.message());
        return 0;
    }
    // Far too big for a wave file the library takes: not worth reading.
    if (size > DS_MAX_WAVE_BYTES) return 0;

    std::vector<unsigned char> block(static_cast<size_t>(size));
    std::FILE* f = open_for_reading(path);
    if (!f) {
        warn(named + std::strerror(errno));
        return 0;
    }
    errno = 0;
    const size_t got = block.empty() ? 0 : std::fread(block.data(), 1, block.size(), f);
    const bool failed = got != block.size();
    const int err = errno;
    std::fclose(f);
    if (failed) {
        warn(named + (err != 0 ? std::strerror(err)
                               : std::generic_category().message(static_cast<int>(std::errc::io_error))));
        return 0;
    }

    // The library is given only the address: it may read as far as the RIFF
    // header says, so a file shorter than that never reaches it.
    const uint32_t length = dsWaveFileLength(block.data(), block.size());
    if (length == 0 || length > block.size()) return 0;
    return dsCreateDSB(sound_, block.data(), flags);
}

void SoundEffects::load_all() {
    other = load_sound(SONOTA_WAV, DS_FLAG_EFFECT);
    refusal = load_sound(KINSHI_WAV, DS_FLAG_EFFECT);
    piece = load_sound(KOMA_WAV, DS_FLAG_EFFECT);
    music = load_sound(BGM_WAV, DS_FLAG_MUSIC);
}

void SoundEffects::close_sound() {
    dsFree(other);
    dsFree(refusal);
    dsFree(piece);
    dsFree(music);
    other = refusal = piece = music = 0;
    if (sound_ != 0) dsTerminate(sound_);
    sound_ = 0;
}

void SoundEffects::play_other() { calls_.play(other); }
void SoundEffects::play_refusal() { calls_.play(refusal); }
void SoundEffects::play_piece() { calls_.play(piece); }
void SoundEffects::start_music() { calls_.play_looping(music); }
void SoundEffects::stop_music() { calls_.stop(music); }

}  // namespace zemtori
