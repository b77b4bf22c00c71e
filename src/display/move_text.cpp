#include "display/move_text.h"

namespace zemtori {

namespace {

// Where one side's move text goes: the three texts, each shadow first and
// then its colour 0.1 cell further left and up.
struct TextPlace {
    double c_digit, c_numeral, c_name;  // shadow columns
    double r;                            // shadow row
};
constexpr TextPlace COM_PLACE{-1.5, -1.1, -0.5, 8.5};
constexpr TextPlace MAN_PLACE{12.5, 12.9, 13.5, 2.5};

void print_shadowed(Screen& screen, double c, double r, const std::string& text, int colour) {
    moji_insatsu(screen, c, r, text, KURO);
    moji_insatsu(screen, c - 0.1, r - 0.1, text, colour);
}

void print_move(Screen& screen, const TextPlace& at, int x, int y, int code, int colour) {
    print_shadowed(screen, at.c_digit, at.r, moji_henkan(10 - y), colour);
    print_shadowed(screen, at.c_numeral, at.r, moji_henkan(1000 + x), colour);
    print_shadowed(screen, at.c_name, at.r, moji_henkan(code), colour);
}

}  // namespace

std::string moji_henkan(int v) {
    static const char* const digits[] = {"１", "２", "３", "４", "５", "６", "７", "８", "９"};
    if (v >= 1 && v <= 9) return digits[v - 1];
    if (v >= 1001 && v <= 1009) return kansuuji(v - 1000);
    switch (v < 0 ? -v : v) {
    case HU: return "歩";
    case TO: return "と";
    case KYOU: return "香";
    case NARIKYOU: return "香成";
    case KEI: return "桂";
    case NARIKEI: return "桂成";
    case GIN: return "銀";
    case NARIGIN: return "銀成";
    case KIN: return "金";
    case KAKU: return "角";
    case UMA: return "角成";
    case HISHA: return "飛";
    case RYU: return "飛成";
    case OU: return "王";
    default: return {};
    }
}

void moji_insatsu(Screen& screen, double c, double r, const std::string& text, int colour) {
    if (text.empty()) return;
    screen.port().print_text(grid_x(c), grid_y(r), text, colour, 12, screen.bold);
}

void sashite_kesu(Screen& screen, const TurnState& turn, int side) {
    if (side == turn.COM_GAWA) {
        for (int c = -3; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 8);
        // The tile at (-1, 8) paints over the bottom edge of the lowest hand slot's frame.
        screen.waku_hyouji(screen.WAKU_IRO, -1, 7);
    } else if (side == turn.MAN_GAWA) {
        for (int c = 12; c <= 14; ++c) screen.gazou_hyouji(screen.haikei(), c, 2);
    }
}

void sashite_hyouji(Screen& screen, const TurnState& turn, int side, int x, int y, int code,
                    int colour) {
    sashite_kesu(screen, turn, side);
    if (side == turn.COM_GAWA) {
        print_move(screen, COM_PLACE, x, y, code, colour);
        // The frame of the board cell beside the text is drawn again.
        screen.waku_hyouji(screen.WAKU_IRO, 1, 8);
        return;
    }
    if (side == turn.MAN_GAWA) print_move(screen, MAN_PLACE, x, y, code, colour);
}

void tesu_hyouji(Screen& screen, int n) {
    screen.gazou_hyouji(screen.haikei(), 13, 3);
    screen.gazou_hyouji(screen.haikei(), 14, 3);
    screen.waku_hyouji(screen.WAKU_IRO, 11, 3);
    // Each extra digit starts the number 0.1 cell further left.
    const double c_shadow = n < 10 ? 13.3 : n < 100 ? 13.2 : 13.1;
    screen.moji_hyouji(c_shadow, 3.4, n, KURO, 0, 12);
    screen.moji_hyouji(c_shadow - 0.1, 3.3, n, SHIRO, 0, 12);
    screen.meishou_hyouji(13.9, 3.2, 99, KURO, 10);
    screen.meishou_hyouji(13.8, 3.1, 99, SHIRO, 10);
}

}  // namespace zemtori
