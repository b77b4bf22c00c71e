// Drawing on the window: pictures, frames and shadowed text on the grid, the
// background, the coordinate labels, the hands and the board.
#pragma once

#include <array>
#include <string>
#include <vector>

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
    // A screen of its own draws its tiles on the green background.
    explicit Screen(Port& port) : port_(port), haikei_(&GREEN) {}
    // The game's screen draws them on the background the options hold,
    // whenever they change it.
    Screen(Port& port, const int& haikei) : port_(port), haikei_(&haikei) {}

    Port& port() { return port_; }

    // The frame colours: the normal frame of board and hand cells, the frame
    // that erases highlights, and the selected cell's (also the hand counts).
    static constexpr int WAKU_IRO = MIDORI_IRO;
    static constexpr int KESU_IRO = MIDORI_IRO;
    static constexpr int SENTAKU_IRO = AKA;

    // The background tile code 2..6.
    int haikei() const { return *haikei_; }
    // Switched on by the first coordinate labels.
    bool bold = false;

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

    // The frames of whole cells that stand in another colour than the normal
    // frame (a selection, the guidance, a hint, the computer's last move), as
    // a full redraw would lose them; a picture painted on a cell takes its
    // frame away.
    struct Frame {
        int c = 0, r = 0, colour = 0;
    };
    std::vector<Frame> highlights() const;

private:
    static constexpr int GREEN = HAIKEI_MIDORI;
    // The cells whose frames are kept track of: the board, both hands and
    // what lies around them.
    static constexpr int FIRST_C = -3, LAST_C = 15, FIRST_R = -1, LAST_R = 11;
    static constexpr int NO_FRAME = -1;
    int* frame_at(double c, double r);
    Port& port_;
    const int* haikei_;
    std::array<int, (LAST_C - FIRST_C + 1) * (LAST_R - FIRST_R + 1)> frames_ = filled(NO_FRAME);
    static constexpr std::array<int, (LAST_C - FIRST_C + 1) * (LAST_R - FIRST_R + 1)> filled(int v) {
        std::array<int, (LAST_C - FIRST_C + 1) * (LAST_R - FIRST_R + 1)> a{};
        for (int& x : a) x = v;
        return a;
    }
};

// The kanji numeral 一..九 for 1..9, empty otherwise.
std::string kansuuji(int value);
// The fixed captions of meishou_hyouji: handicap rungs -10..10 and 99 "手目".
std::string meishou(int code);

}  // namespace zemtori
