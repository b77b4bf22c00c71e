// Busy waits on the time of day.
#pragma once

namespace zemtori {

class Port;

// Waits until the time of day has advanced by `seconds`; correct across
// midnight.  Rests in 1 ms slices (Port::sleep) between readings, and a clock
// set back cannot make it hang.  After every slice the window may repaint and
// take a request to close it or an Esc (Port::keep_alive), and nothing else
// reaches the game.  Once the program is ending (before the wait or during
// it) the wait ends at once and answers false; otherwise true.
bool matsu(Port& port, double seconds);

}  // namespace zemtori
