// The game: the state of the window, and the handlers of its events.  The
// state is private; tests and tools read it through view() and set up what
// play has not reached through GameSetup.
//
// Events arrive as calls from the window (menu commands by item name, mouse
// presses in twips, keys, Timer1, closing); everything they do runs to its
// end inside the call, busy waits included.  While the searching player
// thinks on its worker thread (level 4, ヒント) the game calls
// Port::keep_alive, which lets the window paint and take a close request but
// delivers no click or command.
//
// The handlers live in one file per concern:
//   game.cpp        start-up, the new game, the full redraw, sounds, ending
//   menu.cpp        the menu bar and the dispatch of its commands
//   turn_flow.cpp   the start of play shared by the three start commands,
//                   passing the turn between two people (turn_flow.h: the
//                   turn flow's owner)
//   mouse.cpp       the mouse: selecting, moving, dropping, promoting,
//                   dragging
//   replay.cpp      stepping through the record, a new game, turning the board
//   hint.cpp        ヒント: the searching player's suggestion for the player
//   reviewing.cpp   解析: the review of the record, and choosing its moves
//   keeping.cpp     the game kept over the end of the program, the level kept,
//                   the question before a game in progress is given up
// Play against the computer, record files, the handicap ladder (whose rung
// HandicapLadder owns) and the options (an Options value the menus show) each
// get a file of their own beside these.
//
// What is under way (a move and its fall, the computer's turn, a hint, a
// review) is one value, Progress (progress.h): every handler reads it, and a
// close, Esc or signal during any activity ends it where it stands and keeps
// the last settled game.
//
// Parts of the state have owners of their own, which the handlers call:
// the record with its browsing state (Kifu: the entry on the board and the
// last one, and so the moves played; the turned board, record mode), the
// thinking-time clock (Clock) and the handicap ladder, the engine (which
// holds the computer's level), and the turn flow (TurnFlow: whose turn, the
// sides, the winner, the selection), which the handlers read as `turn` and
// change only through its named calls.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "display/animation.h"
#include "display/clock.h"
#include "display/screen.h"
#include "engine/engine.h"
#include "port/port.h"
#include "record/kept_game.h"
#include "record/kifu.h"
#include "record/record_file.h"
#include "rules/state.h"
#include "review/review.h"
#include "review/review_view.h"
#include "searcher/thinker.h"
#include "settings/kept_state.h"
#include "settings/play_options.h"
#include "settings/store.h"
#include "port/sound_port.h"
#include "play/handicap.h"
#include "play/menu_id.h"
#include "play/options.h"
#include "play/progress.h"
#include "play/turn_flow.h"

namespace zemtori {

class Game {
public:
    // The game draws and asks through `port` and plays its sounds through
    // `sound`; both outlive it.
    Game(Port& port, SoundPort& sound);

    // Start-up: sound, constants, the first new game.
    void load();

    // Events from the window.
    void menu(const std::string& item);
    void mouse_down(int button, double x, double y);
    void key_press(int key);
    void timer_tick();
    void closing();

    // Dragging a piece (mouse.cpp).  The press that lifts it is a click
    // (mouse_down) and selects it; the drag only carries the selection.
    // After a press at (x, y): the code of the mover's piece (or hand slot)
    // selected there, which a drag may carry, while the person may move.
    std::optional<int> drag_piece(double x, double y) const;
    // The grid cell the carried piece would come to rest on, after
    // everything has fallen, if it were let go at (x, y): nothing where no
    // move is allowed.
    std::optional<Cell> drag_landing(double x, double y) const;
    // The piece was let go at (x, y), another cell than its own: where a
    // move is allowed it is the second click (button 2 promotes); anywhere
    // else the piece goes back, unselected, with the refusal sound.
    void drag_drop(int button, double x, double y);

    // New game in the opening position, with a full redraw.
    void shinki_kyokumen();
    // Full redraw of the window.
    void gamen_hyouji();

