// The players' thinking-time clocks below the hands.
//
// The game owns one Clock and calls it as play goes on:
//   - new game:             clock.reset(); port.set_timer1(false);
//   - a turn starts:        clock.start_turn(port.time_of_day());
//                           then enable Timer1 while the clock is shown;
//   - Timer1 fires, and once per scanned row / hand slot while the computer
//     thinks:               jikan_tick(screen, clock, turn, shown);
//   - a turn ends:          clock.end_turn(port.time_of_day());
//                           clock.add_turn(Player::Man) (or Player::Com);
//   - 戻/進:                 clock.restore({.man = ..., .com = ...}) from the entry;
//   - full redraw, 戻/進, switching 経過時間 on:
//                           jikan_hyouji(screen, turn, turn.COM_GAWA, clock.com_jikan(), shown);
//                           jikan_hyouji(screen, turn, turn.MAN_GAWA, clock.man_jikan(), shown);
//   - switching 経過時間 off: jikan_kesu(screen, turn, turn.MAN_GAWA);
//                           jikan_kesu(screen, turn, turn.COM_GAWA);
// `shown` is the 経過時間 option: the clocks draw only while it is on.
#pragma once

#include <string>

#include "display/screen.h"
#include "rules/state.h"

namespace zemtori {

// Seconds from `start` to `now`, both seconds since midnight; a reading
// smaller than the start means the clock passed midnight.
double keika_byou(double start, double now);

// Both players' totals over their finished turns, in seconds.
struct ClockTotals {
    double man = 0;  // the human's
    double com = 0;  // the upper side's player's
};

class Clock {
public:
    // The two players the totals belong to: the human, and the upper side's
    // player (the computer, or the second person).
    enum class Player { Man, Com };

    // A new game: both totals and the shown seconds back to 0.
    void reset();

    // A turn starts at `now` (seconds since midnight).
    void start_turn(double now);

    // Timer1 at `now`: the running turn's seconds.  True when its whole
    // seconds differ from the last redraw's, which they then become.
    bool tick(double now);

    // The running turn ends at `now`: its time comes from the clock, not from
    // the last tick, which is stale (or never came) while the clock is hidden.
    void end_turn(double now);

    // The turn that ended is added to `player`'s total.
    void add_turn(Player player);

    // The running turn leaves out `seconds` (a box the game put up waited
    // that long): it starts that much later.
    void leave_out(double seconds);

    // Totals read from a record entry, when stepping through the record.
    void restore(ClockTotals totals);

    double man_jikan() const { return MAN_JIKAN; }
    double com_jikan() const { return COM_JIKAN; }
    // Seconds of the running turn, as of the last tick or end_turn.
    double teban_jikan() const { return TEBAN_JIKAN; }
    // Seconds from the start of the running turn to `now`.
    double running(double now) const { return keika_byou(KAISHI_JIKOKU, now); }
    // Whole seconds of the running turn at the last redraw.
    int hyouji_byou() const { return HYOUJI_BYOU; }

private:
    double MAN_JIKAN = 0;     // the human's seconds over finished turns
    double COM_JIKAN = 0;     // the upper side's player's seconds over finished turns
    // Time of day when the running turn started.  Kept in the same precision
    // as every later reading of the clock, so that a move made an instant
    // after its turn began never reads as a turn that ran past midnight.
    double KAISHI_JIKOKU = 0;
    double TEBAN_JIKAN = 0;   // seconds of the running turn, as of the last tick
    int HYOUJI_BYOU = 0;      // whole seconds of TEBAN_JIKAN at the last redraw
};

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
void jikan_tick(Screen& screen, Clock& clock, const TurnState& turn, bool shown);

}  // namespace zemtori
