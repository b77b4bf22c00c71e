// The sound library: handles, the checks on wave files in memory, and sound
// really reaching the output (SDL's disk driver writes it to a file).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <signal.h>
#include <unistd.h>

#include <SDL_mixer.h>

#include "port/headless_port.h"
#include "sound/effects.h"
#include "zemtori_ds.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

// Sets SDL's audio environment for one test and puts it back afterwards.
class AudioEnv {
public:
    AudioEnv(const char* driver, const std::string& disk_file = {}) {
        save("SDL_AUDIODRIVER", driver_);
        save("SDL_DISKAUDIOFILE", file_);
        setenv("SDL_AUDIODRIVER", driver, 1);
        if (!disk_file.empty()) setenv("SDL_DISKAUDIOFILE", disk_file.c_str(), 1);
    }
    ~AudioEnv() {
        restore("SDL_AUDIODRIVER", driver_);
        restore("SDL_DISKAUDIOFILE", file_);
    }

private:
    static void save(const char* name, std::optional<std::string>& slot) {
        if (const char* v = std::getenv(name)) slot = v;
    }
    static void restore(const char* name, const std::optional<std::string>& slot) {
        if (slot) setenv(name, slot->c_str(), 1);
        else unsetenv(name);
    }
    std::optional<std::string> driver_, file_;
};

void put16(Bytes& b, size_t at, uint16_t v) {
    b[at] = uint8_t(v & 0xFF);
    b[at + 1] = uint8_t(v >> 8);
}
void put32(Bytes& b, size_t at, uint32_t v) {
    put16(b, at, uint16_t(v & 0xFFFF));
    put16(b, at + 2, uint16_t(v >> 16));
}

// A canonical 44-byte-header PCM wave file: mono, 16-bit.
Bytes make_wave(const std::vector<int16_t>& samples, uint32_t rate = 22050) {
    Bytes b(44 + samples.size() * 2, 0);
    std::memcpy(&b[0], "RIFF", 4);
    put32(b, 4, uint32_t(36 + samples.size() * 2));
    std::memcpy(&b[8], "WAVEfmt ", 8);
    put32(b, 16, 16);
    put16(b, 20, 1);
    put16(b, 22, 1);
    put32(b, 24, rate);
    put32(b, 28, rate * 2);
    put16(b, 32, 2);
    put16(b, 34, 16);
    std::memcpy(&b[36], "data", 4);
    put32(b, 40, uint32_t(samples.size() * 2));
    for (size_t i = 0; i < samples.size(); ++i) put16(b, 44 + 2 * i, uint16_t(samples[i]));
    return b;
}

Bytes short_tone() {
    std::vector<int16_t> s(2205);
    for (size_t i = 0; i < s.size(); ++i) s[i] = int16_t(i % 50 < 25 ? 8000 : -8000);
    return make_wave(s);
}

// Every test here starts with no device open and leaves none open.
struct LibraryTest : ::testing::Test {
    AudioEnv env{"dummy"};
    int32_t sound = 0;
    void SetUp() override {
        sound = dsInitialize(0);
        ASSERT_NE(sound, 0);
    }
    void TearDown() override { dsTerminate(sound); }
};

TEST(SoundHandles, EveryCallIgnoresHandleZeroWithoutADevice) {
    const Bytes wave = short_tone();
    EXPECT_EQ(dsCreateDSB(0, wave.data(), DS_FLAG_EFFECT), 0);
    EXPECT_EQ(dsPlay(0), 0);
    EXPECT_EQ(dsPlayLooping(0), 0);
    EXPECT_EQ(dsStop(0), 0);
    EXPECT_EQ(dsFree(0), 0);
    EXPECT_EQ(dsTerminate(0), 0);
    EXPECT_EQ(dsPlayPan(0, 100), 0);
    EXPECT_EQ(dsPlayEx(0, 0, 0), 0);
    EXPECT_EQ(dsPlayLoopingEx(0, 0, 0), 0);
    EXPECT_EQ(dsSetVolume(0, -100), 0);
    EXPECT_EQ(dsSetPan(0, 0), 0);
    EXPECT_EQ(dsSetFrequency(0, 22050), 0);
    EXPECT_EQ(dsCreateResDSB(0, 1, DS_FLAG_EFFECT), 0);
}

