// The options of the ｵﾌﾟｼｮﾝ menu: the background picture, move guidance
// (移動指導), the clock (経過時間) and the music, and the settings file that
// keeps them between runs; the pace (速度) and the sound effects (効果音),
// kept in a file of their own beside it.  The game's Options value is what the options
// are: the file is written from it and read into it, and every change shows
// in the menus' check marks.
#include "play/game.h"
#include "settings/format.h"

namespace zemtori {

namespace {

static_assert(BACKGROUND_LINES[0].code == HAIKEI_MIDORI && BACKGROUND_LINES[1].code == HAIKEI_TATAMI &&
                  BACKGROUND_LINES[2].code == HAIKEI_TAKE && BACKGROUND_LINES[3].code == HAIKEI_UCHU &&
                  BACKGROUND_LINES[4].code == HAIKEI_RENGA,
              "a background line names the picture code of its tiles");

// The background items with the picture code each chooses.
struct BackgroundItem {
    MenuId item;
    int code;
};
constexpr BackgroundItem BACKGROUND_ITEMS[] = {
    {MenuId::MIDORI, HAIKEI_MIDORI}, {MenuId::TATAMI, HAIKEI_TATAMI}, {MenuId::TAKE, HAIKEI_TAKE},
    {MenuId::UCHU, HAIKEI_UCHU},     {MenuId::RENGA, HAIKEI_RENGA},
};

}  // namespace

void Game::set_haikei(int code) {
    options_.HAIKEI = code;
    for (const BackgroundItem& b : BACKGROUND_ITEMS) set_checked(b.item, b.code == code);
}

void Game::set_sidou(bool on) {
    options_.IDOU_SIDOU = on;
    set_checked(MenuId::SIDOU, on);
}

void Game::set_keika(bool on) {
    options_.KEIKA = on;
    set_checked(MenuId::KEIKA, on);
}

void Game::set_bgm(bool on) {
    options_.BGM = on;
    set_checked(MenuId::BGM, on);
}

void Game::set_hayai(bool on) {
    options_.HAYAI = on;
    set_checked(MenuId::FUTSUU, !on);
    set_checked(MenuId::HAYAI, on);
    animation.set_pace(pace());
}

void Game::set_koukaon(bool on) {
    options_.KOUKAON = on;
    set_checked(MenuId::KOUKAON, on);
}

double Game::pace() const { return options_.HAYAI ? FAST_PACE : 1.0; }

// The pace and the effects from their own file; a missing or damaged file
// reads as the defaults (普通, effects on), and nothing is written until the
// player changes one of them.
void Game::read_play_options() {
    const std::optional<std::string> bytes = read_settings_file(play_options_file());
    const PlayOptions file = bytes ? zemtori::read_play_options(*bytes) : PlayOptions{};
    set_hayai(file.fast);
    set_koukaon(file.effects);
}

// Through the same whole-file writer as the settings file; when it cannot be
// written the options stay as chosen for this run.
void Game::write_play_options() {
    replace_settings_file(play_options_file(), play_options_bytes(options_.play_options()));
}

void Game::FUTSUU_Click() {
    set_hayai(false);
    write_play_options();
}

void Game::HAYAI_Click() {
    set_hayai(true);
    write_play_options();
}

void Game::KOUKAON_Click() {
    set_koukaon(!options_.KOUKAON);
    write_play_options();
}

// Line by line, each line setting its option; a line that is not there ends
// the reading, and the default file is written in its place.
void Game::read_settings() {
    const std::optional<std::string> bytes = read_settings_file(settings_file);
    const SettingsLines file = bytes ? read_settings_lines(*bytes) : SettingsLines{};

    // A first line that names none of the five backgrounds reads as green,
    // checked like any other, so the file written next has all four lines.
    // The background is tiled by the full redraw of the new game that
    // follows at start-up.
    if (file.count >= 1) set_haikei(file.says.haikei != 0 ? file.says.haikei : HAIKEI_MIDORI);
    if (file.count >= 2) {
        set_sidou(file.says.sidou);
    }
    if (file.count >= 3) set_keika(file.says.keika);
    if (file.count >= 4) {
        set_bgm(file.says.bgm);
        if (file.says.bgm) start_music();
        return;
    }

    // The default file, and the options as it says.  Whether it could be
    // written or not, the game goes on with these.
    replace_settings_file(settings_file, settings_file_bytes(DEFAULT_SETTINGS));
    set_haikei(HAIKEI_MIDORI);
    // Guidance goes off, also when the file had it on: the menu shows what
    // the game does.
    set_sidou(false);
    set_keika(true);
    // What is checked is what plays: the music starts now (and stays silent
    // on a machine without sound, the check mark kept).
    set_bgm(true);
    start_music();
}

// The file anew from the options.  When it cannot be written the old file
// stays whole and the options stay as the player chose them for this run.
void Game::write_settings() { replace_settings_file(settings_file, settings_file_bytes(options_.settings_marks())); }

// Choosing the checked background again changes nothing but still writes the
// file and redraws the window.
// The full redraw paints the new background over everything beside the
// board: what was written there (the last moves, the count, a read record's
// title and names) and the frames that stood out are drawn again.
void Game::haikei_click(int code) {
    if (options_.HAIKEI != code) set_haikei(code);
    write_settings();
    const MoveTextShown upper = move_text_upper_, lower = move_text_lower_;
    const std::optional<int> count = count_shown_;
    const std::vector<Screen::Frame> frames = screen.highlights();
    gamen_hyouji();
    if (upper.shown) write_move_text(turn.COM_GAWA, upper.x, upper.y, upper.code);
    if (lower.shown) write_move_text(turn.MAN_GAWA, lower.x, lower.y, lower.code);
    if (count) write_count(*count);
    if (kifu.kifu_mode()) print_record_header();
    for (const Screen::Frame& f : frames) screen.waku_hyouji(f.colour, f.c, f.r);
}

void Game::MIDORI_Click() { haikei_click(HAIKEI_MIDORI); }
void Game::TATAMI_Click() { haikei_click(HAIKEI_TATAMI); }
void Game::TAKE_Click() { haikei_click(HAIKEI_TAKE); }
void Game::UCHU_Click() { haikei_click(HAIKEI_UCHU); }
void Game::RENGA_Click() { haikei_click(HAIKEI_RENGA); }

void Game::BGM_Click() {
    if (options_.BGM) {
        set_bgm(false);
        sound.stop_music();
    } else {
        set_bgm(true);
        start_music();
    }
    write_settings();
}

// Switching guidance off takes every highlight off the board and both hands
// at once; switching it on shows nothing until the next selection.
void Game::SIDOU_Click() {
    if (options_.IDOU_SIDOU) {
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 9; ++c) screen.waku_hyouji(screen.KESU_IRO, c, r);
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            screen.waku_hyouji(screen.KESU_IRO, -1, k);
            screen.waku_hyouji(screen.KESU_IRO, 11, k + 2);
        }
        set_sidou(false);
    } else {
        set_sidou(true);
    }
    write_settings();
}

// The clock off clears both clock areas; on, it shows both totals at once,
// also before any game (00:00:00).
void Game::KEIKA_Click() {
    if (options_.KEIKA) {
        set_keika(false);
        port.set_timer1(false);
        jikan_kesu(screen, turn, turn.MAN_GAWA);
        jikan_kesu(screen, turn, turn.COM_GAWA);
    } else {
        set_keika(true);
        port.set_timer1(true);
        jikan_hyouji(screen, turn, turn.COM_GAWA, clock.com_jikan(), options_.KEIKA);
        jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.man_jikan(), options_.KEIKA);
    }
    write_settings();
}

void Game::start_music() { sound.start_music(); }

}  // namespace zemtori
