// A game interrupted at the wrong moment: the window closed at every wait of
// every animation (each blink, pause and falling step), while a box waits,
// while a question before a game is given up waits.  Whatever was under way,
// the game kept is a settled position of its record with its own side to
// move, and it plays on once it is brought back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "play_fixture.h"
#include "record/kept_game.h"
#include "rules/legality.h"

namespace zemtori {
namespace {

using test::PlayTest;

std::string file_bytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A piece of the side to move and a square it may move to, chosen by `rng`;
// the right button where the move must promote, else either button.
struct RandomMover {
    std::mt19937 rng;

    // False when the side to move has no board move.
    bool move(PlayTest& t) {
        const TurnState& turn = t.game.view().turn;
        const Position& pos = t.game.view().pos;
        const bool lower = turn.TEBAN == turn.MAN_GAWA;
        struct Choice {
            int fx, fy, tx, ty, koma;
        };
        std::vector<Choice> choices;
        for (int fx = 1; fx <= 9; ++fx)
            for (int fy = 1; fy <= 9; ++fy) {
                const int koma = pos.BAN[fx][fy];
                if (koma == 0 || (koma < 0) != lower) continue;
                for (int tx = 1; tx <= 9; ++tx)
                    for (int ty = 1; ty <= 9; ++ty) {
                        const int there = pos.BAN[tx][ty];
                        if (there != 0 && (there < 0) == lower) continue;
                        if (idou_kanou(pos, fx, fy, tx, ty, koma) == 1) choices.push_back({fx, fy, tx, ty, koma});
                    }
            }
        if (choices.empty()) return false;
        const Choice c = choices[rng() % choices.size()];
        const bool must_promote = funari_kanou(c.ty, c.koma) == 0;
        t.move(c.fx, c.fy, c.tx, c.ty, must_promote || rng() % 2 ? MIGI_BUTTON : HIDARI_BUTTON);
        return true;
    }
};

struct Interruptions : PlayTest {
    // The kept game is made durable on the disk at every close; where the
    // machine has a folder in memory the hundreds of closes below use it.
    Interruptions() {
        const std::filesystem::path shm = "/dev/shm";
        std::error_code ec;
        if (std::filesystem::is_directory(shm, ec)) {
            std::string name = (shm / "zemtori-state-XXXXXX").string();
            if (::mkdtemp(name.data())) memory_folder = name;
        }
        game.state_folder = memory_folder.empty() ? settings.dir / "state" : memory_folder;
    }
    ~Interruptions() override {
        std::error_code ec;
        if (!memory_folder.empty()) std::filesystem::remove_all(memory_folder, ec);
    }
    std::filesystem::path memory_folder;

    std::filesystem::path kept_file() const { return game.kept_game_file(); }

