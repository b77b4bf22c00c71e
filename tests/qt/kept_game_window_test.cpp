// A game kept over the end of the program, in the real window wired as the
// program wires it: the window closes with a game on the board, the next
// window offers it and brings it back on はい (the computer then moving on its
// turn, a finished game staying finished, a record stepped through staying
// where it was) or forgets it on いいえ; a damaged file is removed without a
// question.  The question before a game in progress is given up, and the
// level kept from one window to the next.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSessionManager>
#include <QTest>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "app/end_signals.h"
#include "app/game_wiring.h"
#include "looking_window.h"
#include "play/game.h"
#include "qt/canvas.h"
#include "qt_test_support.h"
#include "rules/moves.h"
#include "settings_folder.h"
#include "sound/effects.h"
#include "test_support.h"

namespace zemtori {
namespace {

constexpr searcher::Limits UNTIL_TOLD{0, 0, 0};
constexpr searcher::Limits SMALL{0, 3000, 0};

// Answers every box as a player would, Yes or No to a question as the test
// says (Yes when it says nothing more), and writes down what each said.
class Answers {
public:
    Answers() {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == last_) return;
            last_ = box;
            seen.push_back(box->text().toStdString());
            if (box->button(QMessageBox::Ok)) {
                box->button(QMessageBox::Ok)->click();
                return;
            }
            const bool yes = questions.empty() || questions.front();
            if (!questions.empty()) questions.erase(questions.begin());
            asked.push_back(box->text().toStdString());
            box->button(yes ? QMessageBox::Yes : QMessageBox::No)->click();
        });
        poll_.start(5);
    }
    std::vector<std::string> seen;   // every box
    std::vector<std::string> asked;  // the Yes/No questions among them
    std::vector<bool> questions;     // the answers to give, in order

private:
    QTimer poll_;
    QPointer<QMessageBox> last_;
};

// The user's folders for one test: settings (XDG_CONFIG_HOME) and state
// (XDG_STATE_HOME), both temporary.
struct Home {
    Home() {
        settings.write_plain();
        std::string name = (std::filesystem::temp_directory_path() / "zemtori-state-XXXXXX").string();
        state_home = ::mkdtemp(name.data());
    }
    ~Home() { std::error_code ec; std::filesystem::remove_all(state_home, ec); }
    std::filesystem::path folder() const { return state_folder(state_home.c_str(), nullptr); }
    std::filesystem::path kept() const { return folder() / KEPT_GAME_FILE_NAME; }
    std::filesystem::path level() const { return folder() / LEVEL_FILE_NAME; }
    static std::string bytes_of(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::filesystem::path& file, const std::string& bytes) const {
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << bytes;
    }

    test::SettingsFolder settings;
    std::filesystem::path state_home;
};

// One run of the program: the window and its game started as main() starts
// them, the kept game offered once the window shows.
struct Program {
    explicit Program(const Home& home) {
        window.end_hook = [this] { ++ends; };
        EXPECT_EQ(window.load_pictures(QStringLiteral(ZEMTORI_TEST_DATA_DIR "/pictures")).message(), QString());
        connect_game(window, game);
        game.settings_file = home.settings.file();
        game.state_folder = home.folder();
        game.load();
        window.show();
    }
    ~Program() {
        window.look = nullptr;
        disconnect_game(window);
    }
    Game::KeptGameOffer offer() { return game.offer_kept_game(); }
    void click(int x, int y) { test::press_board_square(window.canvas(), x, y); }
    void command(const char* item) { window.action(item)->trigger(); }

    test::LookingWindow window{menu_entries()};
    SoundEffects sound{window, ZEMTORI_TEST_DATA_DIR};
    Game game{window, sound};
    int ends = 0;
};

Position board(const Game& game) { return game.view().pos; }

void expect_same(const Position& got, const Position& want) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) ASSERT_EQ(got.BAN[x][y], want.BAN[x][y]) << x << "," << y;
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        ASSERT_EQ(got.MOCHI_UE_KAZU[k], want.MOCHI_UE_KAZU[k]) << k;
        ASSERT_EQ(got.MOCHI_SITA_KAZU[k], want.MOCHI_SITA_KAZU[k]) << k;
    }
}

