#include "display/screen.h"

namespace zemtori {

std::string kansuuji(int value) {
    static const char* const names[] = {"一", "二", "三", "四", "五", "六", "七", "八", "九"};
    if (value < 1 || value > 9) return {};
    return names[value - 1];
}

std::string meishou(int code) {
    static const char* const rungs[] = {
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:名人", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:８段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:７段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:６段",
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:５段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:４段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:３段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:２段",
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:初段", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:１級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:２級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:３級",
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:４級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:５級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:６級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:７級",
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:８級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:９級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:10級", "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:11級",
        "ﾊﾝﾃﾞｨｷｬｯﾌﾟ:12級"};
    if (code >= -10 && code <= 10) return rungs[code + 10];
    if (code == 99) return "手目";
    return {};
}

void Screen::gazou_hyouji(int code, double c, double r) {
    port_.paint_picture(code, grid_x(c), grid_y(r));
    if (int* f = frame_at(c, r)) *f = NO_FRAME;
}

void Screen::waku_hyouji(int colour, double c, double r) {
    port_.draw_outline(colour, grid_x(c), grid_y(r), grid_x(c) + MASU_HABA, grid_y(r) + MASU_TAKASA);
    if (int* f = frame_at(c, r)) *f = colour;
}

int* Screen::frame_at(double c, double r) {
    const int ci = static_cast<int>(c), ri = static_cast<int>(r);
    if (ci != c || ri != r || ci < FIRST_C || ci > LAST_C || ri < FIRST_R || ri > LAST_R) return nullptr;
    return &frames_[static_cast<std::size_t>((ri - FIRST_R) * (LAST_C - FIRST_C + 1) + (ci - FIRST_C))];
}

std::vector<Screen::Frame> Screen::highlights() const {
    std::vector<Frame> out;
    for (int r = FIRST_R; r <= LAST_R; ++r)
        for (int c = FIRST_C; c <= LAST_C; ++c) {
            const int colour = frames_[static_cast<std::size_t>((r - FIRST_R) * (LAST_C - FIRST_C + 1) + (c - FIRST_C))];
            if (colour != NO_FRAME && colour != WAKU_IRO) out.push_back({c, r, colour});
        }
    return out;
}

void Screen::moji_hyouji(double c, double r, const std::string& text, int colour, int mode, int size) {
    if (mode != 0) return;  // a text has no kanji numeral
    port_.print_text(grid_x(c), grid_y(r), text, colour, size, bold);
}

void Screen::moji_hyouji(double c, double r, int value, int colour, int mode, int size) {
    std::string text;
    if (mode == 0) {
        // A number prints with a blank in place of the plus sign and a trailing blank.
        text.assign(1, value < 0 ? '-' : ' ');
        text += std::to_string(value < 0 ? -static_cast<long long>(value) : value);
        text += ' ';
    } else {
        text = kansuuji(value);
        if (text.empty()) return;
    }
    port_.print_text(grid_x(c), grid_y(r), text, colour, size, bold);
}

void Screen::meishou_hyouji(double c, double r, int code, int colour, int size) {
    const std::string text = meishou(code);
    if (text.empty()) return;
    port_.print_text(grid_x(c) + 120, grid_y(r) + 160, text, colour, size, bold);
}

void Screen::haikei_hyouji(int code) {
    for (int c = -3; c <= 28; ++c)
        for (int r = -2; r <= 21; ++r)
            if (c < 1 || c > 9 || r < 1 || r > 9) gazou_hyouji(code, c, r);
}

void Screen::zahyou_hyouji() {
    bold = true;
    for (int i = 1; i <= 9; ++i) {
        gazou_hyouji(haikei(), i, 0);
        moji_hyouji(i + 0.2, 0.5, 10 - i, KURO, 0, 16);
        moji_hyouji(i + 0.1, 0.4, 10 - i, KIIRO, 0, 16);
        gazou_hyouji(haikei(), 10, i);
        moji_hyouji(10.2, i + 0.4, i, KURO, 1, 12);
        moji_hyouji(10.1, i + 0.3, i, KIIRO, 1, 12);
        waku_hyouji(WAKU_IRO, 9, i);
    }
}

void Screen::mochigoma_hyouji_sita(const Position& pos) {
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        gazou_hyouji(0, 11, k + 2);
        gazou_hyouji(haikei(), 12, k + 2);
        waku_hyouji(WAKU_IRO, 11, k + 2);
        const int count = pos.MOCHI_SITA_KAZU[k];
        if (count > 0) {
            gazou_hyouji(pos.MOCHI_SITA_KOMA[k], 11, k + 2);
            waku_hyouji(WAKU_IRO, 11, k + 2);
            moji_hyouji(12.1, k + 2.3, count, KURO, 0, 14);
            moji_hyouji(12, k + 2.2, count, AKA, 0, 14);
        }
        waku_hyouji(WAKU_IRO, 1, k);
    }
}

void Screen::mochigoma_hyouji_ue(const Position& pos) {
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        gazou_hyouji(0, -1, k);
        gazou_hyouji(haikei(), 0, k);
        waku_hyouji(WAKU_IRO, -1, k);
        const int count = pos.MOCHI_UE_KAZU[k];
        if (count > 0) {
            gazou_hyouji(pos.MOCHI_UE_KOMA[k], -1, k);
            waku_hyouji(WAKU_IRO, -1, k);
            moji_hyouji(0.1, k + 0.3, count, KURO, 0, 14);
            moji_hyouji(0, k + 0.2, count, AKA, 0, 14);
        }
        waku_hyouji(WAKU_IRO, 1, k);
    }
}

// Row by row from the top, each row from left to right; screen row r is the
// squares with x = r.
void Screen::ban_hyouji(const Position& pos) {
    for (int x = 1; x <= 9; ++x)
        for (int y = 1; y <= 9; ++y) masu_hyouji(pos.BAN[x][y], x, y);
}

void Screen::masu_hyouji(int code, int x, int y) {
    const Cell cell = square_cell(x, y);
    gazou_hyouji(code, cell.c, cell.r);
    waku_hyouji(WAKU_IRO, cell.c, cell.r);
}

void Screen::ban_shita_kesu() {
    zahyou_hyouji();
    gazou_hyouji(haikei(), -1, 10);
    gazou_hyouji(haikei(), 0, 10);
    for (int i = 1; i <= 9; ++i) {
        gazou_hyouji(haikei(), i, 10);
        waku_hyouji(WAKU_IRO, i, 9);
    }
}

void Screen::waku_kesu() {
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 9; ++c) waku_hyouji(KESU_IRO, c, r);
}

void Screen::mochi_waku_kesu() {
    for (int k = 1; k <= MOCHI_SLOTS; ++k) {
        waku_hyouji(WAKU_IRO, -1, k);
        waku_hyouji(WAKU_IRO, 11, k + 2);
    }
}

}  // namespace zemtori
