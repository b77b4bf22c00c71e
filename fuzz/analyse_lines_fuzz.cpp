// Fuzz target: the position lines of zemtori-analyse.  Any input must give
// every command one answer per line, without fault.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "commands.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "analyse_lines_fuzz: %s\n", what);
    std::abort();
}

// Lines as the tool reads them, and lines of its answers.
std::size_t lines_in(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    std::size_t n = 0;
    while (zemtori::analyse::read_line(in, line)) ++n;
    return n;
}

std::size_t count_of(const std::string& text, const std::string& word) {
    std::size_t n = 0;
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1))
        n += at == 0 || text[at - 1] == '\n';
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace a = zemtori::analyse;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t lines = lines_in(input);
    {
        std::istringstream in(input);
        std::ostringstream out;
        a::fall(in, out);
        const std::string answers = out.str();
        check(static_cast<std::size_t>(std::count(answers.begin(), answers.end(), '\n')) == lines,
              "fall: not one answer per line");
    }
    {
        std::istringstream in(input);
        std::ostringstream out;
        a::mate(in, out);
        check(count_of(out.str(), "tsumi ") == lines, "mate: not one answer per line");
    }
    for (const int side : {+1, -1}) {
        std::istringstream in(input);
        std::ostringstream out;
        a::moves(in, out, side);
        check(count_of(out.str(), "end\n") == lines, "moves: not one end per line");
    }
    // The search is slower: the first few lines, at a level the input picks.
    std::istringstream head_in(input);
    std::string head, line;
    for (int i = 0; i < 4 && a::read_line(head_in, line); ++i) head += line + '\n';
    std::istringstream in(head);
    std::ostringstream out;
    a::think(in, out, 1 + static_cast<int>(size % 3), size % 2 == 0);
    check(count_of(out.str(), "best ") + count_of(out.str(), "none\n") == lines_in(head),
          "think: not one answer per line");
    return 0;
}
