// The fixed-column entry line of a record file: one position with both hands
// and four times, 333 characters.
//
//   columns   1-243  the 81 board codes, x = 1..9 outer, y = 1..9 inner, 3 each
//   columns 244-313  for slot k = 1..7: lower code (3), upper code (3),
//                    lower count (2), upper count (2)
//   columns 314-333  four times of 5 columns each, whole seconds
//
// Every field is a decimal integer right-aligned with blanks.  Reading ignores
// leading blanks; a field that is empty, missing (short line) or not a number
// reads 0, and characters past column 333 are ignored.
#pragma once

#include <string>
#include <string_view>

#include "rules/state.h"

namespace zemtori {

constexpr int ENTRY_LINE_LENGTH = 333;

// The fields of one entry line exactly as written, before any check.
struct EntryLine {
    int BAN[10][10] = {};
    int SITA_KOMA[8] = {};  // slots 1..7
    int UE_KOMA[8] = {};
    int SITA_KAZU[8] = {};
    int UE_KAZU[8] = {};
    int MAN_MAE = 0, MAN_ATO = 0, COM_MAE = 0, COM_ATO = 0;
};

// One field: the characters of `line` from the 0-based column `start`, at
// most `width` of them.  Leading blanks are skipped; then an optional sign and
// digits followed only by blanks make the value, anything else reads 0.
int read_field(std::string_view line, std::size_t start, std::size_t width);

// Reads every field of an entry line; never reads outside `line`.
EntryLine parse_entry_line(std::string_view line);

// Writes the 333-character line.  A value too wide for its field is written
// in full, so later columns shift; the rules never produce one.
std::string format_entry_line(const EntryLine& entry);

// The position of an entry, read the way a tolerant reader would: a board or
// hand code that is not a piece reads as an empty square or slot (a hand slot
// must hold a plain code of its own side), a count outside 0..99 reads 0, and
// each hand total is the sum of its counts.  Flags and kings' squares stay 0.
Position position_from_entry(const EntryLine& entry);

// The board and hands of `pos` as an entry with the given times.
EntryLine entry_from_position(const Position& pos, int man_mae = 0, int man_ato = 0,
                              int com_mae = 0, int com_ato = 0);

}  // namespace zemtori