TEST_F(LibraryTest, UnknownAndStaleHandlesAreHarmless) {
    const Bytes wave = short_tone();
    const int32_t b = dsCreateDSB(sound, wave.data(), DS_FLAG_EFFECT);
    ASSERT_NE(b, 0);
    EXPECT_NE(b, sound);

    // Handles that name nothing do nothing, and above all free nothing.
    for (int32_t h : {0, b + 1, b - 1, 12345, -1, INT32_MAX, INT32_MIN, sound}) {
        SCOPED_TRACE(h);
        EXPECT_EQ(dsPlay(h), 0);
        EXPECT_EQ(dsPlayLooping(h), 0);
        EXPECT_EQ(dsStop(h), 0);
        EXPECT_EQ(dsFree(h), 0);
        EXPECT_EQ(dsSetVolume(h, 0), 0);
    }
    EXPECT_EQ(dsPlay(b), 1);
    EXPECT_EQ(dsStop(b), 1);

    // A buffer handle is not a sound handle.
    EXPECT_EQ(dsCreateDSB(b, wave.data(), DS_FLAG_EFFECT), 0);
    EXPECT_EQ(dsTerminate(b), 0);

    EXPECT_EQ(dsFree(b), 1);
    EXPECT_EQ(dsPlay(b), 0);
    EXPECT_EQ(dsFree(b), 0);
    // A new buffer never takes the freed one's handle.
    const int32_t b2 = dsCreateDSB(sound, wave.data(), DS_FLAG_EFFECT);
    ASSERT_NE(b2, 0);
    EXPECT_NE(b2, b);
    EXPECT_EQ(dsPlay(b), 0);
    EXPECT_EQ(dsPlay(b2), 1);
}

TEST_F(LibraryTest, TerminateReleasesEveryBufferAndTheDevice) {
    const Bytes wave = short_tone();
    const int32_t effect = dsCreateDSB(sound, wave.data(), DS_FLAG_EFFECT);
    const int32_t music = dsCreateDSB(sound, wave.data(), DS_FLAG_MUSIC);
    ASSERT_NE(effect, 0);
    ASSERT_NE(music, 0);
    EXPECT_NE(effect, music);
    EXPECT_EQ(dsPlayLooping(music), 1);
    EXPECT_EQ(dsPlay(effect), 1);

    // Only one device at a time.
    EXPECT_EQ(dsInitialize(0), 0);

    EXPECT_EQ(dsTerminate(sound), 1);
    EXPECT_EQ(dsPlay(effect), 0);
    EXPECT_EQ(dsStop(music), 0);
    EXPECT_EQ(dsTerminate(sound), 0);
    EXPECT_EQ(dsCreateDSB(sound, wave.data(), DS_FLAG_EFFECT), 0);

    // The device can be opened again, under a new handle.
    const int32_t again = dsInitialize(0);
    EXPECT_NE(again, 0);
    EXPECT_NE(again, sound);
    sound = again;
}

TEST_F(LibraryTest, OpeningTheDeviceLeavesInterruptSignalsAlone) {
    // Ctrl+C and SIGTERM must still end the program while sound is open.
    for (int sig : {SIGINT, SIGTERM}) {
        struct sigaction now {};
        ASSERT_EQ(sigaction(sig, nullptr, &now), 0);
        EXPECT_EQ(now.sa_handler, SIG_DFL) << "signal " << sig;
    }
}

