// Drawing on the window: pictures, frames and shadowed text on the grid, the
// background, the coordinate labels, the hands and the board.
#pragma once

#include <string>

#include "port/geometry.h"
#include "port/port.h"
#include "rules/board.h"
#include "rules/state.h"

namespace zemtori {

// Background picture codes.
enum : int { HAIKEI_MIDORI = 2, HAIKEI_TATAMI = 3, HAIKEI_TAKE = 4, HAIKEI_UCHU = 5, HAIKEI_RENGA = 6 };
// Picture code of the title.
constexpr int TITLE_GA = 1;

class Screen {
public:
    explicit Screen(Port& port) : port_(port) {}

    Port& port() { return port_; }

    // Display state.
    int HAIKEI = HAIKEI_MIDORI;  // current background tile code 2..6
    int WAKU_IRO = 2;            // normal frame of board and hand cells
    int KESU_IRO = 2;            // erasing highlight frames
    int SIDOU_IRO = 2;           // guidance frames: 15 while guidance is on
    int SENTAKU_IRO = 12;        // selected cell; hand counts
    bool bold = false;           // switched on by the first coordinate labels

    // Primitives on grid positions.
    void gazou_hyouji(int code, double c, double r);
    void waku_hyouji(int colour, double c, double r);
    // Mode 0 prints the text as it stands; numbers get a leading and a
    // trailing blank.  Any other mode prints the kanji numeral of `value`.
    void moji_hyouji(double c, double r, const std::string& text, int colour, int mode, int size);
    void moji_hyouji(double c, double r, int value, int colour, int mode, int size);
    void meishou_hyouji(double c, double r, int code, int colour, int size);

    void haikei_hyouji(int code);
    void zahyou_hyouji();
    void mochigoma_hyouji_ue(const Position& pos);
    void mochigoma_hyouji_sita(const Position& pos);
    void ban_hyouji(const Position& pos);
    void ban_shita_kesu();
    void waku_kesu();
    void mochi_waku_kesu();

    // Paints `code` on board square (x, y) with its normal frame.
    void masu_hyouji(int code, int x, int y);

private:
    Port& port_;
};

// The kanji numeral 一..九 for 1..9, empty otherwise.
std::string kansuuji(int value);
// The fixed captions of meishou_hyouji: handicap rungs -10..10 and 99 "手目".
std::string meishou(int code);

}  // namespace zemtori
