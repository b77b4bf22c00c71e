// Fuzz target: the searching player on any position a record file or a
// position line can hold, for either side.  Every move it generates must
// make without fault, and a short search must answer with one of those
// moves (or none when there is none) within a node or two of its budget.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "protocol/lines.h"
#include "record/entry_line.h"
#include "searcher/compact_position.h"
#include "searcher/alpha_beta.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "search_fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace s = zemtori::searcher;
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::istringstream in(input);
    std::string line;
    for (int i = 0; i < 2 && zemtori::protocol::read_line(in, line); ++i) {
        const zemtori::Position rules = zemtori::position_from_entry_line(line);
        for (const int side : {+1, -1}) {
            const s::CompactPosition root = s::from_rules(rules, side);
            s::MoveList list;
            s::generate(root, list);
            for (int k = 0; k < list.size; ++k) {
                s::CompactPosition p = root;
                s::make(p, list.moves[k]);
                check(p.side == -root.side, "the side to move did not change");
            }
            s::Searcher searcher(10);  // a small table: a fresh one for every input
            constexpr int64_t budget = 400;
            const s::SearchResult r = searcher.think(root, s::Limits{0, budget, 0});
            check(r.nodes <= budget + 2, "the node budget was overrun");
            bool found = r.best.is_null();
            for (int k = 0; !found && k < list.size; ++k) found = list.moves[k] == r.best;
            check(found, "the search chose a move it does not generate");
            check(r.best.is_null() == (list.size == 0), "no move chosen although there are moves");
        }
    }
    return 0;
}
