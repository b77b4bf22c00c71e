// The sound system's own libraries write to the terminal when there is no
// sound device; the game already says so in its warning box.
#pragma once

namespace zemtori {

// From now on what ALSA has to say goes to the start-up log, which is silent
// unless asked for, instead of to standard error.  Call before the sound
// library is opened.  Without ALSA on the machine there is nothing to do.
void route_sound_library_messages();

}  // namespace zemtori