// The window closes while LEVEL4 thinks over its answer to the person's first
// move; the next window brings the game back and the computer moves.
TEST(KeptGameInWindow, TheComputersTurnComesBackAndTheComputerMoves) {
    Home home;
    Answers answers;
    Position after_person;
    double man_total = 0;
    {
        Program first(home);
        first.command("LEVEL4");
        first.game.set_search_limits(UNTIL_TOLD, SMALL);
        first.command("SENTE");
        bool closed = false;
        first.window.look = [&] {
            if (!first.game.thinking() || closed) return;
            closed = true;
            after_person = board(first.game);
            man_total = first.game.view().clock.man_jikan();
            first.window.close();
        };
        first.click(9, 7);
        first.click(9, 6);
        ASSERT_TRUE(closed);
        EXPECT_EQ(first.ends, 1);
        EXPECT_EQ(first.game.view().kifu.tesu(), 1);
    }
    ASSERT_TRUE(std::filesystem::exists(home.kept()));
    EXPECT_EQ(Home::bytes_of(home.level()), "LEVEL=4\n");

    Program next(home);
    next.game.set_search_limits(SMALL, SMALL);
    EXPECT_TRUE(next.window.action("LEVEL4")->isChecked());
    answers.seen.clear();
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    ASSERT_EQ(answers.asked, std::vector<std::string>{"前回の対局を続けますか？"});
    const auto& v = next.game.view();
    ASSERT_EQ(v.kifu.tesu(), 2) << "the person's move, and the computer's answer made now";
    Position kept;
    v.kifu.restore(1, kept);
    expect_same(kept, after_person);
    EXPECT_EQ(v.turn.TEBAN, v.turn.MAN_GAWA);
    EXPECT_EQ(v.turn.MAN_GAWA, SENTE_GAWA);
    EXPECT_TRUE(v.turn.COM_TAISEN);
    EXPECT_EQ(v.engine.COM_LEVEL, 4);
    EXPECT_EQ(v.clock.man_jikan(), man_total);
    EXPECT_FALSE(std::filesystem::exists(home.kept())) << "offered once";
    EXPECT_EQ(next.game.mode(), Game::PlayMode::AgainstComputer);
    EXPECT_EQ(next.ends, 0);
}

// A king taken between two people: the finished game comes back finished,
// and a click asks for a new game as it did.
TEST(KeptGameInWindow, AFinishedGameStaysFinished) {
    Home home;
    Answers answers;
    Position final_position;
    {
        Program first(home);
        first.command("START");
        GameSetup::set_position(first.game, test::board_with({{9, 5, OU}, {9, 6, -HISHA}, {9, 9, -OU}}));
        first.click(9, 6);
        first.click(9, 5);
        ASSERT_EQ(first.game.mode(), Game::PlayMode::Finished);
        final_position = board(first.game);
        first.window.close();
    }
    Program next(home);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    EXPECT_EQ(next.game.mode(), Game::PlayMode::Finished);
    expect_same(board(next.game), final_position);
    EXPECT_EQ(next.game.view().turn.SHOSHA, next.game.view().turn.MAN_GAWA);
    answers.seen.clear();
    next.click(5, 5);
    EXPECT_EQ(answers.seen, std::vector<std::string>{"新規に対局してください"});
    // No question before a new game once the game is over.
    answers.seen.clear();
    next.command("CANCEL");
    EXPECT_TRUE(answers.seen.empty());
    EXPECT_EQ(next.game.mode(), Game::PlayMode::NotStarted);
}

// The moves of a record, from the settled opening: each side's bottom pawn
// of a column steps one square.
RecordFile three_moves() {
    RecordFile file;
    file.title = "三手の棋譜";
    file.ue_player = "上手";
    file.sita_player = "下手";
    Position p = test::settled_opening();
    TurnState turn;
    for (const Sashite& m : {Sashite{9, 7, 9, 6, -HU}, Sashite{1, 3, 1, 4, HU}, Sashite{9, 8, 9, 7, -HU}}) {
        sashite_jikkou(p, turn, nullptr, m.from_x, m.from_y, m.to_x, m.to_y, m.koma);
        rakka(p, nullptr);
        RecordEntry e;
        store_position(p, e);
        file.entries.push_back(e);
    }
    return file;
}