    // Menu commands.
    void TAIKYOKU_Click();
    void MATCH_MAN_Click();
    void START_Click();
    void OWARI_Click();
    void STOP_Click();
    void REPLAY_Click();
    void AFTER_Click();
    void CANCEL_Click();
    void REVERSE_Click();
    void VER_Click();
    // The options (options.cpp).
    void MIDORI_Click();
    void TATAMI_Click();
    void TAKE_Click();
    void UCHU_Click();
    void RENGA_Click();
    void SIDOU_Click();
    void KEIKA_Click();
    void BGM_Click();
    void FUTSUU_Click();
    void HAYAI_Click();
    void KOUKAON_Click();
    // その他 › 遊び方: the window that explains the rules.
    void ASOBIKATA_Click();
    // Record files (record_files.cpp) and the handicap ladder (handicap.cpp).
    void KIFU_READ_Click();
    void KIFU_WRITE_Click();
    void OPTION_Click();
    void LBEL_UP_Click();
    void LEBEL_DOWN_Click();

    // A record-file control was used: a drive or folder chosen, a file
    // clicked, RETURN pressed.
    void record_control_used(RecordControl control);
    // Shows or hides the drive, folder and file lists.
    void file_list_hyouji(bool drive, bool folder, bool files);
    // Mode 0 shows the save panel with the texts typed before; any other mode
    // empties its four fields and hides it.
    void hozon_dialog(int mode);
    // The handicap caption of rung `r`, and a refused handicap step.
    void handicap_hyouji(int r);
    void handicap_kyohi(int reason);
    void SENTE_Click();
    void GOTE_Click();
    void LEVEL1_Click();
    void LEVEL2_Click();
    void LEVEL3_Click();
    void LEVEL4_Click();
    void LEVEL5_Click();
    void LEVEL6_Click();
    void LEVEL7_Click();
    void LEVEL8_Click();
    void LEVEL9_Click();
    // ヒント (hint.cpp): the searching player's move for the side to move,
    // framed until the next click.
    void HINT_Click();

    // 解析 (review.cpp): the searching player reviews the record on its
    // worker thread while the window paints, and the view shows the review.
    void KAISEKI_Click();
    // A move of the review was chosen: the record steps to the position it
    // was made in, and the better move is framed as a hint is.
    void review_chosen(int move);
    // Where the review is shown; none: it runs and shows nothing.
    review::ReviewView* review_view = nullptr;
    // Each position's budget in a review (tests give fewer nodes).
    searcher::Limits review_limits{0, review::DEFAULT_NODES, 0};
    // The review shown, while it is.
    const std::optional<review::Review>& shown_review() const { return review_; }

    // The computer's level: check mark, COM_LEVEL and, in a game against the
    // computer, the label left of the board.
    void level_sentei(int level);
    void level_hyouji(int level);
    // The computer plays one move for the upper side, from thinking to
    // handing the turn back.
    void com_ban();
    // Blinks grid cell (c, r) `count` times, showing `koma` in between.
    void tenmetsu(int koma, double c, double r, int count);

    // Shows where the piece `koma` on (from_x, from_y) may go, in `colour`.
    void idou_shidou(int from_x, int from_y, int colour, int koma);

    // How long the searching player thinks: at every searching level
    // (LEVEL4-9) instead of the level's own node budget, the level still
    // choosing among the moves close to the best, and for a hint (a moment,
    // always at full strength).  Tests and tools give node counts, so that
    // the same position gives the same move every time.
    void set_search_limits(const searcher::Limits& searching, const searcher::Limits& hint);
    // The seed of the searching levels' choices.  Fixed (a test's, a tool's):
    // every game uses it, so a game replays; none: each new game against the
    // computer draws a fresh one.
    void fix_level_seed(std::optional<uint64_t> seed);
    // The seed this game's searching levels choose with.
    uint64_t level_seed() const { return level_seed_; }
    // What is under way.
    Progress::Activity activity() const { return progress_.activity(); }
    // True while the searching player thinks for the computer or for a hint
    // on its worker thread (not during a review: reviewing()).
    bool thinking() const {
        return activity() == Progress::Activity::ComputerThinking || activity() == Progress::Activity::Hint;
    }
    bool reviewing() const { return activity() == Progress::Activity::Review; }
    // Ends the thinking now: the best move found so far is played or shown.
    void move_now() { move_now_ = true; }

