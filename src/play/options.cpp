// The options of the ｵﾌﾟｼｮﾝ menu: the background picture, move guidance
// (移動指導), the clock (経過時間) and the music, and the settings file that
// keeps them between runs.  The menu's check marks are what the options are:
// writing the file looks only at them, and reading the file sets them.
#include "play/game.h"
#include "settings/format.h"

namespace zemtori {

namespace {

static_assert(BACKGROUND_LINES[0].code == HAIKEI_MIDORI && BACKGROUND_LINES[1].code == HAIKEI_TATAMI &&
                  BACKGROUND_LINES[2].code == HAIKEI_TAKE && BACKGROUND_LINES[3].code == HAIKEI_UCHU &&
                  BACKGROUND_LINES[4].code == HAIKEI_RENGA,
              "a background line names the picture code of its tiles");

// The background items in the order the file's first line is chosen from.
struct BackgroundItem {
    const char* item;
    int code;
};
constexpr BackgroundItem BACKGROUND_ITEMS[] = {
    {"MIDORI", HAIKEI_MIDORI}, {"TAKE", HAIKEI_TAKE}, {"TATAMI", HAIKEI_TATAMI},
    {"UCHU", HAIKEI_UCHU},     {"RENGA", HAIKEI_RENGA},
};

}  // namespace

// Line by line, each line setting its option; a line that is not there ends
// the reading, and the default file is written in its place.
void Game::read_settings() {
    const std::optional<std::string> bytes = read_settings_file(settings_file);
    const SettingsLines file = bytes ? read_settings_lines(*bytes) : SettingsLines{};

    // A first line that names none of the five backgrounds reads as green,
    // checked like any other, so the file written next has all four lines.
    if (file.count >= 1) {
        const int haikei = file.says.haikei != 0 ? file.says.haikei : HAIKEI_MIDORI;
        screen.haikei_menu(haikei);
        screen.haikei_hyouji(haikei);
        screen.HAIKEI = haikei;
    }
    if (file.count >= 2) {
        screen.SIDOU_IRO = file.says.sidou ? SHIRO : MIDORI_IRO;
        port.set_menu_checked("SIDOU", file.says.sidou);
        screen.IDOU_SIDOU = file.says.sidou;
    }
    if (file.count >= 3) port.set_menu_checked("KEIKA", file.says.keika);
    if (file.count >= 4) {
        port.set_menu_checked("BGM", file.says.bgm);
        if (file.says.bgm) start_music();
        return;
    }

    // The default file, and the options as it says.  Whether it could be
    // written or not, the game goes on with these.
    replace_settings_file(settings_file, settings_file_bytes(DEFAULT_SETTINGS));
    screen.haikei_menu(HAIKEI_MIDORI);
    screen.haikei_hyouji(HAIKEI_MIDORI);
    screen.HAIKEI = HAIKEI_MIDORI;
    // Guidance goes off with its check mark, also when the file had it on:
    // the menu shows what the game does.
    port.set_menu_checked("SIDOU", false);
    screen.IDOU_SIDOU = false;
    screen.SIDOU_IRO = screen.KESU_IRO;
    port.set_menu_checked("KEIKA", true);
    // What is checked is what plays: the music starts now (and stays silent
    // on a machine without sound, the check mark kept).
    port.set_menu_checked("BGM", true);
    start_music();
}

// The file anew from the check marks.  When it cannot be written the old file
// stays whole and the options stay as the player chose them for this run.
void Game::write_settings() {
    SettingsMarks marks;
    for (const BackgroundItem& b : BACKGROUND_ITEMS)
        if (port.menu_checked(b.item)) {
            marks.haikei = b.code;
            break;
        }
    marks.sidou = port.menu_checked("SIDOU");
    marks.keika = port.menu_checked("KEIKA");
    marks.bgm = port.menu_checked("BGM");
    replace_settings_file(settings_file, settings_file_bytes(marks));
}

// Choosing the checked background again changes nothing but still writes the
// file and redraws the window.
void Game::haikei_click(const char* item, int code) {
    if (!port.menu_checked(item)) {
        screen.haikei_menu(code);
        screen.HAIKEI = code;
    }
    write_settings();
    gamen_hyouji();
}

void Game::MIDORI_Click() { haikei_click("MIDORI", HAIKEI_MIDORI); }
void Game::TATAMI_Click() { haikei_click("TATAMI", HAIKEI_TATAMI); }
void Game::TAKE_Click() { haikei_click("TAKE", HAIKEI_TAKE); }
void Game::UCHU_Click() { haikei_click("UCHU", HAIKEI_UCHU); }
void Game::RENGA_Click() { haikei_click("RENGA", HAIKEI_RENGA); }

void Game::BGM_Click() {
    if (port.menu_checked("BGM")) {
        port.set_menu_checked("BGM", false);
        sound.stop_music();
    } else {
        port.set_menu_checked("BGM", true);
        start_music();
    }
    write_settings();
}

// Switching guidance off takes every highlight off the board and both hands
// at once; switching it on shows nothing until the next selection.
void Game::SIDOU_Click() {
    if (port.menu_checked("SIDOU")) {
        for (int r = 1; r <= 9; ++r)
            for (int c = 1; c <= 9; ++c) screen.waku_hyouji(screen.KESU_IRO, c, r);
        for (int k = 1; k <= MOCHI_SLOTS; ++k) {
            screen.waku_hyouji(screen.KESU_IRO, -1, k);
            screen.waku_hyouji(screen.KESU_IRO, 11, k + 2);
        }
        port.set_menu_checked("SIDOU", false);
        screen.IDOU_SIDOU = false;
        screen.SIDOU_IRO = screen.KESU_IRO;
    } else {
        port.set_menu_checked("SIDOU", true);
        screen.IDOU_SIDOU = true;
        screen.SIDOU_IRO = SHIRO;
    }
    write_settings();
}

// The clock off clears both clock areas; on, it shows both totals at once,
// also before any game (00:00:00).
void Game::KEIKA_Click() {
    if (port.menu_checked("KEIKA")) {
        port.set_menu_checked("KEIKA", false);
        port.set_timer1(false);
        jikan_kesu(screen, turn, turn.MAN_GAWA);
        jikan_kesu(screen, turn, turn.COM_GAWA);
    } else {
        port.set_menu_checked("KEIKA", true);
        port.set_timer1(true);
        jikan_hyouji(screen, turn, turn.COM_GAWA, clock.COM_JIKAN);
        jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.MAN_JIKAN);
    }
    write_settings();
}

void Game::start_music() { sound.start_music(); }

}  // namespace zemtori
