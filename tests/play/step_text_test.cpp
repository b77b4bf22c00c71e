// The text of a step through the record is the move that was played: for a
// game in memory and for the same game read back from its file, where the
// moves are found again from the positions.
#include "play_fixture.h"

#include <algorithm>
#include <cstdint>

#include "display/move_text.h"
#include "rules/legality.h"
#include "rules/moves.h"

namespace zemtori::test {
namespace {

struct StepText : PlayTest {
    // The texts a move's words print: column digit, row numeral and piece
    // name, each in black and then in its colour.
    static std::vector<std::string> words(int x, int y, int code) {
        std::vector<std::string> w;
        for (const std::string& text : {moji_henkan(10 - y), moji_henkan(1000 + x), moji_henkan(code)}) {
            w.push_back(text);
            w.push_back(text);
        }
        return w;
    }
    bool printed(const std::vector<std::string>& w) const {
        const std::vector<std::string> t = texts();
        return std::search(t.begin(), t.end(), w.begin(), w.end()) != t.end();
    }
    bool tiled(double c, double r) const {
        return port.picture_at_twips(grid_x(c), grid_y(r)) == game.view().screen.haikei();
    }

    std::uint32_t seed = 12345;
    std::uint32_t next() {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    }

    // One move or drop of the side to move, chosen at random among those the
    // rules allow that take no king, made with the mouse and the button that
    // gives it.  Returns the move as played, or nothing when there is none.
    std::optional<Sashite> random_move() {
        const TurnState& turn = game.view().turn;
        Position p = game.view().pos;
        nifu_keisan(p);
        const bool upper = turn.TEBAN == turn.COM_GAWA;
        struct Choice { int fx, fy, tx, ty, koma; };
        std::vector<Choice> list;
        const auto targets = [&](int fx, int fy, int koma) {
            for (int tx = 1; tx <= 9; ++tx)
                for (int ty = 1; ty <= 9; ++ty) {
                    const int t = p.BAN[tx][ty];
                    if (t == OU || t == -OU || (t != 0 && (t > 0) == upper)) continue;
                    if (idou_kanou(p, fx, fy, tx, ty, koma) == 1) list.push_back({fx, fy, tx, ty, koma});
                }
        };
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y)
                if (p.BAN[x][y] != 0 && (p.BAN[x][y] > 0) == upper && std::abs(p.BAN[x][y]) >= 10) targets(x, y, p.BAN[x][y]);
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            if (upper && p.MOCHI_UE_KAZU[k] > 0) targets(UE_TE_X, k, p.MOCHI_UE_KOMA[k]);
            if (!upper && p.MOCHI_SITA_KAZU[k] > 0) targets(SITA_TE_X, k + 2, p.MOCHI_SITA_KOMA[k]);
        }
        if (list.empty()) return std::nullopt;
        const Choice c = list[next() % list.size()];
        int button = next() % 2 == 0 ? HIDARI_BUTTON : MIGI_BUTTON;
        if (funari_kanou(c.ty, c.koma) == 0) button = MIGI_BUTTON;
        if (is_drop(c.fx)) click_cell(c.fx, c.fy);
        else click(c.fx, c.fy);
        click(c.tx, c.ty, button);
        return turn.SASHITE;
    }
};

// A move whose piece rises one square and falls back changes nothing on the
// board; its step still names it, and 戻 over it erases the text of the side
// that made it.
TEST_F(StepText, AMoveThatChangesNothingIsStillNamed) {
    game.menu("START");
    edit_position([](Position& p) {
        for (int x = 1; x <= 9; ++x)
            for (int y = 1; y <= 9; ++y) p.BAN[x][y] = 0;
        p.BAN[9][1] = OU;
        p.BAN[9][9] = -OU;
    });
    move(9, 9, 8, 9);  // the lower king rises and falls back
    move(9, 1, 8, 1);  // so does the upper king
    ASSERT_EQ(game.view().kifu.tesu(), 2);

    // A text is erased by tiling its area.
    port.clear();
    game.menu("REPLAY");
    EXPECT_TRUE(tiled(-1, 8)) << "the upper side's text goes with its move";
    EXPECT_FALSE(tiled(12, 2));
    port.clear();
    game.menu("REPLAY");
    EXPECT_TRUE(tiled(12, 2));
    port.clear();
    game.menu("AFTER");
    EXPECT_TRUE(printed(words(8, 9, -OU)));
    const std::vector<std::string> t = texts();
    EXPECT_EQ(std::find(t.begin(), t.end(), "歩"), t.end()) << "no stray pawn";
    port.clear();
    game.menu("AFTER");
    EXPECT_TRUE(printed(words(8, 1, OU)));
}

// A whole game of random moves, drops, captures and promotions between two
// people: every step forward writes the move as it was played, in memory and
// once the game has been read back from its file, and the file's record
// knows which side made each move.
TEST_F(StepText, EveryStepOfAGameNamesItsMoveInMemoryAndFromItsFile) {
    for (const std::uint32_t s : {1u, 2u, 3u}) {
        SCOPED_TRACE(s);
        seed = s;
        game.menu("CANCEL");
        game.menu("START");
        std::vector<Sashite> played;
        while (played.size() < 80) {
            const std::optional<Sashite> m = random_move();
            if (!m) break;
            ASSERT_EQ(game.view().kifu.tesu(), static_cast<int>(played.size()) + 1);
            played.push_back(*m);
        }
        const int count = static_cast<int>(played.size());
        ASSERT_GE(count, 40);

        for (int n = 0; n < count; ++n) game.menu("REPLAY");
        for (int n = 1; n <= count; ++n) {
            const Sashite& m = played[static_cast<std::size_t>(n - 1)];
            port.clear();
            game.menu("AFTER");
            EXPECT_TRUE(printed(words(m.to_x, m.to_y, m.koma))) << "move " << n;
        }

        read_back_record();
        int found = 0;
        for (int n = 1; n <= count; ++n) {
            const Sashite& m = played[static_cast<std::size_t>(n - 1)];
            const EntryMove& e = game.view().kifu.entry_move(n);
            EXPECT_EQ(e.mover, m.koma > 0 ? 1 : -1) << "move " << n;
            port.clear();
            game.menu("AFTER");
            // 先手 (the lower side) made the first move.
            EXPECT_EQ(game.view().turn.TEBAN, n % 2 == 0 ? SENTE_GAWA : GOTE_GAWA) << "move " << n;
            if (!e.known) {
                // Several moves give this position (pieces of a kind in one
                // column close up alike, whichever of them left): the first
                // square that changed is named.
                const Ugoki u = game.view().kifu.ugoki_kensaku(n);
                if (u.code != 0) {
                    EXPECT_TRUE(printed(words(u.x, u.y, u.code))) << "move " << n;
                }
                continue;
            }
            ++found;
            EXPECT_TRUE(printed(words(m.to_x, m.to_y, m.koma))) << "move " << n;
        }
        EXPECT_GE(found, count / 3);
    }
}

}  // namespace
}  // namespace zemtori::test
