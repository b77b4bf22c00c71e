#include "play/game.h"

#include <utility>

#include "display/move_text.h"
#include "display/version.h"
#include "rules/legality.h"
#include "rules/moves.h"
#include "rules/opening.h"
#include "rules/wait.h"

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

// Commands whose handlers are not built yet stay disabled, so that no item
// pretends to work: play against the computer, the handicap ladder, record
// files and the option menu.
static const char* const NOT_YET_BUILT[] = {
    "SENTE", "GOTE", "LEVEL1", "LEVEL2", "LEVEL3", "LBEL_UP", "LEBEL_DOWN", "KIFU_READ",
    "KIFU_WRITE", "MIDORI", "TATAMI", "TAKE", "UCHU", "RENGA", "SIDOU", "KEIKA", "BGM",
};

Game::Game(Port& p, std::string dir) : port(p), screen(p), sound(p, dir), data_dir(std::move(dir)) {}

void Game::load() {
    for (const char* item : NOT_YET_BUILT) port.set_menu_enabled(item, false);
    sound.open_sound();
    sound.load_all();
    // Game-state values at load.
    turn.TEBAN = 0;
    turn.COM_GAWA = 1;
    turn.MAN_GAWA = -1;
    turn.KIFU_MODE = 0;
    screen.IDOU_SIDOU = 0;
    screen.WAKU_IRO = MIDORI_IRO;
    screen.KESU_IRO = MIDORI_IRO;
    screen.SENTAKU_IRO = AKA;
    turn.COM_LEVEL = 3;
    port.set_menu_checked("LEVEL3", true);
    // The settings that the settings file will hold, at their defaults until
    // it exists: green background, no guidance, no clock, no music.
    screen.HAIKEI = HAIKEI_MIDORI;
    screen.haikei_menu(screen.HAIKEI);
    screen.haikei_hyouji(screen.HAIKEI);
    screen.SIDOU_IRO = MIDORI_IRO;
    port.set_menu_checked("SIDOU", false);
    shinki_kyokumen();
}

void Game::shinki_kyokumen() {
    HANDE_DAN = 0;
    HANDE_SETTEI = 0;
    turn.COM_TAISEN = 0;
    turn.SHOSHA = 0;
    turn.TEBAN = 0;
    kifu.KIFU_TESU = 0;
    turn.TESU = 0;
    kifu.HANTEN = 0;
    port.set_timer1(false);
    jikan_shokika(clock);
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
    jikan_hyouji(screen, turn, turn.COM_GAWA, clock.COM_JIKAN);
    jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.MAN_JIKAN);
    // The level caption of a game against the computer and the handicap
    // caption are drawn here once those modes exist.
    screen.gazou_hyouji(TITLE_GA, 11, -0.2);
}

void Game::menu(const std::string& item) {
    if (item == "TAIKYOKU" || item == "STOP") hide_record_controls();
    else if (item == "START") START_Click();
    else if (item == "OWARI") OWARI_Click();
    else if (item == "REPLAY") REPLAY_Click();
    else if (item == "AFTER") AFTER_Click();
    else if (item == "CANCEL") CANCEL_Click();
    else if (item == "REVERSE") REVERSE_Click();
    else if (item == "VER") version_box(port, [this] { play_other(); });
}

void Game::key_press(int key) {
    if (key == ESC_KEY) owari();
}

void Game::timer_tick() {
    if (!port.timer1_enabled()) return;
    jikan_tick(screen, clock, turn);
}

void Game::closing() { owari(); }

void Game::OWARI_Click() { owari(); }

void Game::owari() {
    sound.close_sound();
    port.end_program();
}

void Game::hide_record_controls() {
    port.show_record_control(RecordControl::DriveList, false);
    port.show_record_control(RecordControl::DirList, false);
    port.show_record_control(RecordControl::FileList, false);
    port.show_record_control(RecordControl::SavePanel, false);
}

void Game::play_piece() {
    sound_log.push_back(KOMA_WAV);
    sound.play_piece();
}

void Game::play_refusal() {
    sound_log.push_back(KINSHI_WAV);
    sound.play_refusal();
}

void Game::play_other() {
    sound_log.push_back(SONOTA_WAV);
    sound.play_other();
}

void Game::refuse(const std::string& text, const std::string& title) {
    play_refusal();
    port.message_box(text, title, MsgIcon::None, MsgButtons::Ok);
}