TEST_F(LibraryTest, BrokenWaveFilesInMemoryGiveNoBuffer) {
    const struct {
        const char* what;
        std::function<void(Bytes&)> spoil;
    } cases[] = {
        {"not RIFF", [](Bytes& b) { std::memcpy(&b[0], "RIFX", 4); }},
        {"not WAVE", [](Bytes& b) { std::memcpy(&b[8], "AVI ", 4); }},
        {"RIFF size too small for WAVE", [](Bytes& b) { put32(b, 4, 2); }},
        {"RIFF size beyond any sane file", [](Bytes& b) { put32(b, 4, 0xFFFFFFF0u); }},
        {"data chunk runs past the RIFF length", [](Bytes& b) { put32(b, 4, 36 + 10); }},
        {"data size overflows", [](Bytes& b) { put32(b, 40, 0xFFFFFFF8u); }},
        {"fmt chunk runs past the RIFF length", [](Bytes& b) { put32(b, 16, 0x7FFFFFF0u); }},
        {"fmt chunk too short", [](Bytes& b) { put32(b, 16, 12); }},
        {"no fmt chunk", [](Bytes& b) { std::memcpy(&b[12], "junk", 4); }},
        {"no data chunk", [](Bytes& b) { std::memcpy(&b[36], "junk", 4); }},
        {"empty data", [](Bytes& b) { put32(b, 40, 0); put32(b, 4, 36); }},
        {"no channels", [](Bytes& b) { put16(b, 22, 0); }},
        {"odd sample size", [](Bytes& b) { put16(b, 34, 12); }},
        {"compressed format", [](Bytes& b) { put16(b, 20, 2); }},
        {"block align disagrees", [](Bytes& b) { put16(b, 32, 4); }},
        {"rate of zero", [](Bytes& b) { put32(b, 24, 0); }},
    };
    const Bytes good = short_tone();
    const int32_t ok = dsCreateDSB(sound, good.data(), DS_FLAG_EFFECT);
    EXPECT_NE(ok, 0);
    dsFree(ok);
    for (const auto& c : cases) {
        Bytes b = good;
        c.spoil(b);
        EXPECT_EQ(dsCreateDSB(sound, b.data(), DS_FLAG_EFFECT), 0) << c.what;
    }
    EXPECT_EQ(dsCreateDSB(sound, nullptr, DS_FLAG_EFFECT), 0);
}

TEST_F(LibraryTest, ExtraChunksAndTrailingBytesAreAccepted) {
    // A "LIST" chunk before the data and bytes after the RIFF length.
    const Bytes plain = short_tone();
    Bytes b(plain.begin(), plain.begin() + 36);
    const char list[] = {'L', 'I', 'S', 'T', 5, 0, 0, 0, 'a', 'b', 'c', 'd', 'e', 0};
    b.insert(b.end(), list, list + sizeof list);
    b.insert(b.end(), plain.begin() + 36, plain.end());
    put32(b, 4, uint32_t(b.size() - 8));
    b.insert(b.end(), 16, 0xAB);
    EXPECT_EQ(dsWaveFileLength(b.data(), b.size()), b.size() - 16);
    const int32_t h = dsCreateDSB(sound, b.data(), DS_FLAG_EFFECT);
    EXPECT_NE(h, 0);
}

TEST(WaveLength, ReadFromTheHeaderOnly) {
    const Bytes b = short_tone();
    EXPECT_EQ(dsWaveFileLength(b.data(), b.size()), b.size());
    EXPECT_EQ(dsWaveFileLength(b.data(), 12), b.size());
    EXPECT_EQ(dsWaveFileLength(b.data(), 11), 0u);
    EXPECT_EQ(dsWaveFileLength(nullptr, 100), 0u);
    Bytes huge = b;
    put32(huge, 4, DS_MAX_WAVE_BYTES);
    EXPECT_EQ(dsWaveFileLength(huge.data(), huge.size()), 0u);
}

// ------------------------------------------------------- the game's waves --

// What a wave file's "fmt " and "data" chunks say.
struct WaveFormat {
    uint32_t rate = 0, channels = 0, bits = 0, data_bytes = 0;
};

WaveFormat format_of(const std::string& name) {
    const fs::path path = fs::path(std::u8string(reinterpret_cast<const char8_t*>(ZEMTORI_TEST_DATA_DIR))) /
                          fs::path(std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size()));
    std::ifstream in(path, std::ios::binary);
    const Bytes b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le = [&b](size_t at, int n) {
        uint32_t v = 0;
        for (int i = n - 1; i >= 0; --i) v = v << 8 | b[at + i];
        return v;
    };
    WaveFormat f;
    for (size_t off = 12; off + 8 <= b.size();) {
        const uint32_t size = le(off + 4, 4);
        if (std::memcmp(&b[off], "fmt ", 4) == 0) {
            f.channels = le(off + 10, 2);
            f.rate = le(off + 12, 4);
            f.bits = le(off + 22, 2);
        } else if (std::memcmp(&b[off], "data", 4) == 0) {
            f.data_bytes = size;
        }
        off += 8 + size + (size & 1);
    }
    return f;
}

