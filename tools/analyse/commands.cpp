#include "commands.h"

#include <cstdio>
#include <functional>
#include <istream>
#include <ostream>

#include "engine/engine.h"
#include "record/entry_line.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "splitmix.h"

namespace zemtori::analyse {

namespace {

void print(std::ostream& out, const char* fmt, int a, int b, int c, int d, int e, double score) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c, d, e, score);
    out << buf << '\n';
}

class PrintingSink : public CandidateSink {
public:
    explicit PrintingSink(std::ostream& out) : out_(out) {}
    void scored(const Candidate& c) override {
        print(out_, "cand %d %d %d %d %d %.4f", c.from_x, c.from_y, c.to_x, c.to_y, c.koma, c.score);
    }

private:
    std::ostream& out_;
};

bool both_kings(const Position& pos) {
    bool ue = false, sita = false;
    for (int x = 1; x <= 9; ++x) {
        for (int y = 1; y <= 9; ++y) {
            ue = ue || pos.BAN[x][y] == OU;
            sita = sita || pos.BAN[x][y] == -OU;
        }
    }
    return ue && sita;
}

constexpr int MAX_PLIES = 200;

}  // namespace

Position read_position(const std::string& line) { return position_from_entry_line(line); }

std::string entry_line(const Position& pos) { return entry_line_of(pos); }

void think(std::istream& in, std::ostream& out, int level, bool all) {
    std::string line;
    PrintingSink sink(out);
    while (read_line(in, line)) {
        Position pos = read_position(line);
        Engine e(pos);
        e.COM_LEVEL = level;
        if (all) e.sink = &sink;
        // As in the game: the maps and the mate test of the upper king run
        // after the human's move, before the computer's turn.
        kiki_keisan(e);
        tsumi_hantei_ue(e);
        com_junbi(e);
        if (com_search(e)) {
            const Candidate& b = e.work.best;
            print(out, "best %d %d %d %d %d %.4f", b.from_x, b.from_y, b.to_x, b.to_y, b.koma,
                  e.work.SAIZEN_TEN);
        } else {
            out << "none\n";
        }
    }
}

void fall(std::istream& in, std::ostream& out) {
    std::string line;
    while (read_line(in, line)) {
        Position pos = read_position(line);
        const int steps = rakka(pos, nullptr);
        mochigoma_rakka(pos, +1, nullptr);
        mochigoma_rakka(pos, -1, nullptr);
        out << entry_line(pos) << ' ' << steps << '\n';
    }
}

void mate(std::istream& in, std::ostream& out) {
    std::string line;
    while (read_line(in, line)) {
        Position pos = read_position(line);
        Engine e(pos);
        kiki_keisan(e);
        const int t = tsumi_hantei(e);
        const int o = oute_hantei(e);
        const int u = tsumi_hantei_ue(e);
        out << "tsumi " << t << " oute " << o << " tsumi_ue " << u << '\n';
    }
}

void legal_moves(const Position& pos, int side, std::vector<Move>& list) {
    list.clear();
    for (int fx = 1; fx <= 9; ++fx) {
        for (int fy = 1; fy <= 9; ++fy) {
            const int koma = pos.BAN[fx][fy];
            if (koma * side < 10) continue;
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty)
                    if (idou_kanou(pos, fx, fy, tx, ty, koma) == 1) list.push_back({fx, fy, tx, ty, koma});
        }
    }
    const int* koma = side > 0 ? pos.MOCHI_UE_KOMA : pos.MOCHI_SITA_KOMA;
    const int* kazu = side > 0 ? pos.MOCHI_UE_KAZU : pos.MOCHI_SITA_KAZU;
    const int fx = side > 0 ? UE_TE_X : SITA_TE_X;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        if (kazu[k] <= 0) continue;
        const int fy = side > 0 ? k : k + 2;
        for (int tx = 1; tx <= 9; ++tx)
            for (int ty = 1; ty <= 9; ++ty)
                if (idou_kanou(pos, fx, fy, tx, ty, koma[k]) == 1) list.push_back({fx, fy, tx, ty, koma[k]});
    }
}

void moves(std::istream& in, std::ostream& out, int side) {
    std::string line;
    std::vector<Move> list;
    while (read_line(in, line)) {
        Position pos = read_position(line);
        nifu_keisan(pos);
        legal_moves(pos, side, list);
        for (const Move& m : list)
            out << "move " << m.from_x << ' ' << m.from_y << ' ' << m.to_x << ' ' << m.to_y << ' '
                << m.koma << '\n';
        out << "end\n";
    }
}

void random_positions(std::uint64_t seed, int count, const std::function<void(const Position&)>& take) {
    int found = 0;
    SplitMix64 rng{seed};
    std::vector<Move> list;
    while (found < count) {
        // A new game: the settled opening, the lower side moving first.
        Position pos = settled_opening();
        int side = -1;
        for (int ply = 0; ply < MAX_PLIES && found < count; ++ply) {
            nifu_keisan(pos);
            legal_moves(pos, side, list);
            if (list.empty()) break;
            const Move m = list[rng.below(static_cast<int>(list.size()))];
            int placed = m.koma;
            int promoted = 0;
            if (nari_hantei(m.from_x, m.from_y, m.to_x, m.to_y, m.koma, &promoted) == 1 &&
                (funari_kanou(m.to_y, m.koma) == 0 || rng.below(2) == 1))
                placed = promoted;
            if (play_and_fall(pos, m.from_x, m.from_y, m.to_x, m.to_y, placed).took_king())
                break;  // a king was taken: start again
            side = -side;
            if (side > 0 && both_kings(pos)) {
                ++found;
                take(pos);
            }
        }
    }
}

// Each line goes out as soon as its position is found: a million lines need
// no more memory than one, and the first ones show at once.
void gen(std::ostream& out, std::uint64_t seed, int count) {
    random_positions(seed, count, [&out](const Position& pos) { out << entry_line(pos) << '\n'; });
}

}  // namespace zemtori::analyse