TEST(KeptGameInWindow, ARecordSteppedThroughComesBackAtTheEntryShown) {
    Home home;
    Answers answers;
    const RecordFile file = three_moves();
    {
        Program first(home);
        GameSetup::load_record(first.game, file);
        first.command("AFTER");
        first.command("AFTER");
        ASSERT_EQ(first.game.view().kifu.kifu_tesu(), 2);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(&first.window, &esc);
        EXPECT_EQ(first.ends, 1);
    }
    Program next(home);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    const auto& v = next.game.view();
    EXPECT_EQ(next.game.mode(), Game::PlayMode::Record);
    EXPECT_EQ(v.kifu.kifu_tesu(), 2);
    Position want;
    restore_position(file.entries[1], want);
    expect_same(board(next.game), want);
    // 進 goes on to the last entry, as it would have.
    answers.seen.clear();
    next.command("AFTER");
    EXPECT_EQ(v.kifu.kifu_tesu(), 3);
    restore_position(file.entries[2], want);
    expect_same(board(next.game), want);
    next.command("AFTER");
    EXPECT_EQ(answers.seen, std::vector<std::string>{"終わり"});
}

TEST(KeptGameInWindow, NoForgetsTheGameAndStartsAsAlways) {
    Home home;
    Answers answers;
    {
        Program first(home);
        first.command("LEVEL2");
        first.command("START");
        first.click(9, 7);
        first.click(9, 6);
        first.command("OWARI");
        EXPECT_EQ(first.ends, 1);
    }
    ASSERT_TRUE(std::filesystem::exists(home.kept()));
    Program next(home);
    const Position opening = board(next.game);
    answers.questions = {false};
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::Declined);
    EXPECT_EQ(answers.asked, std::vector<std::string>{"前回の対局を続けますか？"});
    EXPECT_FALSE(std::filesystem::exists(home.kept()));
    EXPECT_EQ(next.game.mode(), Game::PlayMode::NotStarted);
    expect_same(board(next.game), opening);
    EXPECT_EQ(next.game.view().kifu.tesu(), 0);
    // The level stays chosen, game or no game.
    EXPECT_TRUE(next.window.action("LEVEL2")->isChecked());
    EXPECT_EQ(next.game.view().engine.COM_LEVEL, 2);
}

TEST(KeptGameInWindow, ADamagedOrForeignFileIsRemovedWithoutAQuestion) {
    Home home;
    Answers answers;
    std::string whole;
    {
        Program first(home);
        first.command("START");
        first.click(9, 7);
        first.click(9, 6);
        first.window.close();
        whole = Home::bytes_of(home.kept());
    }
    ASSERT_FALSE(whole.empty());
    for (const std::string& bad : {whole.substr(0, whole.size() / 2), whole.substr(0, whole.size() - 1),
                                   std::string("背景画=緑\r\n"), std::string(100, '\xff')}) {
        home.write(home.kept(), bad);
        Program next(home);
        answers.seen.clear();
        EXPECT_EQ(next.offer(), Game::KeptGameOffer::Removed);
        EXPECT_TRUE(answers.seen.empty()) << answers.seen.front();
        EXPECT_FALSE(std::filesystem::exists(home.kept()));
        EXPECT_EQ(next.game.mode(), Game::PlayMode::NotStarted);
    }
    // No file: nothing is asked.
    Program last(home);
    EXPECT_EQ(last.offer(), Game::KeptGameOffer::None);
    EXPECT_TRUE(answers.seen.empty());
}

// 最初, Home and the three start commands ask before a game with a move is
// given up, and do nothing on いいえ; without a move nothing is asked.
TEST(KeptGameInWindow, AGameWithAMoveIsNotGivenUpWithoutAsking) {
    Home home;
    Answers answers;
    Program run(home);
    run.command("START");
    run.command("CANCEL");
    EXPECT_EQ(answers.asked.size(), 0u) << "no move yet";
    run.command("START");
    run.click(9, 7);
    run.click(9, 6);
    const Position after = board(run.game);
    answers.seen.clear();
    answers.questions = {false, false, false, false};
    for (const char* item : {"CANCEL", "START", "SENTE", "GOTE"}) run.command(item);
    EXPECT_EQ(answers.asked, (std::vector<std::string>{"対局中です。新しく始めますか？",
                                                       "対局中です。この局面から二人の対局として続けますか？",
                                                       "対局中です。この局面からコンピュータとの対局として続けますか？",
                                                       "対局中です。この局面からコンピュータとの対局として続けますか？"}));
    EXPECT_EQ(answers.seen.size(), 4u) << "nothing but the questions";
    EXPECT_EQ(run.game.mode(), Game::PlayMode::BetweenPeople);
    EXPECT_EQ(run.game.view().kifu.tesu(), 1);
    expect_same(board(run.game), after);
    // Home asks as 最初 does; はい sets up the new game.
    answers.questions = {true};
    run.window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&run.window));
    QTest::keyClick(&run.window, Qt::Key_Home);
    EXPECT_EQ(answers.asked.size(), 5u);
    EXPECT_EQ(run.game.mode(), Game::PlayMode::NotStarted);
    EXPECT_EQ(run.game.view().kifu.tesu(), 0);
}

