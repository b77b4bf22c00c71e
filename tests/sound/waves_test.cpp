// The generated wave files, listened to with numbers: format, length,
// loudness, and a music loop without a click where it joins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sound/effects.h"

namespace zemtori {
namespace {

namespace fs = std::filesystem;

struct Wave {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples;
    uintmax_t file_size = 0;
    double seconds() const { return rate ? double(samples.size()) / rate : 0; }
};

uint32_t le(const std::string& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(b[at + i]);
    return v;
}

Wave read_wave(const char* name) {
    const std::string n(name);
    const fs::path path = fs::path(std::u8string(reinterpret_cast<const char8_t*>(ZEMTORI_TEST_DATA_DIR))) /
                          fs::path(std::u8string(reinterpret_cast<const char8_t*>(n.data()), n.size()));
    std::ifstream in(path, std::ios::binary);
    const std::string b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Wave w;
    w.file_size = b.size();
    if (b.size() < 12 || b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return w;
    for (size_t off = 12; off + 8 <= b.size();) {
        const uint32_t size = le(b, off + 4, 4);
        if (b.compare(off, 4, "fmt ") == 0) {
            w.format = int(le(b, off + 8, 2));
            w.channels = int(le(b, off + 10, 2));
            w.rate = int(le(b, off + 12, 4));
            w.bits = int(le(b, off + 22, 2));
        } else if (b.compare(off, 4, "data") == 0 && off + 8 + size <= b.size()) {
            w.samples.resize(size / 2);
            std::memcpy(w.samples.data(), b.data() + off + 8, w.samples.size() * 2);
        }
        off += 8 + size + (size & 1);
    }
    return w;
}

double peak(const std::vector<int16_t>& s) {
    int m = 0;
    for (int16_t v : s) m = std::max(m, std::abs(int(v)));
    return m / 32768.0;
}

TEST(GeneratedWaves, AreSmallMonoPcmOfTheRightLengthAndAudible) {
    const struct { const char* name; double min_s, max_s; } cases[] = {
        {KOMA_WAV, 0.05, 0.4},
        {KINSHI_WAV, 0.15, 0.8},
        {SONOTA_WAV, 0.3, 2.5},
        {BGM_WAV, 10.0, 34.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Wave w = read_wave(c.name);
        EXPECT_EQ(w.format, 1);
        EXPECT_EQ(w.channels, 1);
        EXPECT_EQ(w.rate, 22050);
        EXPECT_EQ(w.bits, 16);
        EXPECT_GE(w.seconds(), c.min_s);
        EXPECT_LE(w.seconds(), c.max_s);
        EXPECT_GT(peak(w.samples), 0.25);
        EXPECT_LT(peak(w.samples), 0.99);  // never clipped
        EXPECT_LT(w.file_size, 1500000u);
    }
}

TEST(GeneratedWaves, EffectsDieAwayToSilenceAtTheirEnd) {
    for (const char* name : {KOMA_WAV, KINSHI_WAV, SONOTA_WAV}) {
        SCOPED_TRACE(name);
        const Wave w = read_wave(name);
        ASSERT_GT(w.samples.size(), 100u);
        EXPECT_LE(std::abs(int(w.samples.back())), 16);
    }
}

TEST(GeneratedWaves, PieceClickIsOverAlmostAtOnce) {
    const Wave w = read_wave(KOMA_WAV);
    double total = 0, first = 0;
    const size_t early = w.rate * 6 / 100;  // 60 ms
    for (size_t i = 0; i < w.samples.size(); ++i) {
        const double e = double(w.samples[i]) * w.samples[i];
        total += e;
        if (i < early) first += e;
    }
    ASSERT_GT(total, 0);
    EXPECT_GT(first / total, 0.9);
}

TEST(GeneratedWaves, RefusalToneIsLow) {
    const Wave w = read_wave(KINSHI_WAV);
    int crossings = 0;
    for (size_t i = 1; i < w.samples.size(); ++i)
        if ((w.samples[i - 1] < 0) != (w.samples[i] < 0)) ++crossings;
    EXPECT_LT(crossings / w.seconds(), 500.0);
}

TEST(GeneratedWaves, MusicLoopsWithoutAClickAndWithoutGaps) {
    const Wave w = read_wave(BGM_WAV);
    const auto& s = w.samples;
    ASSERT_GT(s.size(), 22050u);
    // The jump from the last sample back to the first is no bigger than the
    // steps the music takes inside itself nearly all the time.
    std::vector<int> steps;
    for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
    std::sort(steps.begin(), steps.end());
    const int typical = steps[steps.size() * 99 / 100];
    EXPECT_LE(std::abs(s.front() - s.back()), typical);
    // It starts beside a zero crossing.
    EXPECT_LT(std::abs(int(s.front())), 2000);
    // No second of the loop falls silent.
    for (size_t at = 0; at + 22050 <= s.size(); at += 11025) {
        double sum = 0;
        for (size_t i = at; i < at + 22050; ++i) sum += double(s[i]) * s[i];
        EXPECT_GT(std::sqrt(sum / 22050) / 32768.0, 0.01) << "window at " << at;
    }
}

}  // namespace
}  // namespace zemtori
