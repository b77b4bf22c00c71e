// The players' thinking-time clocks below the hands.
//
// How the game calls these (all state is in one ClockState owned by the game):
//   - new game:             jikan_shokika(clock); port.set_timer1(false);
//   - a turn starts:        jikan_kaishi(clock, port);   (KAISHI_JIKOKU := now)
//                           then enable Timer1 while the clock is shown;
//   - Timer1 fires, and once per scanned row / hand slot while the computer
//     thinks:               jikan_tick(screen, clock, turn, shown);
//   - a turn ends:          clock.MAN_JIKAN += clock.TEBAN_JIKAN (or COM_JIKAN);
//   - full redraw, 戻/進, switching 経過時間 on:
//                           jikan_hyouji(screen, turn, turn.COM_GAWA, clock.COM_JIKAN, shown);
//                           jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.MAN_JIKAN, shown);
//   - switching 経過時間 off: jikan_kesu(screen, turn, turn.MAN_GAWA);
//                           jikan_kesu(screen, turn, turn.COM_GAWA);
// `shown` is the 経過時間 option: the clocks draw only while it is on.
#pragma once

#include <string>

#include "display/screen.h"
#include "rules/state.h"

namespace zemtori {

struct ClockState {
    double MAN_JIKAN = 0;     // the human's seconds over finished turns
    double COM_JIKAN = 0;     // the upper side's player's seconds over finished turns
    // Time of day when the running turn started.  Kept in the same precision
    // as every later reading of the clock, so that a move made an instant
    // after its turn began never reads as a turn that ran past midnight.
    double KAISHI_JIKOKU = 0;
    double TEBAN_JIKAN = 0;   // seconds of the running turn, as of the last tick
    int HYOUJI_BYOU = 0;      // whole seconds of TEBAN_JIKAN at the last redraw
};

// Seconds from `start` to `now`, both seconds since midnight; a reading
// smaller than the start means the clock passed midnight.
double keika_byou(double start, double now);

// Two-digit field: "5" -> "05", "12" -> "12", three or more digits -> "".
std::string niketa(long long v);

// "hh:mm:ss" of a number of seconds; the fraction of a second is dropped.
// From 100 hours on the hour field is empty.
std::string jikan_mojiretsu(double t);

// Tiles the background over the clock area of `side`.
void jikan_kesu(Screen& screen, const TurnState& turn, int side);

// Shows `t` seconds in the clock area of `side`, while the clock is shown.
void jikan_hyouji(Screen& screen, const TurnState& turn, int side, double t, bool shown);

// Timer1: updates the running turn's time and redraws the mover's clock once
// per whole second, then refreshes the window.  Does nothing while Timer1 is
// disabled or after the game has ended.
void jikan_tick(Screen& screen, ClockState& clock, const TurnState& turn, bool shown);

// A turn starts now.
void jikan_kaishi(ClockState& clock, Port& port);

// A new game: both totals and the shown seconds back to 0.
void jikan_shokika(ClockState& clock);

}  // namespace zemtori
