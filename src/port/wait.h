// Busy waits on the time of day.
#pragma once

namespace zemtori {

class Port;

// Waits until the time of day has advanced by `seconds`, handling no event
// meanwhile; correct across midnight.  Rests in 1 ms slices (Port::sleep)
// between readings, and a clock set back cannot make it hang.
void matsu(Port& port, double seconds);

}  // namespace zemtori
