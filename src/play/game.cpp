#include "play/game.h"

#include <utility>

namespace zemtori {

const MenuItem MENU_ITEMS[] = {
    {"TAIKYOKU", "対局", nullptr},
    {"MATCH_MAN", "対局(人間)", "TAIKYOKU"},
    {"START", "スタート", "MATCH_MAN"},
    {"START2", "対局(COM)", "TAIKYOKU"},
    {"SENTE", "先手", "START2"},
    {"GOTE", "後手", "START2"},
    {"LEVEL", "COM対局ﾚﾍﾞﾙ", "TAIKYOKU"},
    {"LEVEL1", "LEVEL1", "LEVEL"},
    {"LEVEL2", "LEVEL2", "LEVEL"},
    {"LEVEL3", "LEVEL3", "LEVEL"},
    {"OWARI", "終わり", "TAIKYOKU"},
    {"STOP", "局面", nullptr},
    {"CANCEL", "最初", "STOP"},
    {"REVERSE", "反転", "STOP"},
    {"REPLAY", "戻", "STOP"},
    {"AFTER", "進", "STOP"},
    {"LBEL_UP", "△", "STOP"},
    {"LEBEL_DOWN", "▽", "STOP"},
    {"KIFU", "棋譜", nullptr},
    {"KIFU_READ", "読込", "KIFU"},
    {"KIFU_WRITE", "書込", "KIFU"},
    {"OPTION", "ｵﾌﾟｼｮﾝ", nullptr},
    {"HAIKEI_GA", "背景画", "OPTION"},
    {"MIDORI", "緑", "HAIKEI_GA"},
    {"TATAMI", "畳", "HAIKEI_GA"},
    {"TAKE", "竹", "HAIKEI_GA"},
    {"UCHU", "宇宙", "HAIKEI_GA"},
    {"RENGA", "煉瓦", "HAIKEI_GA"},
    {"SIDOU", "移動指導", "OPTION"},
    {"KEIKA", "経過時間", "OPTION"},
    {"BGM", "BGM", "OPTION"},
    {"VER", "その他", nullptr},
};
const int MENU_ITEM_COUNT = sizeof(MENU_ITEMS) / sizeof(MENU_ITEMS[0]);

// Commands whose handlers are not built yet stay disabled.
static const char* const NOT_YET_BUILT[] = {
    "START", "SENTE", "GOTE", "LEVEL1", "LEVEL2", "LEVEL3", "CANCEL", "REVERSE", "REPLAY", "AFTER",
    "LBEL_UP", "LEBEL_DOWN", "KIFU_READ", "KIFU_WRITE", "MIDORI", "TATAMI", "TAKE", "UCHU",
    "RENGA", "SIDOU", "KEIKA", "BGM", "VER",
};

Game::Game(Port& p, std::string dir) : port(p), screen(p), data_dir(std::move(dir)) {}

void shoki_haichi(Position& pos) {
    static const int camp[10] = {0, 20, 30, 40, 50, 80, 50, 40, 30, 20};
    for (int x = 1; x <= 9; ++x) {
        pos.BAN[x][1] = camp[x];
        pos.BAN[x][3] = HU;
        pos.BAN[x][7] = -HU;
        pos.BAN[x][9] = -camp[x];
    }
    pos.BAN[2][2] = HISHA;
    pos.BAN[8][2] = KAKU;
    pos.BAN[2][8] = -KAKU;
    pos.BAN[8][8] = -HISHA;
}

void Game::load() {
    for (const char* item : NOT_YET_BUILT) port.set_menu_enabled(item, false);
    // Game-state values at load.
    turn.TEBAN = 0;
    turn.COM_GAWA = 1;
    turn.MAN_GAWA = -1;
    turn.KIFU_MODE = 0;
    screen.IDOU_SIDOU = 0;
    // Colours.
    screen.WAKU_IRO = MIDORI_IRO;
    screen.KESU_IRO = MIDORI_IRO;
    screen.SENTAKU_IRO = AKA;
    screen.SIDOU_IRO = MIDORI_IRO;
    turn.COM_LEVEL = 3;
    port.set_menu_checked("LEVEL3", true);
    // Background until the settings file is read.
    screen.HAIKEI = HAIKEI_MIDORI;
    screen.haikei_menu(screen.HAIKEI);
    screen.haikei_hyouji(screen.HAIKEI);
    shinki_kyokumen();
}

void Game::shinki_kyokumen() {
    turn.COM_TAISEN = 0;
    turn.SHOSHA = 0;
    turn.TEBAN = 0;
    turn.TESU = 0;
    port.set_timer1(false);
    turn.SAIKAI = 0;
    turn.KIFU_MODE = 0;
    turn.SENTAKU = 0;
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
    screen.haikei_hyouji(screen.HAIKEI);
    screen.zahyou_hyouji();
    screen.mochigoma_hyouji_sita(pos);
    screen.mochigoma_hyouji_ue(pos);
    screen.ban_hyouji(pos);
    screen.gazou_hyouji(TITLE_GA, 11, -0.2);
}

void Game::menu(const std::string& item) {
    if (item == "OWARI") owari();
}

void Game::mouse_down(int, double, double) {}

void Game::key_press(int key) {
    if (key == 27) owari();
}

void Game::timer_tick() {}

void Game::closing() { owari(); }

void Game::owari() { port.end_program(); }

}  // namespace zemtori