    // The settings file: in the user's configuration folder, unless whoever
    // made the game puts it elsewhere before load().
    std::filesystem::path settings_file = settings_path();
    // The pace and the sound effects are kept in a file of their own beside
    // it (settings/play_options.h).
    std::filesystem::path play_options_file() const { return play_options_path(settings_file); }

    // The options as the game holds them.
    const Options& options() const { return options_; }

    // What the game keeps between runs apart from the options: the game in
    // progress when the program ends, and the level chosen (kept_game.cpp).
    // They live in this folder, which the program sets to the user's state
    // folder before load(); left empty, as tests and tools make the game,
    // nothing is kept or read.
    std::filesystem::path state_folder;
    std::filesystem::path kept_game_file() const;
    std::filesystem::path level_file() const;
    // Once the window shows at start: a game kept at the last end is offered
    // ("前回の対局を続けますか？").  Yes brings it back as it stood, the
    // computer moving when it was to move; No starts as the program always
    // has and forgets it.  A file that is not a whole kept game is removed
    // without a question; a game kept by another version of the game is
    // left where it is, and said once.  What became of it:
    enum class KeptGameOffer { None, Removed, Declined, BroughtBack, OtherVersion };
    KeptGameOffer offer_kept_game();
    // The program ends at once, as closing the window ends it, but without
    // a word to the player: a signal or the end of the desktop session.
    // The game in progress is kept as at a close.
    void end_quietly();

    // What a click meets: a loaded record being stepped through, a finished
    // game, no game started yet, or a game between two people or against the
    // computer.
    enum class PlayMode { Record, Finished, NotStarted, BetweenPeople, AgainstComputer };
    PlayMode mode() const;

    // What the game holds, to read: the position, the turn, the record, the
    // clock, the handicap, the options, the screen and the engine (whose
    // board is read-only through this view).
    struct View {
        const Position& pos;
        const TurnState& turn;
        const Kifu& kifu;
        const Clock& clock;
        const HandicapLadder& handicap;
        const Options& options;
        const Screen& screen;
        const Engine& engine;
        // The computer's last move and its score, at every level: the best
        // candidate and SAIZEN_TEN at levels 1-3, the search's move and
        // score at level 4.
        const Candidate& com_move;
        // The move the hint suggests while its frames are shown.
        const std::optional<Sashite>& hint;
    };
    const View& view() const { return view_; }

private:
    friend struct GameSetup;

    Port& port;
    // The options: written to and read from the settings file, shown by the
    // menus; the screen draws on their background.
    Options options_;
    Screen screen{port, options_.HAIKEI};
    MoveAnimation animation{screen};
    Position pos;
    TurnFlow flow;
    const TurnState& turn = flow.state();
    Kifu kifu;
    Clock clock;
    SoundPort& sound;
    // The computer player.  One engine for the whole program: the values it
    // keeps between passes (MOTO_KYORI, the squares of the attack maps that a
    // pass does not reset, the kings' squares) carry from one computer turn
    // to the next and through a new game.
    Engine engine{pos};
    HandicapLadder handicap;

