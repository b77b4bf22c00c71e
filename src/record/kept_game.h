// A game kept over the end of the program: written when the program ends with
// a game in progress (or a record being stepped through), offered again at
// the next start.  The file is UTF-8 text, lines ended by LF:
//
//   zemtori kept game 1
//   level L
//   sides M                      the person's side value (+1 先手, -1 後手)
//   turn T computer C winner W paused P
//   handicap R S                 the rung (-10..10) and whether it was set
//   clock MAN COM RUNNING        seconds: both totals, the running turn
//   record SHOWN LAST BEFORE TURNED BROWSING PLAYED
//   title TEXT / upper TEXT / lower TEXT   a record's header read from a file
//   board LINE                   the position on the board, an entry line
//   entry LINE T1 T2 T3 T4 move FX FY TX TY KOMA KNOWN MOVER WINNER
//                                one per record entry 0, 1, … (LINE the 333
//                                columns of a record file's entry line, then
//                                its four times exactly and the move that
//                                led to it)
//   end CHECK                    16 hex digits: a check sum of every byte
//                                before this line
//
// Reading is strict: a file that is cut short, has a byte changed, comes
// from anything else or holds a value the game cannot stand in is refused
// whole.  Nothing here touches the disk.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "record/entry.h"
#include "record/kifu.h"

namespace zemtori {

// The kept game is read whole into memory, up to this size (a record of the
// longest a record file can hold fits with room to spare).
constexpr std::size_t MAX_KEPT_GAME_BYTES = 64 * 1024 * 1024;
// Record entries a kept game may hold.
constexpr int MAX_KEPT_ENTRIES = 100000;
// The largest number the level line may hold (a level the game does not
// offer leaves the level chosen as it is).
constexpr int MAX_KEPT_LEVEL_NUMBER = 99;

struct KeptGame {
    KifuWhole record;
    RecordEntry board;  // the position on the board (its times unused)
    int man_side = GOTE_GAWA;  // the person's side value; the upper side's player has the other
    int to_move = NASHI;       // NASHI: no game started
    bool against_computer = false;
    int winner = NASHI;
    bool paused = false;  // stepped through the record: the next click resumes play
    int level = 3;
    int handicap_rung = 0;
    bool handicap_set = false;
    double man_total = 0, com_total = 0;  // seconds over finished turns
    double running = 0;                   // seconds of the turn running at the end
    std::string title, upper_name, lower_name;
};

// The bytes of the file.
std::string kept_game_bytes(const KeptGame& game);
// What the bytes hold; nothing when they are not a whole kept game.
std::optional<KeptGame> read_kept_game(std::string_view bytes);
// The bytes begin with the first line of a kept game of another format than
// this one ("zemtori kept game N", N another number), as another version of
// the game writes: not damaged, only not for this version to read or replace.
bool from_other_version(std::string_view bytes);

}  // namespace zemtori
