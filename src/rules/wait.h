// Busy waits on the time of day.
#pragma once

namespace zemtori {

class Port;

// Each step of a falling pass stays on the screen at least this long, so a
// person sees the pieces drop square by square.
constexpr double RAKKA_STEP_SECONDS = 0.03;

// Waits until the time of day has advanced by `seconds`, handling no event
// meanwhile; correct across midnight.  Rests in 1 ms slices (Port::sleep)
// between readings, and a clock set back cannot make it hang.
void matsu(Port& port, double seconds);

}  // namespace zemtori
