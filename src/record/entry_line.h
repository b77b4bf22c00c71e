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

#include "record/entry.h"

namespace zemtori {

constexpr int ENTRY_LINE_LENGTH = 333;

// One field: the characters of `line` from the 0-based column `start`, at
// most `width` of them.  Leading blanks are skipped; then an optional sign and
// digits followed only by blanks make the value, anything else reads 0.
int read_field(std::string_view line, std::size_t start, std::size_t width);

// Reads every field of an entry line exactly as written, before any check;
// never reads outside `line`.
RecordEntry parse_entry_line(std::string_view line);

// Writes the 333-character line; times as their whole seconds.  A value too
// wide for its field is written as the nearest value that fits (a time of
// 100000 seconds or more as 99999), so the line always has 333 columns.
std::string format_entry_line(const RecordEntry& entry);

// Clears what cannot stand in a position, the way a tolerant reader would: a
// board or hand code that is not a piece becomes an empty square or slot (a
// hand slot must hold a plain code of its own side), and so does a slot whose
// count lies outside 0..99.
void keep_only_pieces(RecordEntry& entry);

// The position of an entry line as the command-line tools and the engine
// protocol read one: what cannot stand in a position reads as empty (as
// keep_only_pieces leaves it); flags and kings' squares 0.
Position position_from_entry_line(std::string_view line);

// The board and hands of `pos` as an entry line, times 0.
std::string entry_line_of(const Position& pos);

}  // namespace zemtori
