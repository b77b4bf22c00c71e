// Makes the game's four wave files: the piece click, the refusal tone, the
// chime and the background music.  Everything is synthesised here from a
// fixed seed, so the files come out the same on every build.
//
// usage: zemtori-wavegen <output folder>
//
// All files are mono, 22050 Hz, 16-bit PCM.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int RATE = 22050;
constexpr double PI = 3.14159265358979323846;

using Samples = std::vector<double>;

// A small deterministic noise source.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    double next() {  // uniform in [-1, 1)
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

private:
    uint32_t state_;
};

double midi_hz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

int seconds(double s) { return static_cast<int>(std::lround(s * RATE)); }

void scale_to_peak(Samples& s, double peak) {
    double m = 0;
    for (double v : s) m = std::max(m, std::fabs(v));
    if (m > 0)
        for (double& v : s) v *= peak / m;
}

// Raised-cosine fade to zero over the last `len` samples.
void fade_out(Samples& s, int len) {
    len = std::min<int>(len, static_cast<int>(s.size()));
    for (int i = 0; i < len; ++i) {
        const double g = 0.5 + 0.5 * std::cos(PI * (i + 1) / len);
        s[s.size() - len + i] *= g;
    }
}

// A struck resonance: a sine starting at zero phase with an exponential decay.
void add_mode(Samples& out, int start, double hz, double amp, double tau) {
    for (size_t i = start; i < out.size(); ++i) {
        const double t = double(i - start) / RATE;
        const double env = std::exp(-t / tau);
        if (env < 1e-5) break;
        out[i] += amp * env * std::sin(2 * PI * hz * t);
    }
}

// ---------------------------------------------------------------- effects --

// A piece set down firmly on a wooden board: a dry contact snap, a few short
// wood resonances and a low knock of the board, with a faint rebound.
Samples koma_oto() {
    Samples s(seconds(0.16), 0.0);
    Noise noise(0x1234567u);
    auto tap = [&](int start, double gain) {
        // Contact: a few milliseconds of noise, high-passed by differencing.
        double prev = 0;
        for (int i = 0; i < seconds(0.004) && start + i < int(s.size()); ++i) {
            const double t = double(i) / RATE;
            const double n = noise.next();
            s[start + i] += gain * 0.9 * std::exp(-t / 0.0007) * (n - prev);
            prev = n;
        }
        add_mode(s, start, 880.0, gain * 1.0, 0.016);
        add_mode(s, start, 1530.0, gain * 0.65, 0.010);
        add_mode(s, start, 2480.0, gain * 0.40, 0.007);
        add_mode(s, start, 3710.0, gain * 0.22, 0.004);
        add_mode(s, start, 185.0, gain * 0.55, 0.022);
    };
    tap(0, 1.0);
    tap(seconds(0.011), 0.18);
    scale_to_peak(s, 0.9);
    fade_out(s, seconds(0.01));
    return s;
}

// Two short low buzzes, the second a little lower: "no".
Samples kinshi() {
    Samples s(seconds(0.36), 0.0);
    auto buzz = [&](double start_s, double len_s, double hz) {
        const int start = seconds(start_s), len = seconds(len_s);
        const int attack = seconds(0.008), release = seconds(0.035);
        for (int i = 0; i < len && start + i < int(s.size()); ++i) {
            const double t = double(i) / RATE;
            double env = 1.0;
            if (i < attack) env = double(i) / attack;
            if (i > len - release) env = double(len - i) / release;
            double v = 0;
            for (int k = 1; k <= 9; ++k) v += std::sin(2 * PI * k * hz * t) / std::pow(k, 1.4);
            s[start + i] += env * v;
        }
    };
    buzz(0.0, 0.13, 155.0);
    buzz(0.17, 0.17, 138.0);
    scale_to_peak(s, 0.7);
    return s;
}

