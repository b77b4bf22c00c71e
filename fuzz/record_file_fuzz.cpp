// Fuzz target: the record-file reader, and what the game does with what it
// read.  Any bytes must read as entries that hold only what can stand in a
// position, survive a second trip through the file format unchanged, and
// step through, draw and play on without fault.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "display/move_text.h"
#include "display/screen.h"
#include "engine/engine.h"
#include "port/headless_port.h"
#include "record/entry_line.h"
#include "record/kifu.h"
#include "record/record_file.h"
#include "rules/legality.h"
#include "rules/moves.h"

namespace {

using namespace zemtori;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "record_file_fuzz: %s\n", what);
    std::abort();
}

std::size_t chars(const std::string& s) {
    std::size_t n = 0;
    for (const char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

bool clean(const RecordEntry& e) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (e.BAN[x][y] != 0 && !is_piece(e.BAN[x][y])) return false;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (e.UE_KAZU[k] < 0 || e.UE_KAZU[k] > 99 || e.SITA_KAZU[k] < 0 || e.SITA_KAZU[k] > 99) return false;
        if (e.UE_KOMA[k] < 0 || e.SITA_KOMA[k] > 0) return false;
        if (e.UE_KOMA[k] % 10 != 0 || e.SITA_KOMA[k] % 10 != 0) return false;
    }
    return e.MAN_MAE >= 0 && e.MAN_ATO >= 0 && e.COM_MAE >= 0 && e.COM_ATO >= 0;
}

// The rules and the computer on a position: what a player may do after
// stepping to it and starting a game there.
void play_on(Position pos) {
    nifu_keisan(pos);
    rakka(pos, nullptr);
    mochigoma_rakka(pos, +1, nullptr);
    mochigoma_rakka(pos, -1, nullptr);
    Engine e(pos);
    kiki_keisan(e);
    tsumi_hantei(e);
    oute_hantei(e);
    tsumi_hantei_ue(e);
    com_junbi(e);
    if (com_search(e)) {
        const Candidate& b = e.work.best;
        play_and_fall(pos, b.from_x, b.from_y, b.to_x, b.to_y, b.koma);
    }
    // Every move of the lower side the rules allow, made and left to fall.
    nifu_keisan(pos);
    int tried = 0;
    for (int fx = 1; fx <= 9 && tried < 8; ++fx)
        for (int fy = 1; fy <= 9 && tried < 8; ++fy) {
            const int koma = pos.BAN[fx][fy];
            if (koma > -10) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (idou_kanou(pos, fx, fy, tx, ty, koma) == 1 && tried < 8) {
                        Position p = pos;
                        play_and_fall(p, fx, fy, tx, ty, koma);
                        ++tried;
                    }
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RecordFile file = parse_record_file(bytes);

    check(file.entries.size() <= static_cast<std::size_t>(MAX_RECORD_FILE_ENTRIES), "too many entries");
    for (const std::string* h : {&file.title, &file.ue_player, &file.sita_player}) {
        check(chars(*h) <= MAX_HEADER_CHARS, "header too long");
        std::string encoded;
        if (to_cp932(*h, encoded)) check(from_cp932(encoded) == *h, "header changes on a second trip");
    }
    for (const RecordEntry& e : file.entries) {
        check(clean(e), "an entry holds what cannot stand in a position");
        check(format_entry_line(e).size() == static_cast<std::size_t>(ENTRY_LINE_LENGTH), "line not 333 wide");
    }

    // Written and read again, the entries stay exactly as they were read.
    RecordFile plain = file;
    std::string again;
    int bad = 0;
    if (!format_record_file(plain, again, bad)) {
        plain.title = plain.ue_player = plain.sita_player = "";
        check(format_record_file(plain, again, bad), "empty headers refused");
    }
    const RecordFile back = parse_record_file(again);
    check(back.title == plain.title && back.ue_player == plain.ue_player && back.sita_player == plain.sita_player,
          "headers change on a second trip");
    check(back.entries.size() == plain.entries.size(), "entry count changes on a second trip");
    for (std::size_t i = 0; i < back.entries.size(); ++i)
        check(format_entry_line(back.entries[i]) == format_entry_line(plain.entries[i]),
              "an entry changes on a second trip");

    // Stepping through the record as 進 does: restore, find the move, draw.
    Kifu kifu;
    const int count = static_cast<int>(file.entries.size());
    kifu.load(file.entries);
    HeadlessPort port;
    port.set_menu_checked("KEIKA", true);
    Screen screen(port);
    TurnState turn;
    Position pos;
    for (int n = 1; n <= count && n <= 64; ++n) {
        kifu.restore(n, pos);
        const Ugoki u = kifu.ugoki(n);
        screen.mochigoma_hyouji_sita(pos);
        screen.mochigoma_hyouji_ue(pos);
        screen.ban_hyouji(pos);
        sashite_hyouji(screen, turn, u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code, SHIRO);
        port.ops.clear();
        if (n <= 2) play_on(pos);
    }
    return 0;
}