    void set_haikei(int code);
    void set_sidou(bool on);
    void set_keika(bool on);
    void set_bgm(bool on);
    void set_hayai(bool on);
    void set_koukaon(bool on);
    // How long the animations' pauses and steps last against their normal
    // time: 1, or FAST_PACE at the fast pace.
    double pace() const;
    // menu.cpp: the check mark of item `id`.
    void set_checked(MenuId id, bool checked);
    // menu.cpp
    void enable_built_commands();
    // keeping.cpp
    // The game as it stands, as the kept-game file holds it.
    KeptGame game_to_keep() const;
    // The same, when there is a game to keep: one started, with a move.
    std::optional<KeptGame> game_worth_keeping() const;
    // At the end of the program: the game in progress (a record stepped
    // through, a finished game) is written to the kept-game file; during a
    // move or a fall, the game as it stood before it began.
    enum class Kept { Nothing, Written, NotWritable, OtherVersionThere };
    Kept keep_game();
    void bring_back(const KeptGame& kept);
    KeptGameOffer other_version_kept();
    // Before an activity changes the board: what keep_game writes should the
    // program end before the board is settled again.
    void remember_settled_game();
    // Before a command gives up a game in progress that has moves: asks
    // `question`; false when the answer is No (or the program is ending).
    bool may_leave_game(const char* question);
    static constexpr const char* NEW_GAME_QUESTION = "対局中です。新しく始めますか？";
    // A start command goes on from the position on the board in its own
    // mode: between two people, or against the computer.
    static constexpr const char* GO_ON_PEOPLE_QUESTION = "対局中です。この局面から二人の対局として続けますか？";
    static constexpr const char* GO_ON_COMPUTER_QUESTION = "対局中です。この局面からコンピュータとの対局として続けますか？";
    // 反転 starts the record again from the turned board.
    static constexpr const char* TURN_QUESTION = "対局中です。反転すると、ここまでの棋譜は残りません。反転しますか？";
    void read_level();
    void write_level();
    // The levels the menu offers.
    static bool level_offered(int level);
    // game.cpp
    void hide_record_controls();
    void play_piece();
    void play_refusal();
    void play_other();
    void refuse(const std::string& text, const std::string& title);
    // Every box the game puts up: a notice with OK, or a question.  The time
    // a box waits for its answer is not the running turn's thinking time.
    void tell(const std::string& text, const std::string& title);
    MsgAnswer ask(const std::string& text, const std::string& title);
    MsgAnswer box(const std::string& text, const std::string& title, MsgButtons buttons);
    // When the box open now was opened (the time of day).
    std::optional<double> box_opened_at_;
    // The program ends: the game is kept, and when it could not be, a player
    // who closed the window is told once.
    void owari(bool quietly = false);
    // The colour of the guidance frames: white while guidance is on, else
    // the board's own.
    int sidou_iro() const;
    // The side value of an army of the record (+1 the upper side's pieces,
    // -1 the lower side's), and the army of a side value.
    int side_of(int army) const;
    int army_of(int side) const;
    // A move has been made and everything has fallen: the record takes the
    // position after it, and the game it ended.
    void record_move(const Sashite& move);
    // The game is over and `side` has won, in the position on the board.
    void win(int side);
    // options.cpp
    void read_settings();
    void write_settings();
    void read_play_options();
    void write_play_options();
    void haikei_click(int code);
    void start_music();
    // turn_flow.cpp
    // How a start command begins: スタート between two people, 先手 with the
    // person first, 後手 with the computer first.
    enum class PlayStart { People, PersonFirst, ComputerFirst };
    bool start_of_play(PlayStart how);
    void start_turn_clock();
    void end_turn_clock();
    void hand_over_between_people();
    // A game begun afresh in a position the record has the other side to
    // move in: the record after it was played the other way round and is
    // given up.
    void record_from_here();
    // mouse.cpp
    // A selection a drag may carry: the mover's, while the person may move.
    bool may_drag() const;
    // A click while the game waits for one.
    void click(int button, double x, double y);
    void select_on_board(int x, int y);
    void destination_on_board(int button, int x, int y);
    void select_in_hand(int c, int r);
    void carry_out_move(int button);
    void hand_over(int captured);
    // replay.cpp
    void show_entry(int n, double com_jikan, double man_jikan);
    // Steps the record straight to entry n, as 戻 and 進 would one by one.
    void step_to_entry(int n);
    // review.cpp: the review shown goes away with the game it was of.
    void close_review();
    // The turn state of entry n, stepped onto: the side to move in it, and
    // its winner when its game had ended there.
    void turn_of_entry(int n);
    void announce_winner();
    // record_files.cpp
    void RETURN_Click();
    void file_click();
    void read_record(const RecordFile& file);
    // The title and the players' names of the record read, beside the board.
    void print_record_header();
    // handicap.cpp
    void handicap_step(int direction);
    // computer.cpp
    void resume_against_computer();
    void hand_over_to_computer(int captured);
    void level_click(int level);
    // The searching player's move for the upper side (positive codes,
    // whoever plays it) or the lower side, thought out within `limits` on
    // the worker thread while the window keeps painting and the clock runs:
    // the move in the rules' terms with the code it moves and its score,
    // koma 0 when the side has no move; nothing when the program ends
    // meanwhile.
    // With a searching `level` (4..9) the level's choice for `draw` is
    // played instead of the best move.
    std::optional<Candidate> think_in_background(bool upper, const searcher::Limits& limits, int level = 0,
                                                 uint64_t draw = 0);
    // hint.cpp: puts the hint's frames back to the board's own colour.
    void clear_hint();
    void hint_frames(int colour);