// A soft two-note chime, bell-like partials dying away.
Samples sonota() {
    Samples s(seconds(1.4), 0.0);
    auto bell = [&](double start_s, double hz, double gain) {
        const int start = seconds(start_s);
        add_mode(s, start, hz, gain * 1.0, 0.50);
        add_mode(s, start, hz * 2.76, gain * 0.18, 0.18);
        add_mode(s, start, hz * 4.0, gain * 0.06, 0.10);
        // A short attack so the onset is soft rather than clicky.
        const int attack = seconds(0.004);
        for (int i = 0; i < attack && start + i < int(s.size()); ++i) s[start + i] *= double(i) / attack;
    };
    bell(0.0, 1046.5, 1.0);
    bell(0.20, 1568.0, 0.8);
    scale_to_peak(s, 0.6);
    fade_out(s, seconds(0.08));
    return s;
}

// ------------------------------------------------------------------ music --

// One plucked string, koto-like: a plectrum tick, then harmonics of a string
// plucked near its end, the higher ones dying faster.  Ends at zero.
Samples pluck(double hz, Noise& noise) {
    Samples s(seconds(5.0), 0.0);
    const double tau1 = 1.9 * std::pow(220.0 / hz, 0.3);
    const double pos = 0.2;  // pluck position along the string
    for (int k = 1; k <= 16 && k * hz < 8000; ++k) {
        const double amp = std::sin(PI * k * pos) / k;
        const double fk = k * hz * std::sqrt(1 + 0.00015 * k * k);
        add_mode(s, 0, fk, amp, tau1 / (1 + 0.55 * (k - 1)));
    }
    // The plectrum: a short band-limited tick.
    double lp = 0;
    for (int i = 0; i < seconds(0.005); ++i) {
        lp += 0.35 * (noise.next() - lp);
        s[i] += 0.12 * lp * (1.0 - double(i) / seconds(0.005));
    }
    const int attack = seconds(0.002);
    for (int i = 0; i < attack; ++i) s[i] *= double(i) / attack;
    fade_out(s, seconds(1.5));
    return s;
}

// Adds `in` into the loop `out` starting at `start`, wrapping past the end,
// so tails of the last notes ring on into the first bars.
void add_circular(Samples& out, const Samples& in, long start, double gain) {
    const long n = static_cast<long>(out.size());
    for (size_t i = 0; i < in.size(); ++i) out[(start + static_cast<long>(i)) % n] += gain * in[i];
}

