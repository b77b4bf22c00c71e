// The searching player in the game: the computer's move at level 4 and the
// hint, on the headless window, with node budgets so every run is the same.
#include "play_fixture.h"

#include <random>
#include <tuple>
#include <vector>

#include "rules/board.h"
#include "rules/moves.h"

#include "searcher/compact_position.h"
#include "searcher/alpha_beta.h"

namespace zemtori::test {
namespace {

constexpr searcher::Limits BUDGET{0, 3000, 0};

// What a searching player of the game's own size answers for `pos`.
searcher::RulesMove searched(const Position& pos, int side, searcher::SearchResult* result = nullptr) {
    const searcher::CompactPosition sp = searcher::from_rules(pos, side);
    searcher::Searcher searcher(20);
    const searcher::SearchResult r = searcher.think(sp, BUDGET);
    if (result) *result = r;
    return searcher::to_rules_move(sp, r.best);
}

struct SearchingPlayer : PlayTest {
    void SetUp() override {
        PlayTest::SetUp();
        game.set_search_limits(BUDGET, BUDGET);
    }
    bool checked(const char* item) const { return port.menu_checked(item); }
};

TEST_F(SearchingPlayer, LevelFourIsAFourthItemWithTheOthersCheckMarkAndCaption) {
    game.menu("LEVEL4");
    EXPECT_TRUE(checked("LEVEL4"));
    EXPECT_FALSE(checked("LEVEL3"));
    game.menu("SENTE");
    const std::vector<std::string> t = texts();
    EXPECT_NE(std::find(t.begin(), t.end(), " 4 "), t.end()) << "the level caption";
    game.menu("LEVEL2");
    EXPECT_FALSE(checked("LEVEL4"));
    EXPECT_TRUE(checked("LEVEL2"));
    EXPECT_EQ(game.view().engine.COM_LEVEL, 2);
}

// Every level of the ladder has its item, checked alone, with its number
// in the caption left of the board, and can be changed at any time.
TEST_F(SearchingPlayer, EveryLevelHasItsItemAndCaption) {
    for (int level = 1; level <= 9; ++level) {
        const std::string name = "LEVEL" + std::to_string(level);
        port.ops.clear();
        game.menu(name);
        for (int other = 1; other <= 9; ++other)
            EXPECT_EQ(checked(("LEVEL" + std::to_string(other)).c_str()), other == level) << name;
        EXPECT_EQ(game.view().engine.COM_LEVEL, level);
        if (level == 1) game.menu("SENTE");  // a game against the computer: the caption shows
        const std::vector<std::string> t = texts();
        EXPECT_NE(std::find(t.begin(), t.end(), " " + std::to_string(level) + " "), t.end()) << name;
    }
}

// The hint thinks at full strength whatever the level: at LEVEL4 it frames
// the search's own best move.
TEST_F(SearchingPlayer, TheHintIgnoresTheLevel) {
    game.menu("LEVEL4");
    game.menu("START");  // two people; the lower side moves first
    move(7, 7, 7, 6);
    const Position before = game.view().pos;
    const int side = game.view().turn.TEBAN == game.view().turn.COM_GAWA ? 1 : -1;
    const searcher::RulesMove expected = searched(before, side);
    game.menu("HINT");
    ASSERT_TRUE(game.view().hint.has_value());
    const Sashite& h = *game.view().hint;
    EXPECT_EQ((searcher::RulesMove{h.from_x, h.from_y, h.to_x, h.to_y, h.koma}), expected);
}

// The computer's turn at level 9 (the full searching player) is the turn of
// levels 1-3 with the searching player's move: recorded, blinked, made,
// fallen, shown.
TEST_F(SearchingPlayer, AtLevelNineTheComputerPlaysTheSearchsMoveThroughItsOwnTurn) {
    game.menu("LEVEL9");
    Position opening = game.view().pos;
    rakka(opening, nullptr);  // a start command lets the opening fall first
    searcher::SearchResult r;
    const searcher::RulesMove expected = searched(opening, 1, &r);

    game.menu("GOTE");  // the computer moves first
    const auto& v = game.view();
    ASSERT_EQ(v.kifu.tesu(), 1);
    EXPECT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);
    const Candidate& m = v.com_move;
    EXPECT_EQ((searcher::RulesMove{m.from_x, m.from_y, m.to_x, m.to_y, m.koma}), expected);
    EXPECT_EQ(m.score, r.score);

    searcher::CompactPosition after = searcher::from_rules(opening, 1);
    searcher::make(after, r.best);
    EXPECT_EQ(board_to_text(v.pos), board_to_text(searcher::to_rules_position(after)));
    Position stored;
    v.kifu.restore(0, stored);
    EXPECT_EQ(board_to_text(stored), board_to_text(opening)) << "the position it moved from is recorded";
    EXPECT_EQ(sounds(KOMA_WAV), 1);

