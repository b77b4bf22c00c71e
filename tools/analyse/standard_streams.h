// The standard streams of zemtori-analyse, made safe for a program that
// writes all it finds to a pipe or a file.
#pragma once

#include <cstdint>

namespace zemtori::analyse {

// Called once at the start of main, after sync_with_stdio(false):
// - a closed standard input reads as an empty one, and a closed standard
//   output or error keeps its number, so no file the program opens later
//   takes its place;
// - std::cin reads standard input itself: a read that fails (a folder in its
//   place, a device error) ends the program with a message on standard error
//   and the status 1;
// - std::cout writes standard output itself: a write that fails (a full disk,
//   a closed output, a reader that has gone away while SIGPIPE is ignored)
//   ends the program the same way.  Every flush is such a write, so a command
//   that flushes each answer stops at the first answer that is lost.
void guard_standard_streams();

}  // namespace zemtori::analyse
