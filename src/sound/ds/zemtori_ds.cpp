// The sound library on SDL2_mixer.  SDL_mixer has one output device per
// process, so the library keeps one device and a table of buffers; handles
// are drawn from one counter and never reused while the process runs, so a
// stale handle finds nothing.  SDL2 and SDL2_mixer are reached through the
// calls mixer_library loads; without them no device opens, and so no buffer
// is ever made and no other call reaches them.
#include "zemtori_ds.h"

#include "mixer_calls.h"

#include <cmath>
#include <cstring>
#include <unordered_map>

namespace {

// The format of every wave the game ships: 22.05 kHz, mono, 16-bit.  Other
// waves still play; only they are converted when loaded.
constexpr int DEVICE_RATE = 22050;
constexpr int DEVICE_CHANNELS = 1;

struct Buffer {
    Mix_Chunk* chunk = nullptr;
    int channel = -1;
    int32_t flags = 0;
};

struct Library {
    const zemtori::mixer_library::Calls* mix = nullptr;  // set when the device opens
    int32_t device = 0;  // the open device's handle, 0 when closed
    int channels = 0;    // mixer channels allocated
    std::unordered_map<int32_t, Buffer> buffers;
    int32_t next_handle = 0x2d000001;
};

Library& lib() {
    static Library instance;
    return instance;
}

// SDL's calls; only reached with the device open or a buffer made.
const zemtori::mixer_library::Calls& mix() { return *lib().mix; }

int32_t new_handle() {
    Library& l = lib();
    int32_t h = l.next_handle;
    // Skip 0 and anything still in use (only after the counter has wrapped).
    while (h == 0 || h == l.device || l.buffers.count(h)) h = h == INT32_MAX ? 1 : h + 1;
    l.next_handle = h == INT32_MAX ? 1 : h + 1;
    return h;
}

Buffer* find_buffer(int32_t handle) {
    if (handle == 0) return nullptr;
    auto& buffers = lib().buffers;
    const auto it = buffers.find(handle);
    return it == buffers.end() ? nullptr : &it->second;
}

uint32_t le32(const unsigned char* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

// What the chunks of a wave file say about its sound.
struct WaveSound {
    bool ok = false;
    uint32_t frames = 0;  // sample frames in the data chunk
    uint32_t rate = 0;    // frames per second
};

// Checks the chunks of a wave file of `total` bytes: a sane "fmt " chunk and
// a non-empty "data" chunk, every chunk inside the declared length.
WaveSound wave_chunks(const unsigned char* w, uint32_t total) {
    bool have_fmt = false, have_data = false;
    uint32_t block_align = 0, rate = 0;
    uint32_t data_size = 0;
    uint32_t off = 12;
    while (total - off >= 8) {
        const unsigned char* id = w + off;
        const uint32_t size = le32(w + off + 4);
        const uint32_t body = off + 8;
        if (size > total - body) return {};
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (size < 16 || have_fmt) return {};
            const unsigned char* f = w + body;
            const uint16_t format = le16(f);
            const uint16_t channels = le16(f + 2);
            rate = le32(f + 4);
            const uint16_t align = le16(f + 12);
            const uint16_t bits = le16(f + 14);
            if (format != 1 && format != 3 && format != 0xFFFE) return {};
            if (channels < 1 || channels > 8) return {};
            if (rate < 1000 || rate > 384000) return {};
            if (bits != 8 && bits != 16 && bits != 24 && bits != 32) return {};
            if (align != channels * (bits / 8)) return {};
            block_align = align;
            have_fmt = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (have_data) return {};
            data_size = size;
            have_data = true;
        }
        // Chunks are padded to an even length; a missing pad at the very end is tolerated.
        const uint32_t next = body + size + (size & 1u);
        if (next >= total) break;
        off = next;
    }
    if (!have_fmt || !have_data || data_size < block_align) return {};
    return {true, data_size / block_align, rate};
}

// Bytes the sound takes once converted to the device's format, which is how
// the mixer keeps it: a small file at a low rate can grow a thousandfold.
uint64_t decoded_bytes(const WaveSound& wave) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (mix().QuerySpec(&rate, &format, &channels) == 0 || rate <= 0 || channels <= 0) return UINT64_MAX;
    const uint64_t frames = (uint64_t(wave.frames) * uint64_t(rate) + wave.rate - 1) / wave.rate;
    return frames * uint64_t(channels) * (SDL_AUDIO_BITSIZE(format) / 8);
}

int first_free_channel() {
    const Library& l = lib();
    for (int ch = 0;; ++ch) {
        bool used = false;
        for (const auto& entry : l.buffers)
            if (entry.second.channel == ch) used = true;
        if (!used) return ch;
    }
}

// Hundredths of a decibel to SDL_mixer's 0..max scale.
int gain_to_scale(int32_t hundredths_db, int max) {
    if (hundredths_db >= 0) return max;
    if (hundredths_db <= -10000) return 0;
    return static_cast<int>(std::lround(max * std::pow(10.0, hundredths_db / 2000.0)));
}