// A calm koto piece on the miyako-bushi scale (D Eb G A Bb), eight bars at
// 72 beats a minute, that loops seamlessly.
Samples bgm() {
    constexpr int BEAT = RATE * 60 / 72;  // 18375 samples, exact
    constexpr int BEATS = 32;
    Samples loop(static_cast<size_t>(BEAT) * BEATS, 0.0);

    enum : int { A2 = 45, D3 = 50, G3 = 55, D4 = 62, Eb4 = 63, G4 = 67, A4 = 69, Bb4 = 70,
                 D5 = 74, Eb5 = 75, G5 = 79 };
    struct Note { double beat; int midi; double gain; };
    const Note melody[] = {
        {0, D5, 1.0}, {1.5, A4, 0.7}, {2, Bb4, 0.8}, {3, A4, 0.75},
        {4, G4, 0.9}, {5.5, Eb4, 0.6}, {6, D4, 0.85},
        {8, A4, 0.9}, {9, Bb4, 0.8}, {10, D5, 0.9}, {11, Eb5, 0.75},
        {12, D5, 0.9}, {13.5, Bb4, 0.65}, {14, A4, 0.85},
        {16, G5, 0.85}, {17, Eb5, 0.7}, {17.5, D5, 0.6}, {18, Bb4, 0.75}, {19, A4, 0.7},
        {20, Bb4, 0.85}, {21, A4, 0.7}, {22, G4, 0.85}, {23.5, Eb4, 0.55},
        {24, D4, 0.85}, {25, G4, 0.75}, {26, A4, 0.8}, {26.5, Bb4, 0.6}, {27, A4, 0.7},
        {28, G4, 0.8}, {29, Eb4, 0.6}, {30, D4, 0.8},
    };
    const int bass[8] = {D3, G3, A2, D3, G3, G3, D3, A2};

    Noise noise(0xC0FFEEu);
    for (const Note& n : melody)
        add_circular(loop, pluck(midi_hz(n.midi), noise), std::lround(n.beat * BEAT), 0.55 * n.gain);
    for (int bar = 0; bar < 8; ++bar) {
        add_circular(loop, pluck(midi_hz(bass[bar]), noise), long(bar) * 4 * BEAT, 0.45);
        add_circular(loop, pluck(midi_hz(bass[bar] + 12), noise), long(bar) * 4 * BEAT + 2 * BEAT, 0.22);
    }

    // Space: a soft echo three quarters of a beat later and a few short
    // reflections, all wrapping around the loop.
    const long n = static_cast<long>(loop.size());
    Samples wet(loop.size(), 0.0);
    const long echo = BEAT * 3 / 4;
    const double echo_gain[] = {0.32, 0.16, 0.08};
    for (int j = 0; j < 3; ++j)
        for (long i = 0; i < n; ++i) wet[i] += echo_gain[j] * loop[((i - (j + 1) * echo) % n + n) % n];
    const double taps_ms[] = {23, 31, 41, 53, 67};
    for (double ms : taps_ms) {
        const long d = std::lround(ms * RATE / 1000.0);
        for (long i = 0; i < n; ++i) wet[i] += 0.12 * loop[((i - d) % n + n) % n];
    }
    // Soften the reflections with a one-pole low-pass run twice round the
    // loop, so its state at the seam is the steady one.
    double state = 0;
    Samples soft(loop.size());
    for (int pass = 0; pass < 2; ++pass)
        for (long i = 0; i < n; ++i) {
            state += 0.3 * (wet[i] - state);
            soft[i] = state;
        }
    for (long i = 0; i < n; ++i) loop[i] += soft[i];

    // Start the file where the wave crosses zero, within the first 10 ms, so
    // both ends of the file sit next to a zero crossing.
    long best = 0;
    for (long i = 1; i < seconds(0.01); ++i)
        if ((loop[i - 1] <= 0) != (loop[i] <= 0)) {
            best = std::fabs(loop[i]) < std::fabs(loop[i - 1]) ? i : i - 1;
            if (best == 0) best = i;
            break;
        }
    std::rotate(loop.begin(), loop.begin() + best, loop.end());
    scale_to_peak(loop, 0.5);
    return loop;
}

// ------------------------------------------------------------------ files --

void put16(std::string& b, uint16_t v) { b += char(v & 0xFF); b += char(v >> 8); }
void put32(std::string& b, uint32_t v) { put16(b, uint16_t(v & 0xFFFF)); put16(b, uint16_t(v >> 16)); }

bool write_wav(const std::filesystem::path& path, const Samples& s) {
    const uint32_t data_bytes = static_cast<uint32_t>(s.size() * 2);
    std::string b;
    b += "RIFF";
    put32(b, 36 + data_bytes);
    b += "WAVEfmt ";
    put32(b, 16);
    put16(b, 1);         // PCM
    put16(b, 1);         // mono
    put32(b, RATE);
    put32(b, RATE * 2);  // bytes per second
    put16(b, 2);         // block align
    put16(b, 16);        // bits per sample
    b += "data";
    put32(b, data_bytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        put16(b, static_cast<uint16_t>(static_cast<int16_t>(q)));
    }
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(b.data(), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(f);
}

std::filesystem::path u8(const char* name) {
    return std::filesystem::path(reinterpret_cast<const char8_t*>(name));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path dir(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    struct Out { const char* name; Samples samples; };
    const Out outs[] = {
        {"駒打音.wav", koma_oto()},
        {"禁止.wav", kinshi()},
        {"その他.wav", sonota()},
        {"BGM.wav", bgm()},
    };
    for (const Out& o : outs)
        if (!write_wav(dir / u8(o.name), o.samples)) {
            std::fprintf(stderr, "cannot write %s\n", (dir / u8(o.name)).string().c_str());
            return 1;
        }
    return 0;
}
