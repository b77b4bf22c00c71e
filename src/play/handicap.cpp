// The handicap ladder: before the first move △ and ▽ step along 21 rungs from
// 名人 (-10) through the even game ２級 (0) to 12級 (10), each step taking one
// piece off the opening position or putting it back.  Below 0 the human's
// pieces go, above 0 the upper side's; rung -r takes the mirror pieces of
// rung r, so turning the board negates the rung.
#include "port/geometry.h"
#include "play/game.h"
#include "play/handicap.h"

namespace zemtori {

namespace {

struct Rung {
    int code, x, y;  // the piece of the rung and its square
};

constexpr int TOP_RUNG = HandicapLadder::TOP_RUNG;

// The caption's grid cell: three cells from here to the right.
constexpr int HANDE_CAPTION_C = 13;
constexpr int HANDE_CAPTION_R = 5;

// Rungs 1..10 (index r - 1): the upper side's pieces, in the order they go.
constexpr Rung UE_RUNGS[TOP_RUNG] = {
    {KAKU, 8, 2}, {HISHA, 2, 2}, {KYOU, 9, 1}, {KYOU, 1, 1}, {KEI, 8, 1},
    {KEI, 2, 1},  {GIN, 7, 1},   {GIN, 3, 1},  {KIN, 6, 1},  {KIN, 4, 1},
};

// The piece of rung r, r = -10..-1 or 1..10: rung -r holds the mirror of
// rung r, turned through half a turn.
Rung rung_piece(int r) {
    if (r > 0) return UE_RUNGS[r - 1];
    const Rung& m = UE_RUNGS[-r - 1];
    return {-m.code, 10 - m.x, 10 - m.y};
}

}  // namespace

// The caption stands right of the lower hand's counts and below the title
// plate, on cells nothing else paints, so it neither cuts into the plate nor
// hides under it, and every full redraw shows it again.
void Game::handicap_hyouji(int r) {
    for (int c = HANDE_CAPTION_C; c < HANDE_CAPTION_C + 3; ++c)
        screen.gazou_hyouji(screen.haikei(), c, HANDE_CAPTION_R);
    screen.meishou_hyouji(HANDE_CAPTION_C + 0.1, HANDE_CAPTION_R + 0.1, r, KURO, 10);
    screen.meishou_hyouji(HANDE_CAPTION_C, HANDE_CAPTION_R, r, SHIRO, 10);
}

void Game::handicap_kyohi(int reason) {
    const char* line = reason == 1 ? "棋譜ﾓｰﾄﾞではできません"
                       : reason == 2 ? "対局途中ではできません"
                       : reason == 3 ? "反転後ではできません"
                                     : "";
    tell(std::string(line) + "\r\r局面→最初にして下さい", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ設定");
}

void Game::LBEL_UP_Click() { handicap_step(+1); }

void Game::LEBEL_DOWN_Click() { handicap_step(-1); }

// One step along the ladder: +1 toward 12級, -1 toward 名人.  Only between a
// new game and its first move, and not on a turned board.  The record is
// given up, and the ladder counts as set even at its ends, where nothing
// else changes.
void Game::handicap_step(int direction) {
    hide_record_controls();
    int refusal = 0;
    if (kifu.kifu_mode()) refusal = 1;
    else if (kifu.kifu_tesu() > 0) refusal = 2;
    else if (kifu.hanten()) refusal = 3;
    // A start command has let the opening position fall (TEBAN is no longer
    // 0 until the next new game): the rung table's squares no longer hold
    // its pieces, so the ladder is closed as in a game in progress.
    else if (turn.TEBAN != NASHI) refusal = 2;
    if (refusal != 0) {
        play_refusal();
        handicap_kyohi(refusal);
        return;
    }
    kifu.end_at(0);
    if (handicap.step(direction)) {
        const int r = handicap.dan();
        handicap_hyouji(r);
        // Moving toward the even game puts back the piece of the rung left;
        // moving away from it takes the new rung's piece off.  The square is
        // written whatever stands on it.
        const bool back = r * direction <= 0;
        const Rung p = rung_piece(back ? r - direction : r);
        const int code = back ? p.code : KARA;
        pos.BAN[p.x][p.y] = code;
        screen.masu_hyouji(code, p.x, p.y);
        play_piece();
    }
}

}  // namespace zemtori
