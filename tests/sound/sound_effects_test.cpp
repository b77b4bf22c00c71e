// The game's sound layer: opening the device, loading the four wave files
// from the data folder, the warning boxes, and closing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <utility>
#include <vector>
#include <string>
#include <system_error>

#include <sys/resource.h>
#include <unistd.h>

#include <SDL_mixer.h>

#include "port/headless_port.h"
#include "sound/effects.h"
#include "zemtori_ds.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

fs::path u8(const std::string& s) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(s.data()), s.size()));
}

// One audio driver for the length of a test.
class DriverEnv {
public:
    explicit DriverEnv(const char* driver) {
        if (const char* v = std::getenv("SDL_AUDIODRIVER")) old_ = v;
        setenv("SDL_AUDIODRIVER", driver, 1);
    }
    ~DriverEnv() {
        if (old_) setenv("SDL_AUDIODRIVER", old_->c_str(), 1);
        else unsetenv("SDL_AUDIODRIVER");
    }

private:
    std::optional<std::string> old_;
};

// A data folder of the test's own, filled from the generated wave files.
struct EffectsTest : ::testing::Test {
    DriverEnv env{"dummy"};
    HeadlessPort port;
    fs::path dir;

    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("zemtori_sound_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    void copy_generated(const char* name) {
        fs::copy_file(u8(ZEMTORI_TEST_DATA_DIR) / u8(name), dir / u8(name));
    }
    void write_file(const char* name, const std::string& bytes) {
        std::ofstream(dir / u8(name), std::ios::binary) << bytes;
    }
    std::string generated_bytes(const char* name) {
        std::ifstream in(u8(ZEMTORI_TEST_DATA_DIR) / u8(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(EffectsTest, AllFourSoundsLoadFromTheDataFolder) {
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
    sound.open_sound();
    ASSERT_NE(sound.sound_handle(), 0);
    sound.load_all();
    EXPECT_TRUE(port.messages.empty());
    const int32_t handles[] = {sound.other, sound.refusal, sound.piece, sound.music};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NE(handles[i], 0) << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(handles[i], handles[j]);
    }
    // Each plays through the library.
    EXPECT_EQ(dsPlay(sound.piece), 1);
    EXPECT_EQ(dsPlayLooping(sound.music), 1);
}

TEST_F(EffectsTest, NoDeviceGivesOneWarningAndASilentGame) {
    DriverEnv none("no_such_audio_driver");
    // A file that could not be read: without a device nobody even looks.
    fs::create_directory(dir / u8(KINSHI_WAV));
    copy_generated(KOMA_WAV);

    SoundEffects sound(port, dir.string());
    sound.open_sound();
    EXPECT_EQ(sound.sound_handle(), 0);
    ASSERT_EQ(port.messages.size(), 1u);
    EXPECT_EQ(port.messages[0].text, "Direct Soundインターフェースが作成できません。");
    EXPECT_EQ(port.messages[0].title, "Zemtori.dll");
    EXPECT_EQ(port.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(port.messages[0].buttons, MsgButtons::Ok);

    sound.load_all();
    EXPECT_EQ(sound.other, 0);
    EXPECT_EQ(sound.refusal, 0);
    EXPECT_EQ(sound.piece, 0);
    EXPECT_EQ(sound.music, 0);
    sound.play_piece();
    sound.play_refusal();
    sound.play_other();
    sound.start_music();
    sound.stop_music();
    sound.close_sound();
    EXPECT_EQ(port.messages.size(), 1u);
}

TEST_F(EffectsTest, MissingFilesAreSilentlyWithoutSound) {
    copy_generated(KOMA_WAV);
    SoundEffects sound(port, dir.string());
    sound.open_sound();
    sound.load_all();
    EXPECT_TRUE(port.messages.empty());
    EXPECT_EQ(sound.other, 0);
    EXPECT_EQ(sound.refusal, 0);
    EXPECT_NE(sound.piece, 0);
    EXPECT_EQ(sound.music, 0);
    sound.start_music();  // BGM on without BGM.wav: nothing, no box
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(EffectsTest, AnUnreadableFileGivesExactlyOneWarningNamingItWithTheSystemsMessage) {
    copy_generated(SONOTA_WAV);
    copy_generated(KOMA_WAV);
    copy_generated(BGM_WAV);
    // A folder where the refusal sound should be: it exists but cannot be read.
    fs::create_directory(dir / u8(KINSHI_WAV));

    SoundEffects sound(port, dir.string());
    sound.open_sound();
    sound.load_all();
    ASSERT_EQ(port.messages.size(), 1u);
    const std::u8string path = (dir / u8(KINSHI_WAV)).u8string();
    EXPECT_EQ(port.messages[0].text, std::string(path.begin(), path.end()) + "\r" +
                                         std::make_error_code(std::errc::is_a_directory).message());
    EXPECT_EQ(port.messages[0].title, "Zemtori.dll");
    EXPECT_EQ(port.messages[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(sound.refusal, 0);
    EXPECT_NE(sound.other, 0);
    EXPECT_NE(sound.piece, 0);
    EXPECT_NE(sound.music, 0);
}

TEST_F(EffectsTest, TruncatedOrCorruptFilesGiveNoSoundAndNoBox) {
    const std::string good = generated_bytes(KOMA_WAV);
    ASSERT_GT(good.size(), 1000u);
    const struct { const char* what; std::string bytes; } cases[] = {
        {"cut in half", good.substr(0, good.size() / 2)},
        {"cut inside the header", good.substr(0, 20)},
        {"only eleven bytes", good.substr(0, 11)},
        {"empty", ""},
        {"text, not a wave", std::string(200, 'x')},
        {"header claims more than the file", [&] {
             std::string b = good;
             b[7] = char(0x01);  // RIFF size + 16 MB
             return b;
         }()},
    };
    SoundEffects sound(port, dir.string());
    sound.open_sound();
    for (const auto& c : cases) {
        write_file(KOMA_WAV, c.bytes);
        EXPECT_EQ(sound.load_sound(KOMA_WAV, DS_FLAG_EFFECT), 0) << c.what;
    }
    EXPECT_TRUE(port.messages.empty());
    // The whole file is fine once more.
    write_file(KOMA_WAV, good);
    EXPECT_NE(sound.load_sound(KOMA_WAV, DS_FLAG_EFFECT), 0);
}

// A valid wave at 1000 Hz, 8-bit mono: each byte of the file becomes 176
// bytes of 44.1 kHz 16-bit stereo.
std::string low_rate_wave(uint32_t seconds) {
    const uint32_t rate = 1000, data = rate * seconds;
    std::string b(44, '\0');
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i) b[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    b.replace(0, 4, "RIFF");
    put(4, 36 + data, 4);
    b.replace(8, 8, "WAVEfmt ");
    put(16, 16, 4);
    put(20, 1, 2);     // PCM
    put(22, 1, 2);     // mono
    put(24, rate, 4);
    put(28, rate, 4);  // bytes per second
    put(32, 1, 2);     // block align
    put(34, 8, 2);     // bits
    b.replace(36, 4, "data");
    put(40, data, 4);
    b.resize(44 + data, char(0x80));
    for (size_t i = 44; i < b.size(); i += 7) b[i] = char(0xA0);
    return b;
}

long peak_rss_kb() {
    struct rusage u {};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

TEST_F(EffectsTest, AWaveTooLargeOnceDecodedStaysSilentAndTheGamePlaysOn) {
    copy_generated(SONOTA_WAV);
    copy_generated(KINSHI_WAV);
    copy_generated(KOMA_WAV);
    // 8 MB of file, 2.2 hours of sound: 1.4 GB once decoded.
    write_file(BGM_WAV, low_rate_wave(8000));
    SoundEffects sound(port, dir.string());
    sound.open_sound();
    const long peak_before = peak_rss_kb();
    sound.load_all();
    EXPECT_LT(peak_rss_kb() - peak_before, 64 * 1024) << "KB of peak memory taken while refusing it";
    EXPECT_EQ(sound.music, 0);
    EXPECT_TRUE(port.messages.empty()) << "refused like any unusable wave, without a box";
    EXPECT_NE(sound.other, 0);
    EXPECT_NE(sound.refusal, 0);
    EXPECT_NE(sound.piece, 0);
    sound.start_music();
    sound.play_piece();

    // The bound is on the decoded sound, at the device's own rate: a sound
    // just under the bound once decoded is kept, one just over it is not,
    // whatever the size of its file.
    int rate = 0, channels = 0;
    Uint16 format = 0;
    ASSERT_NE(Mix_QuerySpec(&rate, &format, &channels), 0);
    const uint32_t per_second = uint32_t(rate) * uint32_t(channels) * (SDL_AUDIO_BITSIZE(format) / 8);
    const uint32_t bound_seconds = DS_MAX_DECODED_BYTES / per_second;
    write_file(BGM_WAV, low_rate_wave(bound_seconds - 10));
    EXPECT_NE(sound.load_sound(BGM_WAV, DS_FLAG_MUSIC), 0);
    write_file(BGM_WAV, low_rate_wave(bound_seconds + 10));
    EXPECT_EQ(sound.load_sound(BGM_WAV, DS_FLAG_MUSIC), 0);
    EXPECT_TRUE(port.messages.empty());
}

TEST_F(EffectsTest, ClosingFreesTheBuffersAndTheDevice) {
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR);
    sound.open_sound();
    sound.load_all();
    const int32_t old_piece = sound.piece, old_music = sound.music;
    ASSERT_NE(old_piece, 0);
    sound.start_music();
    sound.close_sound();
    EXPECT_EQ(sound.sound_handle(), 0);
    EXPECT_EQ(dsPlay(old_piece), 0);
    EXPECT_EQ(dsStop(old_music), 0);
    sound.close_sound();  // twice is harmless
    // The device was really closed: it opens again.
    const int32_t again = dsInitialize(0);
    EXPECT_NE(again, 0);
    dsTerminate(again);
    EXPECT_TRUE(port.messages.empty());
}


// What the effects ask of the library, through a table that records the
// calls instead of sounding them.
std::vector<std::pair<std::string, int32_t>> library_calls;
int32_t record_play(int32_t b) { library_calls.emplace_back("play", b); return 1; }
int32_t record_looping(int32_t b) { library_calls.emplace_back("loop", b); return 1; }
int32_t record_stop(int32_t b) { library_calls.emplace_back("stop", b); return 1; }
const PlayCalls RECORDING_CALLS{&record_play, &record_looping, &record_stop};

TEST_F(EffectsTest, EachEffectPlaysItsOwnBufferAndTheMusicLoopsUntilStopped) {
    SoundEffects sound(port, ZEMTORI_TEST_DATA_DIR, RECORDING_CALLS);
    sound.open_sound();
    sound.load_all();
    ASSERT_NE(sound.other, 0);
    ASSERT_NE(sound.refusal, 0);
    ASSERT_NE(sound.piece, 0);
    ASSERT_NE(sound.music, 0);
    // Four distinct buffers, so a call to the wrong one shows.
    const std::set<int32_t> buffers{sound.other, sound.refusal, sound.piece, sound.music};
    ASSERT_EQ(buffers.size(), 4u);
    library_calls.clear();
    sound.play_piece();
    sound.play_refusal();
    sound.play_other();
    sound.start_music();
    sound.stop_music();
    const std::vector<std::pair<std::string, int32_t>> want{
        {"play", sound.piece}, {"play", sound.refusal}, {"play", sound.other},
        {"loop", sound.music}, {"stop", sound.music}};
    EXPECT_EQ(library_calls, want);
    sound.close_sound();
}

}  // namespace
}  // namespace zemtori