void apply_pan(int channel, int32_t pan) {
    int left = 255, right = 255;
    if (pan > 0) left = gain_to_scale(-pan, 255);
    if (pan < 0) right = gain_to_scale(pan, 255);
    mix().SetPanning(channel, static_cast<Uint8>(left), static_cast<Uint8>(right));
}

int32_t play(int32_t buffer, int loops) {
    Buffer* b = find_buffer(buffer);
    if (!b) return 0;
    // A request for the buffer's own channel halts whatever it plays first.
    return mix().PlayChannel(b->channel, b->chunk, loops) < 0 ? 0 : 1;
}

}  // namespace

extern "C" {

int32_t dsInitialize(int32_t /*window*/) {
    Library& l = lib();
    if (l.device != 0) return 0;
    // Waits here for the libraries if they are still being loaded.
    l.mix = zemtori::mixer_library::calls();
    if (!l.mix) return 0;
    // The program is not an SDL event loop: leave Ctrl+C and SIGTERM to end
    // it as they end any program, instead of turning them into SDL events
    // that nobody reads.
    mix().SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (mix().InitSubSystem(SDL_INIT_AUDIO) < 0) return 0;
    // The device takes the format the game's waves are made in, so loading
    // them copies the samples as they are: converting 22.05 kHz to 44.1 kHz
    // cost more than everything else at start-up, and quadrupled the music.
    // 512 frames at this rate is the same delay as 1024 at 44.1 kHz.
    if (mix().OpenAudio(DEVICE_RATE, AUDIO_S16SYS, DEVICE_CHANNELS, 512) < 0) {
        mix().QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    l.channels = mix().AllocateChannels(-1);
    l.device = new_handle();
    return l.device;
}

int32_t dsCreateDSB(int32_t sound, const void* wave, int32_t flags) {
    Library& l = lib();
    if (sound == 0 || sound != l.device || !wave) return 0;
    const uint32_t total = dsWaveFileLength(wave, 12);
    if (total == 0) return 0;
    const auto* w = static_cast<const unsigned char*>(wave);
    const WaveSound sound_in_file = wave_chunks(w, total);
    if (!sound_in_file.ok || decoded_bytes(sound_in_file) > DS_MAX_DECODED_BYTES) return 0;
    SDL_RWops* rw = mix().RWFromConstMem(wave, static_cast<int>(total));
    if (!rw) return 0;
    Mix_Chunk* chunk = mix().LoadWAV_RW(rw, 1);
    if (!chunk) return 0;
    const int channel = first_free_channel();
    if (channel >= l.channels) l.channels = mix().AllocateChannels(channel + 8);
    mix().HaltChannel(channel);
    mix().Volume(channel, MIX_MAX_VOLUME);
    mix().SetPanning(channel, 255, 255);
    const int32_t handle = new_handle();
    l.buffers[handle] = Buffer{chunk, channel, flags};
    return handle;
}

int32_t dsPlay(int32_t buffer) { return play(buffer, 0); }

int32_t dsPlayLooping(int32_t buffer) { return play(buffer, -1); }

int32_t dsStop(int32_t buffer) {
    Buffer* b = find_buffer(buffer);
    if (!b) return 0;
    mix().HaltChannel(b->channel);
    return 1;
}

int32_t dsFree(int32_t buffer) {
    Buffer* b = find_buffer(buffer);
    if (!b) return 0;
    mix().HaltChannel(b->channel);
    mix().FreeChunk(b->chunk);
    lib().buffers.erase(buffer);
    return 1;
}

int32_t dsTerminate(int32_t sound) {
    Library& l = lib();
    if (sound == 0 || sound != l.device) return 0;
    mix().HaltChannel(-1);
    for (auto& entry : l.buffers) mix().FreeChunk(entry.second.chunk);
    l.buffers.clear();
    mix().CloseAudio();
    mix().QuitSubSystem(SDL_INIT_AUDIO);
    l.device = 0;
    l.channels = 0;
    return 1;
}

int32_t dsCreateResDSB(int32_t /*sound*/, int32_t /*resource*/, int32_t /*flags*/) { return 0; }

int32_t dsSetVolume(int32_t buffer, int32_t volume) {
    Buffer* b = find_buffer(buffer);
    if (!b) return 0;
    mix().Volume(b->channel, gain_to_scale(volume, MIX_MAX_VOLUME));
    return 1;
}

int32_t dsSetPan(int32_t buffer, int32_t pan) {
    Buffer* b = find_buffer(buffer);
    if (!b) return 0;
    apply_pan(b->channel, pan);
    return 1;
}

int32_t dsPlayPan(int32_t buffer, int32_t pan) {
    if (!dsSetPan(buffer, pan)) return 0;
    return dsPlay(buffer);
}

int32_t dsPlayEx(int32_t buffer, int32_t volume, int32_t pan) {
    if (!dsSetVolume(buffer, volume) || !dsSetPan(buffer, pan)) return 0;
    return dsPlay(buffer);
}

int32_t dsPlayLoopingEx(int32_t buffer, int32_t volume, int32_t pan) {
    if (!dsSetVolume(buffer, volume) || !dsSetPan(buffer, pan)) return 0;
    return dsPlayLooping(buffer);
}

int32_t dsSetFrequency(int32_t /*buffer*/, int32_t /*frequency*/) { return 0; }

}  // extern "C"