    // The person answers, and the computer answers again inside the click.
    move(7, 7, 7, 6);
    EXPECT_EQ(v.kifu.tesu(), 3);
    EXPECT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);
}

// While the searching player thinks the clock goes on, and a request to end
// the program stops the search and leaves the board as it stands.
TEST_F(SearchingPlayer, TheClockRunsWhileItThinksAndEndingStopsItAtOnce) {
    game.menu("KEIKA");  // the clock shown
    game.menu("LEVEL4");
    game.set_search_limits(searcher::Limits{0, 0, 0}, BUDGET);  // thinks until told
    std::vector<int> shown_seconds;
    port.on_keep_alive = [&] {
        if (!game.thinking()) return;  // a pause or a falling step of the pieces
        shown_seconds.push_back(game.view().clock.hyouji_byou());
        port.now += 1.0;  // a second passes while the window waits
        if (shown_seconds.size() == 4) game.closing();
    };
    Position opening = game.view().pos;
    rakka(opening, nullptr);
    game.menu("GOTE");
    EXPECT_EQ(shown_seconds, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(game.thinking());
    EXPECT_TRUE(port.ended);
    EXPECT_EQ(game.view().kifu.tesu(), 0) << "no move after the program began to end";
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(opening));
}

TEST_F(SearchingPlayer, MoveNowPlaysTheBestMoveFoundSoFar) {
    game.menu("LEVEL4");
    game.set_search_limits(searcher::Limits{0, 0, 0}, BUDGET);
    int waits = 0;
    port.on_keep_alive = [&] {
        if (!game.thinking()) return;
        if (++waits == 3) game.move_now();
    };
    game.menu("GOTE");
    EXPECT_EQ(waits, 3);
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_NE(game.view().com_move.koma, 0);
}

// The hint frames the searching player's move for whoever is to move, in a
// colour of its own, until the next click takes the frames away.
TEST_F(SearchingPlayer, TheHintFramesTheSuggestedMoveUntilTheNextClick) {
    game.menu("START");  // two people; the lower side moves first
    move(7, 7, 7, 6);    // now the upper side is to move
    const Position before = game.view().pos;
    const int side = game.view().turn.TEBAN == game.view().turn.COM_GAWA ? 1 : -1;
    const searcher::RulesMove expected = searched(before, side);

    port.ops.clear();
    game.menu("HINT");
    ASSERT_TRUE(game.view().hint.has_value());
    const Sashite& h = *game.view().hint;
    EXPECT_EQ((searcher::RulesMove{h.from_x, h.from_y, h.to_x, h.to_y, h.koma}), expected);
    EXPECT_EQ(outlines(MIZUIRO), 2);
    const Cell from = source_cell(h.from_x, h.from_y), to = square_cell(h.to_x, h.to_y);
    for (const Cell cell : {from, to}) {
        bool framed = false;
        for (const auto& op : port.ops)
            framed |= op.kind == HeadlessPort::OpKind::Outline && op.code == MIZUIRO &&
                      op.x == grid_x(cell.c) && op.y == grid_y(cell.r);
        EXPECT_TRUE(framed) << "cell " << cell.c << "," << cell.r;
    }
    EXPECT_EQ(board_to_text(game.view().pos), board_to_text(before)) << "a hint moves nothing";
    EXPECT_EQ(game.view().kifu.tesu(), 1);

    // The next click repaints both frames in the board's colour.
    port.ops.clear();
    click_cell(from.c, from.r);
    EXPECT_FALSE(game.view().hint.has_value());
    EXPECT_EQ(outlines(MIZUIRO), 0);
    int plain = 0;
    for (const auto& op : port.ops)
        plain += op.kind == HeadlessPort::OpKind::Outline && op.code == game.view().screen.WAKU_IRO &&
                 op.x == grid_x(to.c) && op.y == grid_y(to.r);
    EXPECT_GE(plain, 1);
}

// Against the computer the hint is for the person, and a hint while no game
// runs, after it ended, or in a loaded record is refused with the sound.
TEST_F(SearchingPlayer, TheHintIsRefusedWithoutAGameOfAPerson) {
    game.menu("HINT");
    EXPECT_FALSE(game.view().hint.has_value());
    EXPECT_EQ(sounds(KINSHI_WAV), 1) << "no game yet";

    game.menu("SENTE");
    game.menu("HINT");
    ASSERT_TRUE(game.view().hint.has_value());
    EXPECT_EQ(game.view().hint->koma < 0, true) << "the person plays the lower side";
    EXPECT_EQ(sounds(KINSHI_WAV), 1);

    // The person takes a king: the game is over.
    edit_position([](Position& p) { p.BAN[6][6] = OU; });
    move(6, 7, 6, 6);
    ASSERT_NE(game.view().turn.SHOSHA, NASHI);
    game.menu("HINT");
    EXPECT_FALSE(game.view().hint.has_value());
    EXPECT_EQ(sounds(KINSHI_WAV), 2);

    read_back_record();  // a loaded record, being stepped through
    ASSERT_TRUE(game.view().kifu.kifu_mode());
    game.menu("HINT");
    EXPECT_FALSE(game.view().hint.has_value());
    EXPECT_EQ(sounds(KINSHI_WAV), 3);
}