// SIGTERM after a move between two people: the game is kept as a close
// keeps it, the program ends, and the next window brings the game back.
TEST(KeptGameInWindow, SigtermKeepsTheGameAsAClose) {
    Home home;
    Answers answers;
    Position after_move;
    {
        Program first(home);
        const EndSignals on_end([&first] { first.window.close_from_outside(); });
        ASSERT_TRUE(on_end.installed());
        first.command("START");
        first.click(9, 7);
        first.click(9, 6);
        ASSERT_EQ(first.game.view().kifu.tesu(), 1);
        after_move = board(first.game);
        ASSERT_FALSE(std::filesystem::exists(home.kept()));
        ASSERT_EQ(std::raise(SIGTERM), 0);
        EXPECT_EQ(first.ends, 0) << "the handler only wakes the event loop";
        ASSERT_TRUE(QTest::qWaitFor([&first] { return first.ends > 0; }, 60000));
        EXPECT_EQ(first.ends, 1);
        EXPECT_TRUE(first.window.ended());
        EXPECT_TRUE(std::filesystem::exists(home.kept()));
        // A second signal finds the program ended and does nothing more.
        ASSERT_EQ(std::raise(SIGTERM), 0);
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(first.ends, 1);
    }
    Program next(home);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    EXPECT_EQ(next.game.view().kifu.tesu(), 1);
    expect_same(board(next.game), after_move);
}

// SIGTERM while the pieces fall after 反転 (or any fall, at any of its
// steps): the game kept is the one before the fall began, a settled position
// of its record with its side to move, and nothing hangs in the air.
TEST(KeptGameInWindow, SigtermDuringAFallKeepsTheGameBeforeIt) {
    Home home;
    Answers answers;
    Position before_turn;
    int to_move = NASHI;
    {
        Program first(home);
        const EndSignals on_end([&first] { first.window.close_from_outside(); });
        first.command("START");
        first.click(9, 7);
        first.click(9, 6);
        before_turn = board(first.game);
        to_move = first.game.view().turn.TEBAN;
        int falling_looks = 0;
        first.window.look = [&] {
            if (first.game.activity() != Progress::Activity::Settling) return;
            if (++falling_looks == 3) std::raise(SIGTERM);  // some steps into the fall
        };
        first.command("REVERSE");  // asked, answered Yes
        ASSERT_GE(falling_looks, 3);
        EXPECT_EQ(first.ends, 1);
    }
    Program next(home);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    EXPECT_FALSE(next.game.view().kifu.hanten()) << "the turn of the board never settled";
    EXPECT_EQ(next.game.view().turn.TEBAN, to_move);
    expect_same(board(next.game), before_turn);
}

// SIGHUP while the computer thinks (the game waiting in its own loop): the
// signal is seen there, the person's move is kept and the program ends.
TEST(KeptGameInWindow, SighupWhileTheComputerThinksKeepsTheGame) {
    Home home;
    Answers answers;
    Position after_person;
    {
        Program first(home);
        const EndSignals on_end([&first] { first.window.close_from_outside(); });
        first.command("LEVEL4");
        first.game.set_search_limits(UNTIL_TOLD, SMALL);
        first.command("SENTE");
        bool raised = false;
        int looks_after = 0;
        first.window.look = [&] {
            if (!first.game.thinking()) return;
            if (raised) {
                // A signal that does not end the wait ends the test instead.
                if (++looks_after > 100) first.game.closing();
                return;
            }
            raised = true;
            after_person = board(first.game);
            std::raise(SIGHUP);
        };
        first.click(9, 7);
        first.click(9, 6);
        ASSERT_TRUE(raised);
        EXPECT_LE(looks_after, 1) << "the wait saw the signal at once";
        EXPECT_EQ(first.ends, 1) << "ended from inside the wait";
        EXPECT_FALSE(first.game.thinking());
        EXPECT_EQ(first.game.view().kifu.tesu(), 1);
    }
    ASSERT_TRUE(std::filesystem::exists(home.kept()));
    Program next(home);
    next.game.set_search_limits(SMALL, SMALL);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    Position kept;
    next.game.view().kifu.restore(1, kept);
    expect_same(kept, after_person);
    EXPECT_EQ(next.game.view().kifu.tesu(), 2) << "the computer answers now";
}