void Game::start_turn_clock() {
    jikan_kaishi(clock, port);
    if (port.menu_checked("KEIKA")) port.set_timer1(true);
}

// ---------------------------------------------------------------------------
// Starting a game between two people.

void Game::START_Click() {
    if (turn.SHOSHA != 0) {
        shinki_kyokumen();
        port.refresh();
    }
    turn.KIFU_MODE = 0;
    screen.ban_shita_kesu();
    for (int c = -2; c <= 0; ++c) screen.gazou_hyouji(screen.HAIKEI, c, 0);
    // The highlight frames go, and with them any selection they showed.
    screen.waku_kesu();
    turn.SENTAKU = 0;
    start_turn_clock();
    rakka(pos, &screen);
    turn.COM_TAISEN = 0;
    if (turn.TESU == 0 || turn.TEBAN == 0) {
        turn.MAN_GAWA = 1;
        turn.COM_GAWA = -1;
        turn.TEBAN = 1;
        port.message_box("先手の番です", " ", MsgIcon::None, MsgButtons::Ok);
    } else {
        port.message_box(turn.TEBAN == 1 ? "先手の番です" : "後手の番です", " ", MsgIcon::None,
                         MsgButtons::Ok);
    }
    turn.SAIKAI = 0;
}

// ---------------------------------------------------------------------------
// The mouse.

void Game::idou_shidou(int from_x, int from_y, int colour, int koma) {
    screen.waku_kesu();
    if (screen.IDOU_SIDOU == 0) return;
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y)
            if (idou_kanou(pos, from_x, from_y, x, y, koma) == 1) screen.waku_hyouji(colour, y, x);
}

void Game::mouse_down(int button, double X, double Y) {
    hide_record_controls();
    if (turn.KIFU_MODE == 1) {
        const MsgAnswer a = port.message_box("棋譜を '進 'で進めて下さい", "棋譜", MsgIcon::None,
                                             MsgButtons::YesNo);
        if (a == MsgAnswer::No) {
            play_refusal();
            shinki_kyokumen();
        }
        return;
    }
    if (turn.SHOSHA != 0) {
        port.message_box("新規に対局してください", "終局", MsgIcon::None, MsgButtons::Ok);
        return;
    }
    const int c = cell_column(X);
    const int r = cell_row(Y);
    if (turn.TEBAN == 0) {
        refuse("「対局」で始めて下さい", "開始");
        return;
    }
    if (turn.COM_TAISEN == 0) {
        if (turn.SAIKAI == 1) {
            turn.SAIKAI = 0;
            start_turn_clock();
            port.message_box(turn.TEBAN == 1 ? "先手の番です" : "後手の番です", "対局",
                             MsgIcon::None, MsgButtons::Ok);
        }
    }
    // Resuming a game against the computer belongs to that mode's turn flow.
    if (c >= 1 && c <= 9 && r >= 1 && r <= 9) {
        if (turn.SENTAKU == 0) select_on_board(r, c);
        else destination_on_board(button, r, c);
        return;
    }
    select_in_hand(c, r);
}

static bool is_mover(const TurnState& turn, int koma) {
    return (koma <= -10 && turn.TEBAN == turn.MAN_GAWA) || (koma >= 10 && turn.TEBAN == turn.COM_GAWA);
}

void Game::select_on_board(int x, int y) {
    if (pos.BAN[x][y] == 0) return;
    Sashite& s = turn.SASHITE;
    s.from_x = x;
    s.from_y = y;
    s.koma = pos.BAN[x][y];
    idou_shidou(x, y, screen.SIDOU_IRO, s.koma);
    if (is_mover(turn, s.koma)) {
        screen.waku_hyouji(screen.SENTAKU_IRO, y, x);
        turn.SENTAKU = 1;
    } else {
        screen.waku_hyouji(screen.SIDOU_IRO, y, x);
    }
}

// Repaints the frame of the move's source in `colour`.
static void source_frame(Screen& screen, const Sashite& s, int colour) {
    if (s.from_x == UE_TE_X || s.from_x == SITA_TE_X) screen.waku_hyouji(colour, s.from_x, s.from_y);
    else screen.waku_hyouji(colour, s.from_y, s.from_x);
}

