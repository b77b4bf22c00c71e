// The searching player behind a line protocol in the manner of the shogi
// engines' USI, with this game's own positions and moves: what
// `zemtori-analyse engine` runs, and what a program that drives engines (or
// match's `engine:PATH` player) speaks to.
//
// A move is written as five integers joined by commas, FX,FY,TX,TY,KOMA, as
// `moves` and `best` write them for the side that makes it: a drop from the
// upper hand has FX -1 and the slot as FY, one from the lower hand FX 11 and
// the slot + 2; KOMA is the code that stands on the destination afterwards
// (negative for the lower side).
//
// The commands it reads, one a line:
//   usi                       id name, id author, its options, usiok
//   isready                   readyok (the table is made here)
//   setoption name Hash value MB
//   usinewgame                a new game: the table is emptied
//   gameover ...              the search, if any, is stopped
//   position startpos [side upper|lower] [moves M ...]
//   position entry <the 333 columns of an entry line> side upper|lower
//            [ply N] [moves M ...]
//                             N: the plies played before the entry (0 when
//                             not given); what a repetition costs grows
//                             with the plies of the whole game
//   go [depth D] [nodes N] [movetime MS] [btime MS] [wtime MS] [byoyomi MS]
//      [binc MS] [winc MS] [infinite]
//   stop, quit, d (the position as an info string)
// The lower side (先手) holds btime and binc, the upper side wtime and winc.
// A time is at most a day (86400000 ms).
//
// The input is read on a thread of its own, so a `stop` or `quit` is seen
// while a search runs, even one that a later `go` waits for; the end of the
// input stops a search at once.  A wrong line is answered by an
// "info string error: ..." line that shows the word it names as printable
// text of at most 40 characters.
#pragma once

#include <iosfwd>

namespace zemtori::protocol {

// Reads commands from `in` until `quit` or the end of the input, writing
// and flushing every answer line on `out`.
void serve(std::istream& in, std::ostream& out);

}  // namespace zemtori::protocol
