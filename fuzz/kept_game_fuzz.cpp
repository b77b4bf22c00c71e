// The kept game's reader on any bytes: it answers without failing; and since
// bytes that are changed anywhere fail its check sum, the input is also read
// signed as the writer signs it, so that every line past the check is
// reached.  What it reads is written again and reads back the same, and the
// record put back from it is stepped through end to end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "record/kept_game.h"
#include "record/kifu.h"

namespace {

// The file's check sum, as its writer makes it: FNV-1a over every byte
// before the "end" line, 16 hex digits.
std::string signed_file(std::string_view body) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const char c : body) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    static constexpr char DIGITS[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i, h >>= 4) hex[static_cast<std::size_t>(i)] = DIGITS[h & 15];
    return std::string(body) + "end " + hex + "\n";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace zemtori;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)read_kept_game(bytes);
    std::string_view body = bytes;
    const std::size_t end = body.rfind("end ");
    if (end != std::string_view::npos) body = body.substr(0, end);
    const std::optional<KeptGame> read = read_kept_game(signed_file(body));
    if (!read) return 0;

    const KifuWhole& r = read->record;
    if (r.shown < 0 || r.last < 0 || r.entries.size() != r.moves.size() ||
        r.entries.size() != static_cast<std::size_t>((r.shown > r.last ? r.shown : r.last) + 1))
        std::abort();
    const std::string again = kept_game_bytes(*read);
    const std::optional<KeptGame> back = read_kept_game(again);
    if (!back || kept_game_bytes(*back) != again) std::abort();

    Kifu kifu;
    kifu.bring_back(r);
    if (kifu.kifu_tesu() != r.shown || kifu.kifu_saigo() != r.last) std::abort();
    while (kifu.can_step_back()) kifu.step_back();
    for (;;) {
        const int n = kifu.kifu_tesu();
        (void)kifu.ugoki(n);
        (void)kifu.to_move(n);
        Position p;
        kifu.restore(n, p);
        if (!kifu.can_step_forward()) break;
        kifu.step_forward();
    }
    return 0;
}