void Game::destination_on_board(int button, int x, int y) {
    Sashite& s = turn.SASHITE;
    screen.mochi_waku_kesu();
    s.to_x = x;
    s.to_y = y;
    if ((s.from_x == UE_TE_X && turn.TEBAN == turn.MAN_GAWA) ||
        (s.from_x == SITA_TE_X && turn.TEBAN == turn.COM_GAWA)) {
        screen.waku_kesu();
        turn.SENTAKU = 0;
        return;
    }
    if (is_mover(turn, pos.BAN[x][y])) {
        source_frame(screen, s, screen.KESU_IRO);
        s.from_x = x;
        s.from_y = y;
        s.koma = pos.BAN[x][y];
        idou_shidou(x, y, screen.SIDOU_IRO, s.koma);
        screen.waku_hyouji(screen.SENTAKU_IRO, y, x);
        return;
    }
    if (idou_kanou(pos, s.from_x, s.from_y, x, y, s.koma) == 0) {
        play_refusal();
        turn.SENTAKU = 0;
        screen.waku_kesu();
        return;
    }
    if (funari_kanou(y, s.koma) == 0 && button != MIGI_BUTTON) {
        refuse("マウスの右をクリックして下さい", "成り");
        return;
    }
    carry_out_move(button);
}

void Game::select_in_hand(int c, int r) {
    Sashite& s = turn.SASHITE;
    if (c == SITA_TE_X && r >= 3 && r <= 9 && pos.MOCHI_SITA_KAZU[r - 2] > 0) {
        nifu_keisan(pos);
        turn.SENTAKU = 1;
        s.from_x = SITA_TE_X;
        s.from_y = r;
        s.koma = pos.MOCHI_SITA_KOMA[r - 2];
        screen.mochi_waku_kesu();
        screen.waku_hyouji(turn.TEBAN == turn.MAN_GAWA ? screen.SENTAKU_IRO : screen.SIDOU_IRO, c, r);
        idou_shidou(SITA_TE_X, r, screen.SIDOU_IRO, s.koma);
    } else if (c == UE_TE_X && r >= 1 && r <= 7 && pos.MOCHI_UE_KAZU[r] > 0) {
        nifu_keisan(pos);
        turn.SENTAKU = 1;
        s.from_x = UE_TE_X;
        s.from_y = r;
        s.koma = pos.MOCHI_UE_KOMA[r];
        screen.mochi_waku_kesu();
        screen.waku_hyouji(turn.TEBAN == turn.COM_GAWA ? screen.SENTAKU_IRO : screen.SIDOU_IRO, c, r);
        idou_shidou(UE_TE_X, r, screen.SIDOU_IRO, s.koma);
    }
}

void Game::carry_out_move(int button) {
    Sashite& s = turn.SASHITE;
    // The running turn ends now: take its time from the clock, not from the
    // last tick, which is stale (or never came) while the clock is hidden.
    clock.TEBAN_JIKAN = keika_byou(clock.KAISHI_JIKOKU, port.time_of_day());
    kifu.kyokumen_kiroku(pos, clock.MAN_JIKAN, clock.MAN_JIKAN + clock.TEBAN_JIKAN, clock.COM_JIKAN,
                         clock.COM_JIKAN);
    turn.TESU += 1;
    tesu_hyouji(screen, turn.TESU);
    int promoted = 0;
    if (nari_hantei(s.from_x, s.from_y, s.to_x, s.to_y, s.koma, &promoted) == 1 && button == MIGI_BUTTON)
        s.koma = promoted;
    turn.SENTAKU = 0;
    source_frame(screen, s, screen.KESU_IRO);
    screen.waku_hyouji(screen.KESU_IRO, s.to_y, s.to_x);
    idou_shidou(s.from_x, s.from_y, screen.KESU_IRO, s.koma);
    const int captured = pos.BAN[s.to_x][s.to_y];
    (void)captured;  // the hand-over to the computer receives it
    sashite_jikkou(pos, turn, &screen, s.from_x, s.from_y, s.to_x, s.to_y, s.koma);
    play_piece();
    port.refresh();
    matsu(port, 0.4);
    kifu.KIFU_TESU += 1;
    rakka(pos, &screen);
    sashite_hyouji(screen, turn, s.koma >= 10 ? turn.COM_GAWA : turn.MAN_GAWA, s.to_x, s.to_y, s.koma,
                   SHIRO);
    hand_over();
}

