#include "port/wait.h"

#include <algorithm>

#include "port/port.h"

namespace zemtori {

namespace {
constexpr double DAY_SECONDS = 86400.0;
// Let the machine rest between two readings of the clock instead of spinning.
constexpr double SLICE_SECONDS = 0.001;
// Readings closer than this to the goal count as there: the clock's own
// rounding must not keep a wait alive.
constexpr double TOLERANCE = 1e-9;
}  // namespace

bool matsu(Port& port, double seconds) {
    if (port.program_ending()) return false;
    if (!(seconds > 0)) return true;
    // Add up how far the clock has moved forward, reading by reading.  A
    // reading below the previous one is midnight (the time of day starts
    // again at 0), or a clock set back: set back by more than the wait it
    // counts like midnight, by less it is simply not counted.  Either way
    // the wait ends once the clock has moved forward enough.
    double elapsed = 0;
    double previous = port.time_of_day();
    while (elapsed < seconds - TOLERANCE) {
        port.sleep(std::max(std::min(seconds - elapsed, SLICE_SECONDS), 1e-6));
        const double now = port.time_of_day();
        double delta = now - previous;
        if (delta < 0) delta = -delta > seconds ? delta + DAY_SECONDS : 0.0;
        elapsed += delta;
        previous = now;
        // A close request or an Esc is answered here, not once the whole
        // animation is over.
        port.keep_alive();
        if (port.program_ending()) return false;
    }
    return true;
}

}  // namespace zemtori