    // The game kept in the state folder, brought back on a fresh window.
    struct Next {
        test::SettingsFolder settings;
        HeadlessPort port;
        test::RecordingSound sound;
        Game game{port, sound};
    };
    std::unique_ptr<Next> bring_back() const {
        auto next = std::make_unique<Next>();
        next->settings.write_plain();
        next->game.settings_file = next->settings.file();
        next->game.state_folder = game.state_folder;
        next->game.fix_level_seed(5);
        next->game.load();
        EXPECT_EQ(next->game.offer_kept_game(), Game::KeptGameOffer::BroughtBack);
        return next;
    }
};

bool settled(const Position& p) {
    for (int y = 1; y <= 9; ++y)
        for (int x = 1; x <= 8; ++x)
            if (p.BAN[x][y] != 0 && p.BAN[x + 1][y] == 0) return false;
    return true;
}

bool same_position(const RecordEntry& a, const RecordEntry& b) {
    Position pa, pb;
    restore_position(a, pa);
    restore_position(b, pb);
    return test::same_board_and_hands(pa, pb);
}

// The kept game's own word on where it stands, judged against its record:
// what it shows is the record's entry, nothing hangs in the air, and the
// side to move is the one the record says.
void expect_settled_game_of_its_record(const KeptGame& g, const std::string& where) {
    const KifuWhole& r = g.record;
    ASSERT_LT(static_cast<std::size_t>(r.shown), r.entries.size()) << where;
    EXPECT_TRUE(same_position(g.board, r.entries[static_cast<std::size_t>(r.shown)])) << where;
    Position board;
    restore_position(g.board, board);
    EXPECT_TRUE(settled(board)) << where;
    if (g.winner != NASHI || g.to_move == NASHI) return;
    // The army that moved into the entry shown; the other one moves now.
    int mover = r.moves[static_cast<std::size_t>(r.shown)].mover;
    if (r.shown == 0 && r.entries.size() > 1) mover = -r.moves[1].mover;
    if (mover == 0) return;
    const int army_to_move = g.to_move == g.man_side ? -1 : +1;
    EXPECT_EQ(army_to_move, -mover) << where;
}

// One seeded script of play, the same every time it runs: between people
// with 反転 and 戻, then against the computer from the position on the
// board, then 後手 with the computer moving first.
void play_script(PlayTest& t, unsigned seed) {
    RandomMover mover{std::mt19937(seed)};
    Game& g = t.game;
    const auto alive = [&] { return !t.port.ended; };
    g.menu("START");
    for (int i = 0; i < 4 && alive(); ++i) mover.move(t);
    if (!alive()) return;
    g.menu("REVERSE");  // asked, answered Yes
    for (int i = 0; i < 2 && alive(); ++i) mover.move(t);
    if (!alive()) return;
    g.menu("REPLAY");
    if (!alive()) return;
    g.menu("LEVEL2");
    g.menu("SENTE");  // goes on against the computer
    for (int i = 0; i < 3 && alive() && g.view().turn.SHOSHA == NASHI; ++i) {
        if (g.view().turn.TEBAN != g.view().turn.MAN_GAWA) t.click(5, 5);  // lets the computer move first
        if (alive() && g.view().turn.SHOSHA == NASHI) mover.move(t);
    }
    if (!alive()) return;
    g.menu("CANCEL");
    if (!alive()) return;
    g.menu("GOTE");
    for (int i = 0; i < 2 && alive() && g.view().turn.SHOSHA == NASHI; ++i) mover.move(t);
}

// Every wait the script meets, by the number of the port's look at the
// window at which it begins: a wait begins where something was painted or
// asked since the last look.
std::vector<int> waits_of(unsigned seed) {
    struct Run : Interruptions {
        void TestBody() override {}
    } run;
    run.SetUp();
    std::vector<int> starts;
    int looks = 0;
    std::size_t ops_seen = 0, boxes_seen = 0;
    run.port.on_keep_alive = [&] {
        ++looks;
        if (run.port.ops.size() != ops_seen || run.port.messages.size() != boxes_seen) starts.push_back(looks);
        ops_seen = run.port.ops.size();
        boxes_seen = run.port.messages.size();
    };
    play_script(run, seed);
    return starts;
}

TEST_F(Interruptions, ClosedAtEveryWaitOfEveryAnimationTheGameKeptIsASettledPositionOfItsRecord) {
    constexpr unsigned SEED = 11;
    const std::vector<int> waits = waits_of(SEED);
    ASSERT_GT(waits.size(), 100u) << "the script meets the blinks, pauses and falls of many moves";
    RecordProperty("waits", static_cast<int>(waits.size()));
    int kept = 0;
    for (const int at : waits) {
        struct Run : Interruptions {
            void TestBody() override {}
        } run;
        run.SetUp();
        int looks = 0;
        run.port.on_keep_alive = [&] {
            if (++looks == at) run.game.closing();
        };
        play_script(run, SEED);
        ASSERT_TRUE(run.port.ended) << "wait " << at;
        if (!std::filesystem::exists(run.kept_file())) continue;  // nothing with a move to keep yet
        ++kept;
        const std::optional<KeptGame> g = read_kept_game(file_bytes(run.kept_file()));
        ASSERT_TRUE(g.has_value()) << "wait " << at;
        expect_settled_game_of_its_record(*g, "closed at look " + std::to_string(at));

        // Brought back, it is the same game, and it plays on: the computer
        // moves on its turn, a person's move is taken on theirs.
        const auto next = run.bring_back();
        const Game::View& v = next->game.view();
        EXPECT_TRUE(settled(v.pos)) << "wait " << at;
        if (v.turn.SHOSHA == NASHI && v.turn.TEBAN != NASHI && !v.turn.SAIKAI) {
            const bool computers_turn = v.turn.COM_TAISEN && v.turn.TEBAN == v.turn.COM_GAWA;
            EXPECT_FALSE(computers_turn) << "the computer moved once it was back, wait " << at;
        }
    }
    EXPECT_GT(kept, static_cast<int>(waits.size()) / 2);
}

// The window closes while "対局中です。新しく始めますか？" waits: the game is
// kept as it stands and the answer that comes back gives nothing up.
TEST_F(Interruptions, AGameSurvivesAQuestionAnsweredByTheClose) {
    game.menu("START");
    move(9, 7, 9, 6);
    move(1, 3, 1, 4);
    const Position before = game.view().pos;
    port.on_message = [&](const HeadlessPort::Message& m) {
        if (m.text == "対局中です。新しく始めますか？") game.closing();
    };
    port.answers = {MsgAnswer::Yes};  // the box answers as if Yes were pressed
    game.menu("CANCEL");
    ASSERT_TRUE(port.ended);
    EXPECT_EQ(game.view().kifu.tesu(), 2) << "the game was not given up";
    const std::optional<KeptGame> g = read_kept_game(file_bytes(kept_file()));
    ASSERT_TRUE(g.has_value());
    EXPECT_EQ(g->record.shown, 2);
    RecordEntry now;
    store_position(before, now);
    EXPECT_TRUE(same_position(g->board, now));
}

// "MANの番です" waits 30 s for its OK: those seconds are not the player's.
// The box the computer's move opens ("王手") is not either; the clock the
// kept game carries leaves out a box open at the close.
TEST_F(Interruptions, TimeInABoxIsNotThinkingTime) {
    game.menu("LEVEL1");
    port.on_message = [&](const HeadlessPort::Message& m) {
        if (m.text == "MANの番です") port.now += 30;
    };
    game.menu("SENTE");
    port.now += 2;
    move(9, 7, 9, 6);
    // The turn started as the opening fell, a moment before the box.
    EXPECT_GE(game.view().clock.man_jikan(), 2.0);
    EXPECT_LT(game.view().clock.man_jikan(), 3.0);

    // At the close, a box open for 10 s after 4 s of thought: 4 s kept.
    port.now += 4;
    port.on_message = [&](const HeadlessPort::Message&) {
        port.now += 10;
        game.closing();
    };
    game.menu("VER");
    ASSERT_TRUE(port.ended);
    const std::optional<KeptGame> g = read_kept_game(file_bytes(kept_file()));
    ASSERT_TRUE(g.has_value());
    EXPECT_NEAR(g->running, 4.0, 1e-6);
}

// 反転 gives up the record of a game with moves only when the player says so.
TEST_F(Interruptions, TurningTheBoardAsksBeforeTheRecordIsGivenUp) {
    game.menu("START");
    move(9, 7, 9, 6);
    const Position before = game.view().pos;
    port.answers = {MsgAnswer::No};
    game.menu("REVERSE");
    ASSERT_EQ(port.messages.back().text, "対局中です。反転すると、ここまでの棋譜は残りません。反転しますか？");
    EXPECT_EQ(game.view().kifu.tesu(), 1);
    EXPECT_FALSE(game.view().kifu.hanten());
    EXPECT_EQ(game.view().pos.BAN[9][6], before.BAN[9][6]);
    port.answers = {MsgAnswer::Yes};
    game.menu("REVERSE");
    EXPECT_TRUE(game.view().kifu.hanten());
    // The turned board is the first position of the record that starts again.
    RecordEntry now;
    store_position(game.view().pos, now);
    EXPECT_TRUE(same_position(game.view().kifu.entry(0), now));
}

}  // namespace
}  // namespace zemtori
