// Reading lines of text from a stream, as the command-line tools and the
// engine protocol take their input.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>

namespace zemtori::protocol {

// Reads the next line into `line`, keeping at most `keep` characters of it
// (the rest is skipped, and *cut is set when any of it was not blank); a
// trailing carriage return is dropped.  False at the end of the input when
// nothing was read.
bool read_line(std::istream& in, std::string& line, std::size_t keep = 400, bool* cut = nullptr);

}  // namespace zemtori::protocol
