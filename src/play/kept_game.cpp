// What the game keeps between runs apart from the options: the game in
// progress when the program ends, offered again at the next start, and the
// computer's level.  And the question before a command gives up a game in
// progress.
#include <unistd.h>
#include <sys/stat.h>

#include "display/move_text.h"
#include "play/game.h"
#include "record/record_file.h"

namespace zemtori {

namespace {

constexpr const char* KEPT_GAME_QUESTION = "前回の対局を続けますか？";
constexpr const char* QUESTION_TITLE = "対局";

// Removes the file at `path` when it is a file (or a link) of its own: a
// folder or a pipe in its place is left alone.
void remove_file(const std::filesystem::path& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode))) ::unlink(path.c_str());
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
    const MsgAnswer answer = port.message_box(question, QUESTION_TITLE, MsgIcon::None, MsgButtons::YesNo);
    return answer == MsgAnswer::Yes && !ending_;
}

// The game as it stands, unless it is one without a move.  A move ended on
// its way (the window closed while it fell, or while the computer blinked
// its piece) is not kept: the board is the record's position before it, with
// the mover to move.  The side to move is the record's to say where it
// knows, so that a box the computer's move opened and the window's close
// answered leaves the turn with the person.
void Game::keep_game() {
    if (kept_game_file().empty() || mode() == PlayMode::NotStarted || !kifu.moves_in_game()) return;
    KeptGame g;
    g.record = kifu.whole();
    const int n = kifu.kifu_tesu();
    if (in_move_) g.board = kifu.entry(n);
    else store_position(pos, g.board);
    const int army = kifu.to_move(n);
    g.to_move = army != 0 && turn.TEBAN != NASHI ? side_of(army) : turn.TEBAN;
    g.winner = in_move_ ? side_of(kifu.winner(n)) : turn.SHOSHA;
    g.man_side = turn.MAN_GAWA;
    g.against_computer = turn.COM_TAISEN;
    g.paused = turn.SAIKAI;
    g.level = engine.COM_LEVEL;
    g.handicap_rung = handicap.dan();
    g.handicap_set = handicap.settei();
    g.man_total = clock.man_jikan();
    g.com_total = clock.com_jikan();
    // The computer's turn that a box of its move was showing has not been
    // added to its total yet; the record has it.
    if (turn.COM_TAISEN && turn.TEBAN == turn.COM_GAWA && g.to_move == turn.MAN_GAWA && n >= 1)
        g.com_total = kifu.entry(n).COM_ATO;
    // The person's turn (or either person's) goes on where it stood.
    const bool open = g.to_move != NASHI && g.winner == NASHI && !g.paused && !kifu.kifu_mode();
    if (open && (!turn.COM_TAISEN || g.to_move == turn.MAN_GAWA)) g.running = clock.running(port.time_of_day());
    g.title = record_title_;
    g.upper_name = record_upper_;
    g.lower_name = record_lower_;
    replace_settings_file(kept_game_file(), kept_game_bytes(g));
}

Game::KeptGameOffer Game::offer_kept_game() {
    const std::filesystem::path file = kept_game_file();
    if (file.empty()) return KeptGameOffer::None;
    std::string bytes, reason;
    switch (read_whole_file(file.string(), MAX_KEPT_GAME_BYTES, bytes, reason)) {
    case ReadFailure::None:
        break;
    case ReadFailure::TooLarge:
        remove_file(file);
        return KeptGameOffer::Removed;
    case ReadFailure::System:
        // Nothing there (or nothing to read): nothing to offer.
        return KeptGameOffer::None;
    }
    const std::optional<KeptGame> kept = read_kept_game(bytes);
    if (!kept) {
        remove_file(file);
        return KeptGameOffer::Removed;
    }
    const MsgAnswer answer = port.message_box(KEPT_GAME_QUESTION, QUESTION_TITLE, MsgIcon::None, MsgButtons::YesNo);
    // The window closed while it asked: the file stays for the next start.
    if (ending_) return KeptGameOffer::None;
    remove_file(file);
    if (answer != MsgAnswer::Yes) return KeptGameOffer::Declined;
    bring_back(*kept);
    return KeptGameOffer::BroughtBack;
}

// The game comes back on the board as it stood: the record with the entry
// shown, the sides, the turn, the clocks, the mode, the handicap, the level
// and a read record's header; the last move's text and the count beside the
// board.  The turn that was running runs on; on the computer's turn the
// computer moves.
void Game::bring_back(const KeptGame& g) {
    close_review();
    handicap.bring_back(g.handicap_rung, g.handicap_set);
    flow.bring_back(g.man_side, g.against_computer, g.to_move, g.winner, g.paused);
    kifu.bring_back(g.record);
    restore_position(g.board, pos);
    clock.reset();
    clock.restore({.man = g.man_total, .com = g.com_total});
    if (level_offered(g.level)) level_sentei(g.level);
    record_title_ = g.title;
    record_upper_ = g.upper_name;
    record_lower_ = g.lower_name;

    gamen_hyouji();
    const int n = kifu.kifu_tesu();
    if (n >= 1) {
        const Ugoki u = kifu.ugoki(n);
        sashite_hyouji(screen, turn, u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code, SHIRO);
    }
    if (kifu.tesu() >= 1) tesu_hyouji(screen, kifu.tesu());
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