void Game::hand_over() {
    // Against the computer the turn goes to the computer's player; that mode
    // has its own hand-over.
    if (turn.COM_TAISEN != 0) return;
    if (turn.TEBAN == 1) {
        turn.TEBAN = -1;
        clock.MAN_JIKAN += clock.TEBAN_JIKAN;
    } else if (turn.TEBAN == -1) {
        turn.TEBAN = 1;
        clock.COM_JIKAN += clock.TEBAN_JIKAN;
    }
    jikan_kaishi(clock, port);
    if (turn.SHOSHA == turn.MAN_GAWA)
        port.message_box("先手の勝ちです", "終了", MsgIcon::None, MsgButtons::Ok);
    else if (turn.SHOSHA == turn.COM_GAWA)
        port.message_box("後手の勝ちです", "終了", MsgIcon::None, MsgButtons::Ok);
}

// ---------------------------------------------------------------------------
// Stepping through the record.

void Game::REPLAY_Click() {
    hide_record_controls();
    turn.SAIKAI = 1;
    turn.SHOSHA = 0;
    if (kifu.KIFU_TESU < 1) {
        refuse("できません", "戻る");
        return;
    }
    turn.SENTAKU = 0;
    port.set_timer1(false);
    screen.waku_kesu();
    const int n = kifu.KIFU_TESU - 1;
    kifu.restore(n, pos);
    clock.COM_JIKAN = kifu.entry(n).COM_MAE;
    jikan_hyouji(screen, turn, turn.COM_GAWA, clock.COM_JIKAN);
    clock.MAN_JIKAN = kifu.entry(n).MAN_MAE;
    jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.MAN_JIKAN);
    screen.mochigoma_hyouji_sita(pos);
    screen.mochigoma_hyouji_ue(pos);
    screen.ban_hyouji(pos);
    const Ugoki u = kifu.ugoki_kensaku(kifu.KIFU_TESU);
    play_piece();
    sashite_kesu(screen, turn, u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA);
    kifu.KIFU_TESU -= 1;
    turn.TESU -= 1;
    turn.TEBAN = -turn.TEBAN;
    tesu_hyouji(screen, turn.TESU);
}

void Game::AFTER_Click() {
    hide_record_controls();
    if (turn.TEBAN == 0) {
        refuse("「対局」で始めて下さい", "開始");
        return;
    }
    turn.SAIKAI = 1;
    if (kifu.KIFU_TESU >= kifu.KIFU_SAIGO) {
        if (turn.KIFU_MODE == 1) port.message_box("終わり", "進む", MsgIcon::None, MsgButtons::Ok);
        else refuse("できません", "進む");
        return;
    }
    turn.SENTAKU = 0;
    port.set_timer1(false);
    screen.waku_kesu();
    kifu.KIFU_TESU += 1;
    turn.TESU += 1;
    tesu_hyouji(screen, turn.TESU);
    const int n = kifu.KIFU_TESU;
    kifu.restore(n, pos);
    clock.COM_JIKAN = kifu.entry(n).COM_ATO;
    jikan_hyouji(screen, turn, turn.COM_GAWA, clock.COM_JIKAN);
    clock.MAN_JIKAN = kifu.entry(n).MAN_ATO;
    jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.MAN_JIKAN);
    screen.mochigoma_hyouji_sita(pos);
    screen.mochigoma_hyouji_ue(pos);
    screen.ban_hyouji(pos);
    const Ugoki u = kifu.ugoki_kensaku(n);
    play_piece();
    sashite_hyouji(screen, turn, u.code > 0 ? turn.COM_GAWA : turn.MAN_GAWA, u.x, u.y, u.code, SHIRO);
    turn.TEBAN = -turn.TEBAN;
    tesu_hyouji(screen, turn.TESU);
}

void Game::CANCEL_Click() {
    shinki_kyokumen();
    play_piece();
}

void Game::REVERSE_Click() {
    if (turn.KIFU_MODE == 1) {
        refuse("棋譜ﾓｰﾄﾞではできません", "反転");
        return;
    }
    kifu.HANTEN = 1;
    turn.SENTAKU = 0;
    int copy[10][10];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) copy[x][y] = pos.BAN[x][y];
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) pos.BAN[10 - x][10 - y] = -copy[x][y];
    gamen_hyouji();
    tesu_hyouji(screen, turn.TESU);
    // The handicap rung passes to the other side once the ladder exists.
    play_piece();
    rakka(pos, &screen);
    turn.TEBAN = -turn.TEBAN;
    kifu.KIFU_TESU = 0;
    kifu.KIFU_SAIGO = 0;
}

}  // namespace zemtori