    // The search runs the Timer1 tick once per scanned row and hand slot.
    struct SearchClock final : ClockTick {
        explicit SearchClock(Game& g) : game(g) {}
        void tick() override { game.timer_tick(); }
        Game& game;
    };
    SearchClock search_clock{*this};

    // The searching player, a thinker (and so a table) for each role, made
    // on first use (a table is 16 MB): the computer's, and ヒント's.  A
    // review has one of its own for each run.  A new game clears both.
    std::unique_ptr<searcher::Thinker> computer_thinker_, hint_thinker_;
    searcher::Thinker& thinker_for(bool hint);
    void clear_thinkers();
    // A budget for the searching levels in place of their own; none: their own.
    std::optional<searcher::Limits> search_budget_;
    std::optional<uint64_t> fixed_level_seed_;
    uint64_t level_seed_ = 0;  // this game's
    // A new game against the computer: its seed.
    void draw_level_seed();
    searcher::Limits hint_limits_{0, 0, 300};
    bool move_now_ = false;
    // What is under way.
    Progress progress_;
    // The game as it stood before the activity that is changing the board
    // began; kept should the program end before the board settles.
    std::optional<KeptGame> settled_game_;
    bool settled_game_taken_ = false;
    // What is written beside the board that the record and the turn do not
    // say: the last move text of each side's area, by its side value, and
    // the count.  A new background draws them again.
    struct MoveTextShown {
        bool shown = false;
        int x = 0, y = 0, code = 0;
    };
    MoveTextShown move_text_upper_, move_text_lower_;  // the COM_GAWA and MAN_GAWA areas
    std::optional<int> count_shown_;
    void write_move_text(int side, int x, int y, int code);
    void erase_move_text(int side);
    void write_count(int n);
    // The review shown was made of the record as it stood at this revision.
    std::uint64_t review_revision_ = 0;
    // A review whose record has changed since goes: its window closes.
    void forget_stale_review();
    // The kept game could not be written, or the old one not removed:
    // said at the close, once.
    bool keeping_failed_ = false;
    // The header of a record read from a file, printed beside the board.
    std::string record_title_, record_upper_, record_lower_;
    Candidate com_move_;
    std::optional<Sashite> hint_;
    std::optional<review::Review> review_;

    const View view_{pos, turn, kifu, clock, handicap, options_, screen, engine, com_move_, hint_};
};

// For tests and tools that set up what play has not reached, through a few
// named operations.  The game itself never uses it.
struct GameSetup {
    // The board and both hands become `p` as given: nothing falls, nothing
    // is redrawn, the turn and the record stay as they are.
    static void set_position(Game& g, const Position& p);
    // A game against the computer starts in the position on the board with
    // the computer (the upper side, 先手) to move: no move played yet, the
    // record at its start, no winner.  The hand-over that comes before each
    // of its turns has been done (the attack maps and the mate test of its
    // king), so com_ban() plays its move next.
    static void computer_to_move(Game& g);
    // `file` is read as if it had been chosen in the file list: a new game
    // in record mode, stepped through with 進.
    static void load_record(Game& g, const RecordFile& file);
    // Both players' totals on the clock.
    static void set_clock(Game& g, ClockTotals totals);
};

// The menu bar: every entry, in menu order, with its caption and parent.
const std::vector<MenuEntry>& menu_entries();

}  // namespace zemtori
