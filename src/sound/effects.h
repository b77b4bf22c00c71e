// The game's sounds: three short effects and the looping music, made from
// four wave files in the data folder and kept for the whole run.
//
// How the game uses it (through SoundPort; the program makes one SoundEffects
// and hands it to the game):
//   load handler, before anything else:
//       sound.open_sound();       // one warning box when no device opens
//       sound.load_all();         // その他, 禁止, 駒打音, BGM in that order
//   during play:
//       sound.play_piece();       // a piece is put on the board
//       sound.play_refusal();     // a command or click is refused
//       sound.play_other();       // the version box
//       sound.start_music(); sound.stop_music();   // the BGM option
//   Esc, closing the window, 終わり:
//       sound.close_sound();
// Every call is harmless when the device or a file was missing: the handle
// is then 0 and the library ignores it.
#pragma once

#include <cstdint>
#include <string>

#include "port/port.h"
#include "port/sound_port.h"

namespace zemtori {

// The wave files, by their bare names.
inline constexpr const char* SONOTA_WAV = "その他.wav";
inline constexpr const char* KINSHI_WAV = "禁止.wav";
inline constexpr const char* KOMA_WAV = "駒打音.wav";
inline constexpr const char* BGM_WAV = "BGM.wav";

// Title of the sound layer's warning boxes.
inline constexpr const char* SOUND_BOX_TITLE = "Zemtori.dll";
inline constexpr const char* NO_DEVICE_TEXT = "Direct Soundインターフェースが作成できません。";

// The calls of the sound library that play, loop and stop a buffer; a test
// may watch them through a table of its own.
struct PlayCalls {
    int32_t (*play)(int32_t buffer);
    int32_t (*play_looping)(int32_t buffer);
    int32_t (*stop)(int32_t buffer);
};
// The sound library's own calls.
const PlayCalls& library_play_calls();

class SoundEffects final : public SoundPort {
public:
    // `data_dir` is the folder holding the wave files (UTF-8).
    SoundEffects(Port& port, std::string data_dir, const PlayCalls& calls = library_play_calls());
    ~SoundEffects();
    SoundEffects(const SoundEffects&) = delete;
    SoundEffects& operator=(const SoundEffects&) = delete;

    // Opens the library; when it cannot, shows the warning box and the game
    // runs silent.
    void open_sound() override;

    // Makes a buffer from the wave file `file_name` in the data folder.  0
    // without a device, for a missing file (silently) and for a file that is
    // not a usable wave file or whose sound would be too large to keep
    // (silently too: the game plays on without that sound); a file that
    // cannot be read shows one warning box with the file's path on its first
    // line and the system's message on the second.
    int32_t load_sound(const std::string& file_name, int32_t flags);

    // The four buffers, in the load handler's order.
    void load_all() override;

    // Frees the four buffers (other, refusal, piece, music) and closes the
    // library.  A second call does nothing.
    void close_sound() override;

    void play_other() override;
    void play_refusal() override;
    void play_piece() override;
    void start_music() override;
    void stop_music() override;

    int32_t sound_handle() const { return sound_; }

    // Buffer handles; 0 where making the sound failed.
    int32_t other = 0;    // その他.wav
    int32_t refusal = 0;  // 禁止.wav
    int32_t piece = 0;    // 駒打音.wav
    int32_t music = 0;    // BGM.wav

private:
    void warn(const std::string& text);

    Port& port_;
    std::string data_dir_;
    const PlayCalls& calls_;
    int32_t sound_ = 0;
};

}  // namespace zemtori
