// What the game keeps between runs apart from the options: the game in
// progress when the program ends, offered again at the next start, and the
// computer's level.  And the question before a command gives up a game in
// progress.
#include <unistd.h>
#include <cerrno>
#include <fstream>
#include <algorithm>
#include <sys/stat.h>

#include "display/move_text.h"
#include "play/game.h"
#include "record/record_file.h"

namespace zemtori {

namespace {

constexpr const char* KEPT_GAME_QUESTION = "前回の対局を続けますか？";
constexpr const char* QUESTION_TITLE = "対局";

// The file that remembers which kept game of another version the player
// was told of.
constexpr const char* OTHER_VERSION_TOLD_FILE_NAME = "Zemtori-other-version.txt";

// Removes the file at `path` when it is a file (or a link) of its own: a
// folder or a pipe in its place is left alone.  False when it stays though it
// should have gone.
bool remove_file(const std::filesystem::path& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) return true;
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return true;
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

// The first line of the file at `path` with its end, at most a few dozen
// bytes: enough to tell whose format it is.
std::string first_line(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string line;
    char c = 0;
    while (line.size() < 64 && in.get(c)) {
        line += c;
        if (c == '\n') break;
    }
    return line;
}

// What names a kept game file well enough to tell it from the next: its
// first line and its size.
std::string told_line(const std::filesystem::path& path) {
    std::string line = first_line(path);
    if (!line.empty() && line.back() == '\n') line.pop_back();
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return line + " " + std::to_string(error ? 0 : size) + "\n";
}

}  // namespace

std::filesystem::path Game::kept_game_file() const {
    return state_folder.empty() ? std::filesystem::path{} : state_folder / KEPT_GAME_FILE_NAME;
}

std::filesystem::path Game::level_file() const {
    return state_folder.empty() ? std::filesystem::path{} : state_folder / LEVEL_FILE_NAME;
}

// The level chosen last; a file that names no level the menu offers leaves
// LEVEL3.
void Game::read_level() {
    const std::optional<std::string> bytes = read_settings_file(level_file());
    if (!bytes) return;
    const std::optional<int> level = read_level_file(*bytes);
    if (level && level_offered(*level)) level_sentei(*level);
}

void Game::write_level() {
    if (!level_file().empty()) replace_settings_file(level_file(), level_file_bytes(engine.COM_LEVEL));
}

bool Game::may_leave_game(const char* question) {
    if (mode() != PlayMode::BetweenPeople && mode() != PlayMode::AgainstComputer) return true;
    if (!kifu.moves_in_game()) return true;
    const MsgAnswer answer = ask(question, QUESTION_TITLE);
    // The window closed while it asked: the game was kept as it stands, and
    // nothing gives it up now.
    return answer == MsgAnswer::Yes && !progress_.ending();
}

KeptGame Game::game_to_keep() const {
    KeptGame g;
    g.record = kifu.whole();
    store_position(pos, g.board);
    g.to_move = turn.TEBAN;
    g.winner = turn.SHOSHA;
    g.man_side = turn.MAN_GAWA;
    g.against_computer = turn.COM_TAISEN;
    g.paused = turn.SAIKAI;
    g.level = engine.COM_LEVEL;
    g.handicap_rung = handicap.dan();
    g.handicap_set = handicap.settei();
    g.man_total = clock.man_jikan();
    g.com_total = clock.com_jikan();
    // The person's turn (or either person's) goes on where it stood; a box
    // open now has not counted since it opened.
    const bool open = g.to_move != NASHI && g.winner == NASHI && !g.paused && !kifu.kifu_mode();
    if (open && (!turn.COM_TAISEN || g.to_move == turn.MAN_GAWA)) {
        const double now = port.time_of_day();
        const double in_box = box_opened_at_ ? keika_byou(*box_opened_at_, now) : 0.0;
        g.running = std::max(0.0, clock.running(now) - in_box);
    }
    g.title = record_title_;
    g.upper_name = record_upper_;
    g.lower_name = record_lower_;
    return g;
}

std::optional<KeptGame> Game::game_worth_keeping() const {
    if (mode() == PlayMode::NotStarted || !kifu.moves_in_game()) return std::nullopt;
    return game_to_keep();
}

// Only when the program keeps games at all: tests and tools leave the state
// folder empty and pay nothing.
void Game::remember_settled_game() {
    if (kept_game_file().empty()) return;
    settled_game_ = game_worth_keeping();
    settled_game_taken_ = true;
}

// The game as it stands, or, while a move or a fall is under way, as it
// stood before it began: the kept game is always a settled position of its
// record, with its own side to move.  A file another version of the game
// keeps is not written over.
Game::Kept Game::keep_game() {
    const std::filesystem::path file = kept_game_file();
    if (file.empty()) return Kept::Nothing;
    const std::optional<KeptGame> g =
        progress_.settled() || !settled_game_taken_ ? game_worth_keeping() : settled_game_;
    if (!g) return Kept::Nothing;
    if (from_other_version(first_line(file))) return Kept::OtherVersionThere;
    return replace_settings_file(file, kept_game_bytes(*g)) ? Kept::Written : Kept::NotWritable;
}

Game::KeptGameOffer Game::offer_kept_game() {
    const std::filesystem::path file = kept_game_file();
    if (file.empty()) return KeptGameOffer::None;
    std::string bytes, reason;
    switch (read_whole_file(file.string(), MAX_KEPT_GAME_BYTES, bytes, reason)) {
    case ReadFailure::None:
        break;
    case ReadFailure::TooLarge:
        if (from_other_version(first_line(file))) return other_version_kept();
        if (!remove_file(file)) keeping_failed_ = true;
        return KeptGameOffer::Removed;
    case ReadFailure::System:
        // Nothing there (or nothing to read): nothing to offer.
        return KeptGameOffer::None;
    }
    if (from_other_version(bytes)) return other_version_kept();
    const std::optional<KeptGame> kept = read_kept_game(bytes);
    if (!kept) {
        if (!remove_file(file)) keeping_failed_ = true;
        return KeptGameOffer::Removed;
    }
    const MsgAnswer answer = ask(KEPT_GAME_QUESTION, QUESTION_TITLE);
    // The window closed while it asked: the file stays for the next start.
    if (progress_.ending()) return KeptGameOffer::None;
    if (!remove_file(file)) keeping_failed_ = true;
    if (answer != MsgAnswer::Yes) return KeptGameOffer::Declined;
    bring_back(*kept);
    return KeptGameOffer::BroughtBack;
}

// A game kept by another version stays where it is for that version, and the
// player hears of it once: the state folder remembers which file was told.
Game::KeptGameOffer Game::other_version_kept() {
    const std::string told = told_line(kept_game_file());
    const std::optional<std::string> before = read_settings_file(state_folder / OTHER_VERSION_TOLD_FILE_NAME);
    if (!before || *before != told) {
        tell("前回の対局は別の版のゼムトリで残されたため、この版では続けられません。", QUESTION_TITLE);
        replace_settings_file(state_folder / OTHER_VERSION_TOLD_FILE_NAME, told);
    }
    return KeptGameOffer::OtherVersion;
}

// The game comes back on the board as it stood: the record with the entry
// shown, the sides, the turn, the clocks, the mode, the handicap, the level
// and a read record's header; the last move's text and the count beside the
// board.  The turn that was running runs on; on the computer's turn the
// computer moves.
void Game::bring_back(const KeptGame& g) {
    close_review();
    clear_thinkers();
    handicap.bring_back(g.handicap_rung, g.handicap_set);
    flow.bring_back(g.man_side, g.against_computer, g.to_move, g.winner, g.paused);
    kifu.bring_back(g.record);
    restore_position(g.board, pos);
    clock.reset();
    clock.restore({.man = g.man_total, .com = g.com_total});
    // The game's level is the level chosen from now on, and its choices
    // are drawn afresh, as a new game's are.
    if (level_offered(g.level)) {
        level_sentei(g.level);
        write_level();
    }
    draw_level_seed();
    record_title_ = g.title;
    record_upper_ = g.upper_name;
    record_lower_ = g.lower_name;

    gamen_hyouji();
    const int n = kifu.kifu_tesu();
    if (n >= 1) {
        const Ugoki u = kifu.ugoki(n);
        write_move_text(u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code);
    }
    if (kifu.tesu() >= 1) write_count(kifu.tesu());
    if (kifu.kifu_mode()) print_record_header();
    port.refresh();

    if (turn.TEBAN == NASHI || turn.SHOSHA != NASHI || turn.SAIKAI || kifu.kifu_mode()) return;
    if (turn.COM_TAISEN && turn.TEBAN == turn.COM_GAWA) {
        // The hand-over to the computer as after the person's move.
        kiki_keisan(engine);
        tsumi_hantei_ue(engine);
        com_ban();
        return;
    }
    clock.start_turn(port.time_of_day() - g.running);
    if (options_.KEIKA) port.set_timer1(true);
}

}  // namespace zemtori
