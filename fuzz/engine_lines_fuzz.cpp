// Fuzz target: the lines of the engine protocol's server.  Whatever comes, the
// engine answers only with the lines of its protocol, at most one bestmove
// for every go, and never faults.  Every input line is followed by stop, so
// a search lasts a moment; the table is kept at 1 MB.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "protocol/engine.h"
#include "protocol/lines.h"

namespace {

void check(bool ok, const char* what, const std::string& line) {
    if (ok) return;
    std::fprintf(stderr, "engine_lines_fuzz: %s: %s\n", what, line.c_str());
    std::abort();
}

bool starts(const std::string& line, const char* prefix) { return line.rfind(prefix, 0) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace p = zemtori::protocol;
    std::istringstream raw(std::string(reinterpret_cast<const char*>(data), size));
    std::string input = "setoption name Hash value 1\n", line;
    int gos = 0;
    while (p::read_line(raw, line, 1 << 20)) {
        if (line.find("setoption") != std::string::npos) continue;  // a larger table only costs time
        gos += line.find("go") != std::string::npos;
        input += line + "\nstop\n";
    }
    std::istringstream in(input);
    std::ostringstream out;
    p::serve(in, out);

    std::istringstream answers(out.str());
    int bestmoves = 0;
    while (std::getline(answers, line)) {
        check(starts(line, "id ") || starts(line, "option ") || line == "usiok" || line == "readyok" ||
                  starts(line, "info ") || starts(line, "bestmove "),
              "a line outside the protocol", line);
        if (!starts(line, "bestmove ")) continue;
        ++bestmoves;
        const std::string move = line.substr(9);
        int commas = 0;
        for (const char c : move) commas += c == ',';
        check(move == "resign" || commas == 4, "a bestmove that is no move", line);
    }
    check(bestmoves <= gos, "more bestmoves than go lines", out.str());
    return 0;
}
