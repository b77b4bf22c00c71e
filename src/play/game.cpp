// Start-up, the new game and the full redraw, and what every handler shares:
// the sounds, refusals, hiding the record-file controls, ending the program.
#include "play/game.h"

#include "display/move_text.h"
#include "display/version.h"
#include "rules/opening.h"

namespace zemtori {

Game::Game(Port& p, SoundPort& s) : port(p), sound(s) {}

void Game::load() {
    enable_built_commands();
    sound.open_sound();
    sound.load_all();
    // Game-state values at load.
    flow.program_start();
    engine.COM_LEVEL = 3;
    set_checked(MenuId::LEVEL3, true);
    // The background, guidance, clock and music, as the settings file says.
    read_settings();
    read_play_options();
    read_level();
    shinki_kyokumen();
}

void Game::shinki_kyokumen() {
    close_review();
    clear_thinkers();
    record_title_.clear();
    record_upper_.clear();
    record_lower_.clear();
    handicap.reset();
    flow.new_game();
    kifu.shinki();
    port.set_timer1(false);
    clock.reset();
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        pos.MOCHI_UE_KOMA[k] = pos.MOCHI_UE_KAZU[k] = 0;
        pos.MOCHI_SITA_KOMA[k] = pos.MOCHI_SITA_KAZU[k] = 0;
    }
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[x][y] = 0;
    shoki_haichi(pos);
    pos.MOCHI_UE_GOKEI = 0;
    pos.MOCHI_SITA_GOKEI = 0;
    gamen_hyouji();
}

void Game::gamen_hyouji() {
    // Everything beside the board goes under the background.
    move_text_upper_ = move_text_lower_ = {};
    count_shown_.reset();
    screen.haikei_hyouji(screen.haikei());
    screen.zahyou_hyouji();
    screen.mochigoma_hyouji_sita(pos);
    screen.mochigoma_hyouji_ue(pos);
    screen.ban_hyouji(pos);
    jikan_hyouji(screen, turn, turn.COM_GAWA, clock.com_jikan(), options_.KEIKA);
    jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.man_jikan(), options_.KEIKA);
    if (turn.COM_TAISEN) level_hyouji(engine.COM_LEVEL);
    // The handicap caption lies below the title plate, clear of it.
    if (handicap.settei()) handicap_hyouji(handicap.dan());
    screen.gazou_hyouji(TITLE_GA, 11, -0.2);
}

void Game::key_press(int key) {
    if (key == ESC_KEY) owari();
}

// The clock stands still while a box waits for its answer.
void Game::timer_tick() {
    if (!port.timer1_enabled() || box_opened_at_) return;
    jikan_tick(screen, clock, turn, options_.KEIKA);
}

void Game::closing() { owari(); }

void Game::end_quietly() { owari(true); }

void Game::VER_Click() {
    hide_record_controls();
    const double opened = port.time_of_day();
    box_opened_at_ = opened;
    version_box(port, [this] { play_other(); });
    box_opened_at_.reset();
    clock.leave_out(keika_byou(opened, port.time_of_day()));
}

// The rules window opens beside the board and leaves the game as it is.
void Game::ASOBIKATA_Click() {
    hide_record_controls();
    port.show_rules();
}

// Whatever was under way ends where it stands: the game is kept as it stood
// when the board was last settled, and the program ends.  A player who closed
// the window hears once why the game could not be kept.
void Game::owari(bool quietly) {
    if (progress_.ending()) {
        port.end_program();
        return;
    }
    const Kept kept = keep_game();
    progress_.end();
    if (!quietly) {
        if (kept == Kept::NotWritable)
            tell("状態フォルダに書き込めないため、この対局を次の起動に残せませんでした。", "終了");
        else if (kept == Kept::OtherVersionThere)
            tell("別の版のゼムトリの対局が残っているため、この対局は次の起動に残せませんでした。", "終了");
        else if (keeping_failed_ && kept == Kept::Nothing)
            tell("状態フォルダに書き込めないため、前回の対局を消せませんでした。次の起動でもう一度たずねます。", "終了");
    }
    sound.close_sound();
    port.end_program();
}

void Game::hide_record_controls() {
    file_list_hyouji(false, false, false);
    hozon_dialog(1);
}

// The three effects are silent while 効果音 is off; the music is not one of them.
void Game::play_piece() {
    if (options_.KOUKAON) sound.play_piece();
}

void Game::play_refusal() {
    if (options_.KOUKAON) sound.play_refusal();
}

void Game::play_other() {
    if (options_.KOUKAON) sound.play_other();
}

void Game::refuse(const std::string& text, const std::string& title) {
    play_refusal();
    tell(text, title);
}

void Game::tell(const std::string& text, const std::string& title) { box(text, title, MsgButtons::Ok); }

MsgAnswer Game::ask(const std::string& text, const std::string& title) { return box(text, title, MsgButtons::YesNo); }

// The running turn's clock leaves out the time the box waited: it starts
// that much later.
MsgAnswer Game::box(const std::string& text, const std::string& title, MsgButtons buttons) {
    const bool nested = box_opened_at_.has_value();
    const double opened = port.time_of_day();
    if (!nested) box_opened_at_ = opened;
    const MsgAnswer answer = port.message_box(text, title, MsgIcon::None, buttons);
    if (!nested) {
        box_opened_at_.reset();
        clock.leave_out(keika_byou(opened, port.time_of_day()));
    }
    return answer;
}

int Game::sidou_iro() const { return options_.IDOU_SIDOU ? SHIRO : Screen::KESU_IRO; }

int Game::side_of(int army) const { return army > 0 ? turn.COM_GAWA : army < 0 ? turn.MAN_GAWA : NASHI; }

int Game::army_of(int side) const {
    if (side == NASHI) return 0;
    return side == turn.COM_GAWA ? +1 : -1;
}

void Game::write_move_text(int side, int x, int y, int code) {
    sashite_hyouji(screen, turn, side, x, y, code, SHIRO);
    MoveTextShown& shown = side == turn.COM_GAWA ? move_text_upper_ : move_text_lower_;
    shown = {true, x, y, code};
}

void Game::erase_move_text(int side) {
    sashite_kesu(screen, turn, side);
    (side == turn.COM_GAWA ? move_text_upper_ : move_text_lower_) = {};
}

void Game::write_count(int n) {
    tesu_hyouji(screen, n);
    count_shown_ = n;
}

void Game::record_move(const Sashite& move) {
    kifu.move_made(pos, move);
    if (turn.SHOSHA != NASHI) kifu.game_over(army_of(turn.SHOSHA));
}

void Game::win(int side) {
    flow.end_with_winner(side);
    kifu.game_over(army_of(side));
}

void GameSetup::set_position(Game& g, const Position& p) { g.pos = p; }

void GameSetup::computer_to_move(Game& g) {
    g.flow.start_game(true, GOTE_GAWA);
    g.kifu.shinki();
    kiki_keisan(g.engine);
    tsumi_hantei_ue(g.engine);
}

void GameSetup::load_record(Game& g, const RecordFile& file) { g.read_record(file); }

void GameSetup::set_clock(Game& g, ClockTotals totals) { g.clock.restore(totals); }

}  // namespace zemtori