// ヒント thinks on a table of its own: what the computer thought in between
// changes nothing of its answers.  A game against LEVEL9 with a hint at each
// of the person's turns, and the same moves replayed between two people
// with the same hints asked, give the same hints at a fixed budget.  And a
// new game forgets what the last one's hints found.
TEST_F(SearchingPlayer, TheHintDoesNotDependOnWhatWasThoughtBeforeIt) {
    using Move5 = std::tuple<int, int, int, int, int>;
    const auto as_tuple = [](const Sashite& m) { return Move5{m.from_x, m.from_y, m.to_x, m.to_y, m.koma}; };
    game.fix_level_seed(1);
    game.menu("LEVEL9");
    game.menu("SENTE");
    std::vector<Move5> hints_against_computer;
    std::mt19937 rng(3);
    for (int turn = 0; turn < 8 && game.view().turn.SHOSHA == NASHI; ++turn) {
        game.menu("HINT");
        ASSERT_TRUE(game.view().hint.has_value());
        hints_against_computer.push_back(as_tuple(*game.view().hint));
        // The person plays a seeded move of a pawn, or else the hint's.
        const Sashite h = *game.view().hint;
        game.menu("STOP");
        const Position& p = game.view().pos;
        std::vector<int> pawns;
        for (int x = 1; x <= 9; ++x)
            if (p.BAN[x][7] == -HU && p.BAN[x][6] == 0) pawns.push_back(x);
        if (!pawns.empty()) {
            const int x = pawns[rng() % pawns.size()];
            move(x, 7, x, 6);
        } else if (is_drop(h.from_x)) {
            click_cell(11, h.from_y);
            click(h.to_x, h.to_y);
        } else {
            move(h.from_x, h.from_y, h.to_x, h.to_y, h.koma != p.BAN[h.from_x][h.from_y] ? MIGI_BUTTON : HIDARI_BUTTON);
        }
    }
    ASSERT_GE(hints_against_computer.size(), 4u);

    // The same moves between two people, from the record, with a hint asked
    // before each of the lower side's moves.
    HeadlessPort people_port;
    RecordingSound people_sound;
    Game people{people_port, people_sound};
    people.settings_file = settings.file();
    people.load();
    people.set_search_limits(BUDGET, BUDGET);
    people.menu("START");
    std::vector<Move5> hints_between_people;
    const Kifu& record = game.view().kifu;
    const auto click_at = [&](int c, int r, int button) {
        people.mouse_down(button, grid_x(c) + MASU_HABA / 2.0, grid_y(r) + MASU_TAKASA / 2.0);
    };
    for (int n = 1; n <= record.kifu_tesu() && hints_between_people.size() < hints_against_computer.size(); ++n) {
        const EntryMove& m = record.entry_move(n);
        ASSERT_TRUE(m.known);
        if (m.mover < 0) {
            people.menu("HINT");
            ASSERT_TRUE(people.view().hint.has_value());
            hints_between_people.push_back(as_tuple(*people.view().hint));
            people.menu("STOP");
        }
        const Sashite& s = m.move;
        const Position& p = people.view().pos;
        const Cell from = source_cell(s.from_x, s.from_y);
        click_at(from.c, from.r, HIDARI_BUTTON);
        const bool promoted = !is_drop(s.from_x) && s.koma != p.BAN[s.from_x][s.from_y];
        click_at(s.to_y, s.to_x, promoted ? MIGI_BUTTON : HIDARI_BUTTON);
        ASSERT_EQ(people.view().kifu.kifu_tesu(), n) << "move " << n << " replayed";
    }
    EXPECT_EQ(hints_between_people, hints_against_computer);

    // A new game forgets the hints of the last: the first hint of the game
    // replayed from its start is the first hint of a window that never
    // thought before.
    people.menu("CANCEL");
    people.menu("START");
    people.menu("HINT");
    ASSERT_TRUE(people.view().hint.has_value());
    EXPECT_EQ(as_tuple(*people.view().hint), hints_against_computer.front());
}

}  // namespace
}  // namespace zemtori::test
