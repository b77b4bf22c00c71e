// What the record-file commands share with their tests.
#pragma once

#include <string>

namespace zemtori {

// The extension of a record file.
inline constexpr const char* KIFU_EXTENSION = ".棋譜";

// X in twips that centres `text` over the board the way the names of a read
// record are placed: BAN_X0 + (3 + (13 - L) / 5) * MASU_HABA for a text of L
// characters.
double chuuou_x(const std::string& text);

}  // namespace zemtori
