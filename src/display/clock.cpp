#include "display/clock.h"

#include <cmath>

namespace zemtori {

namespace {

constexpr double SECONDS_PER_DAY = 86400.0;

}  // namespace

double keika_byou(double start, double now) {
    if (start <= now) return now - start;
    return now + SECONDS_PER_DAY - start;
}

std::string niketa(long long v) {
    const std::string text = std::to_string(v);
    if (text.size() == 1) return "0" + text;
    if (text.size() == 2) return text;
    return {};
}

std::string jikan_mojiretsu(double t) {
    const long long h = t >= 3600 ? static_cast<long long>(std::floor(t / 3600)) : 0;
    const double r = t - 3600.0 * static_cast<double>(h);
    const long long m = static_cast<long long>(std::floor(r / 60));
    const double s = r - 60.0 * static_cast<double>(m);
    return niketa(h) + ":" + niketa(m) + ":" + niketa(static_cast<long long>(std::floor(s)));
}

void jikan_kesu(Screen& screen, const TurnState& turn, int side) {
    if (side == turn.MAN_GAWA) {
        for (int c = 13; c <= 15; ++c) screen.gazou_hyouji(screen.haikei(), c, 9);
    } else if (side == turn.COM_GAWA) {
        for (int c = -2; c <= 0; ++c) screen.gazou_hyouji(screen.haikei(), c, 9);
    }
}

void jikan_hyouji(Screen& screen, const TurnState& turn, int side, double t, bool shown) {
    if (!shown) return;
    const std::string text = jikan_mojiretsu(t);
    jikan_kesu(screen, turn, side);
    if (side == turn.MAN_GAWA) {
        screen.moji_hyouji(13.1, 9.3, text, KURO, 0, 12);
        screen.moji_hyouji(13, 9.2, text, SHIRO, 0, 12);
    } else if (side == turn.COM_GAWA) {
        screen.moji_hyouji(-1.5, 9.3, text, KURO, 0, 12);
        screen.moji_hyouji(-1.6, 9.2, text, SHIRO, 0, 12);
        // The tile at (0, 9) touches the board; its bottom-left frame comes back.
        screen.waku_hyouji(screen.WAKU_IRO, 1, 9);
    }
}

void jikan_tick(Screen& screen, Clock& clock, const TurnState& turn, bool shown) {
    Port& port = screen.port();
    if (!port.timer1_enabled() || turn.SHOSHA != 0) return;
    if (!clock.tick(port.time_of_day())) return;
    if (turn.TEBAN == turn.COM_GAWA)
        jikan_hyouji(screen, turn, turn.COM_GAWA, clock.teban_jikan() + clock.com_jikan(), shown);
    else if (turn.TEBAN == turn.MAN_GAWA)
        jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.teban_jikan() + clock.man_jikan(), shown);
    port.refresh();
}

void Clock::reset() {
    COM_JIKAN = 0;
    MAN_JIKAN = 0;
    HYOUJI_BYOU = 0;
}

void Clock::start_turn(double now) { KAISHI_JIKOKU = now; }

bool Clock::tick(double now) {
    TEBAN_JIKAN = keika_byou(KAISHI_JIKOKU, now);
    const int whole = static_cast<int>(std::floor(TEBAN_JIKAN));
    if (whole == HYOUJI_BYOU) return false;
    HYOUJI_BYOU = whole;
    return true;
}

void Clock::leave_out(double seconds) {
    if (!(seconds > 0)) return;
    KAISHI_JIKOKU += seconds;
    if (KAISHI_JIKOKU >= SECONDS_PER_DAY) KAISHI_JIKOKU -= SECONDS_PER_DAY;
}

void Clock::end_turn(double now) { TEBAN_JIKAN = keika_byou(KAISHI_JIKOKU, now); }

void Clock::add_turn(Player player) {
    if (player == Player::Man) MAN_JIKAN += TEBAN_JIKAN;
    else COM_JIKAN += TEBAN_JIKAN;
}

void Clock::restore(ClockTotals totals) {
    MAN_JIKAN = totals.man;
    COM_JIKAN = totals.com;
}

}  // namespace zemtori