// The game's own waves reach the mixer as their files hold them: the device
// has their format, so loading converts nothing (a conversion to another
// rate or channel count would change the sound's length in bytes, and is
// what made start-up slow).
TEST(GameWaves, AreKeptAsTheirFilesHoldThemWithoutConversion) {
    AudioEnv env{"dummy"};
    HeadlessPort port;
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
    sound.open_sound();
    ASSERT_NE(sound.sound_handle(), 0);
    sound.load_all();

    int rate = 0, channels = 0;
    Uint16 device_format = 0;
    ASSERT_NE(Mix_QuerySpec(&rate, &device_format, &channels), 0);

    // Each buffer plays on a channel of its own: the chunk that appears on a
    // new channel when it plays is that buffer's sound.
    auto chunks_on_channels = [] {
        std::vector<Mix_Chunk*> found;
        for (int ch = 0; ch < Mix_AllocateChannels(-1); ++ch)
            if (Mix_Chunk* c = Mix_GetChunk(ch)) found.push_back(c);
        return found;
    };
    std::vector<Mix_Chunk*> seen = chunks_on_channels();
    const std::pair<const char*, int32_t> waves[] = {
        {SONOTA_WAV, sound.other}, {KINSHI_WAV, sound.refusal}, {KOMA_WAV, sound.piece}, {BGM_WAV, sound.music}};
    for (const auto& [name, handle] : waves) {
        SCOPED_TRACE(name);
        const WaveFormat f = format_of(name);
        ASSERT_GT(f.data_bytes, 0u);
        EXPECT_EQ(uint32_t(rate), f.rate);
        EXPECT_EQ(uint32_t(channels), f.channels);
        EXPECT_EQ(uint32_t(SDL_AUDIO_BITSIZE(device_format)), f.bits);

        ASSERT_EQ(dsPlay(handle), 1);
        Mix_Chunk* played = nullptr;
        for (Mix_Chunk* c : chunks_on_channels())
            if (std::find(seen.begin(), seen.end(), c) == seen.end()) played = c;
        ASSERT_NE(played, nullptr);
        seen.push_back(played);
        EXPECT_EQ(played->alen, f.data_bytes);
        dsStop(handle);
    }
    sound.close_sound();
}

// ------------------------------------------------------------ real output --

// The samples SDL's disk driver has written so far (16-bit, interleaved).
std::vector<int16_t> written(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<char> raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> s(raw.size() / 2);
    if (!s.empty()) std::memcpy(s.data(), raw.data(), s.size() * 2);
    return s;
}