// The session ends: when the session manager asks for the data to be
// committed, the game is kept as a close keeps it and the program ends.
TEST(KeptGameInWindow, TheEndOfTheSessionKeepsTheGameAsAClose) {
    Home home;
    Answers answers;
    {
        Program first(home);
        auto& app = *qobject_cast<QGuiApplication*>(QCoreApplication::instance());
        end_with_session(app, first.window, [&first] { first.window.close_from_outside(); });
        first.command("START");
        first.click(9, 7);
        first.click(9, 6);
        ASSERT_FALSE(std::filesystem::exists(home.kept()));
        // Only Qt makes a QSessionManager; the handler never looks at it, so
        // storage of its size stands in for one.
        alignas(QSessionManager) unsigned char manager[sizeof(QSessionManager)] = {};
        emit app.commitDataRequest(*reinterpret_cast<QSessionManager*>(manager));
        EXPECT_EQ(first.ends, 1);
        EXPECT_TRUE(std::filesystem::exists(home.kept()));
    }
    Program next(home);
    EXPECT_EQ(next.offer(), Game::KeptGameOffer::BroughtBack);
    EXPECT_EQ(next.game.view().kifu.tesu(), 1);
}

// The handlers before EndSignals are put back when it goes.
TEST(EndSignalsHandlers, ArePutBackWhenItGoes) {
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    {
        const EndSignals on_end([] {});
        struct sigaction during {};
        sigaction(SIGTERM, nullptr, &during);
        EXPECT_NE(during.sa_handler, before.sa_handler);
        // One at a time: a second one leaves the signals to the first.
        const EndSignals second([] {});
        EXPECT_FALSE(second.installed());
    }
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    EXPECT_EQ(after.sa_handler, before.sa_handler);
    sigaction(SIGHUP, nullptr, &after);
    EXPECT_EQ(after.sa_handler, SIG_DFL);
}

// The level is kept beside the game, not in the settings file, and a file
// that names no level the menu offers leaves LEVEL3.
TEST(KeptGameInWindow, TheLevelChosenIsChosenInTheNextWindow) {
    Home home;
    const std::string four_lines = home.settings.bytes();
    {
        Program first(home);
        EXPECT_TRUE(first.window.action("LEVEL3")->isChecked());
        EXPECT_FALSE(std::filesystem::exists(home.level())) << "nothing written before a choice";
        first.command("LEVEL1");
    }
    EXPECT_EQ(Home::bytes_of(home.level()), "LEVEL=1\n");
    EXPECT_EQ(home.settings.bytes(), four_lines);
    {
        Program next(home);
        EXPECT_TRUE(next.window.action("LEVEL1")->isChecked());
        EXPECT_FALSE(next.window.action("LEVEL3")->isChecked());
        EXPECT_EQ(next.game.view().engine.COM_LEVEL, 1);
    }
    {
        // The highest searching level comes back too.
        Program next(home);
        next.command("LEVEL9");
    }
    {
        Program next(home);
        EXPECT_TRUE(next.window.action("LEVEL9")->isChecked());
        EXPECT_EQ(next.game.view().engine.COM_LEVEL, 9);
    }
    for (const char* bad : {"LEVEL=0\n", "LEVEL=10\n", "LEVEL=12\n", "LEVEL=\n", "level=1\n", "\n"}) {
        home.write(home.level(), bad);
        Program next(home);
        EXPECT_TRUE(next.window.action("LEVEL3")->isChecked()) << bad;
        EXPECT_EQ(next.game.view().engine.COM_LEVEL, 3) << bad;
    }
}

}  // namespace
}  // namespace zemtori