// Waits (up to a generous limit) until `ready` holds for the output so far.
std::vector<int16_t> wait_for(const fs::path& file,
                              const std::function<bool(const std::vector<int16_t>&)>& ready) {
    std::vector<int16_t> s;
    for (int i = 0; i < 500; ++i) {
        s = written(file);
        if (ready(s)) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return s;
}

// Samples the open device writes for a second of sound, all channels together.
size_t samples_per_second() {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (Mix_QuerySpec(&rate, &format, &channels) == 0) return 0;
    return size_t(rate) * size_t(channels);
}

int peak(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    int m = 0;
    for (size_t i = from; i < s.size() && i < to; ++i) m = std::max(m, std::abs(int(s[i])));
    return m;
}

struct DiskOutputTest : ::testing::Test {
    // One file per test and process: tests may run side by side.
    fs::path file = fs::path(::testing::TempDir()) /
                    ("zemtori_audio_" + std::to_string(getpid()) + "_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".raw");
    std::optional<AudioEnv> env;
    void SetUp() override {
        fs::remove(file);
        env.emplace("disk", file.string());
    }
    void TearDown() override { fs::remove(file); }
};

TEST_F(DiskOutputTest, ThePieceSoundReachesTheOutput) {
    HeadlessPort port;
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
    sound.open_sound();
    ASSERT_NE(sound.sound_handle(), 0);
    sound.load_all();
    ASSERT_NE(sound.piece, 0);
    EXPECT_TRUE(port.messages.empty());

    // Before anything plays the output is silence.
    const auto before = wait_for(file, [](const auto& s) { return s.size() >= 8192; });
    ASSERT_GE(before.size(), 8192u);
    EXPECT_EQ(peak(before), 0);

    sound.play_piece();
    const size_t start = before.size();
    const auto after = wait_for(file, [&](const auto& s) { return peak(s, start) > 4000; });
    sound.close_sound();
    EXPECT_GT(peak(after, start), 4000);
}

// A test sound: 0.1 s loud, then 1.9 s quiet, so the output tells where in
// the sound the playing is.
Bytes loud_then_quiet() {
    std::vector<int16_t> s(22050 * 2);
    for (size_t i = 0; i < s.size(); ++i) {
        const int16_t level = i < 2205 ? 24000 : 3000;
        s[i] = int16_t(i % 40 < 20 ? level : -level);
    }
    return make_wave(s);
}

TEST_F(DiskOutputTest, PlayingAgainRestartsFromTheBeginningInsteadOfOverlapping) {
    const int32_t sound = dsInitialize(0);
    ASSERT_NE(sound, 0);
    const Bytes wave = loud_then_quiet();
    const int32_t b = dsCreateDSB(sound, wave.data(), DS_FLAG_EFFECT);
    ASSERT_NE(b, 0);

    dsPlay(b);
    // Wait for the loud start, then well into the quiet part.
    auto s = wait_for(file, [](const auto& s) { return peak(s) > 20000; });
    size_t loud_at = 0;
    while (loud_at < s.size() && std::abs(int(s[loud_at])) <= 20000) ++loud_at;
    ASSERT_LT(loud_at, s.size());
    const size_t second = samples_per_second();
    ASSERT_GT(second, 0u);
    const size_t quiet_from = loud_at + second / 2;
    s = wait_for(file, [&](const auto& s) { return s.size() > quiet_from + 4096; });
    ASSERT_GT(s.size(), quiet_from);
    EXPECT_LT(peak(s, quiet_from), 4000);

    const size_t mark = s.size();
    dsPlay(b);
    s = wait_for(file, [&](const auto& s) { return s.size() > mark + second; });
    dsTerminate(sound);
    // The loud start comes back, and after it only one quiet tail plays.
    size_t again = mark;
    while (again < s.size() && std::abs(int(s[again])) <= 20000) ++again;
    ASSERT_LT(again, s.size());
    const size_t tail = again + second / 4;
    ASSERT_GT(s.size(), tail + 4096);
    EXPECT_LT(peak(s, tail, tail + 4096), 4000);
    EXPECT_GT(peak(s, tail, tail + 4096), 1500);
}

TEST_F(DiskOutputTest, LoopingPlaysTheSoundAgainUntilStopped) {
    const int32_t sound = dsInitialize(0);
    ASSERT_NE(sound, 0);
    // 0.05 s of tone followed by 0.1 s of silence.
    std::vector<int16_t> pcm(22050 * 15 / 100, 0);
    for (size_t i = 0; i < 1102; ++i) pcm[i] = int16_t(i % 40 < 20 ? 20000 : -20000);
    const Bytes wave = make_wave(pcm);
    const int32_t b = dsCreateDSB(sound, wave.data(), DS_FLAG_MUSIC);
    ASSERT_NE(b, 0);
    const size_t second = samples_per_second();
    ASSERT_GT(second, 0u);

    // Counts bursts of tone separated by silence (0.1 s of it, so more than 0.05 s).
    auto bursts = [second](const std::vector<int16_t>& s, size_t from) {
        int n = 0;
        size_t quiet = SIZE_MAX / 2;
        for (size_t i = from; i < s.size(); ++i) {
            if (std::abs(int(s[i])) > 10000) {
                if (quiet > second / 20) ++n;
                quiet = 0;
            } else {
                ++quiet;
            }
        }
        return n;
    };
    const size_t start = written(file).size();
    dsPlayLooping(b);
    auto s = wait_for(file, [&](const auto& s) { return bursts(s, start) >= 4; });
    EXPECT_GE(bursts(s, start), 4);

    dsStop(b);
    const size_t stopped = wait_for(file, [](const auto&) { return true; }).size();
    s = wait_for(file, [&](const auto& s) { return s.size() > stopped + second; });
    dsTerminate(sound);
    // Allow for what was already mixed when the stop came.
    EXPECT_EQ(peak(s, stopped + 16384), 0);
}

}  // namespace
}  // namespace zemtori
