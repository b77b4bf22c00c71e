// Loads the sound libraries as the game does and prints what came of it:
// "found 1" or "found 0", then one line "loaded PATH" for every library of
// SDL2's loaded, in the order the dynamic loader holds them (each library is
// listed when its loading begins).  The loading tests run it with the
// library path of their choice.
#include <link.h>

#include <cstdio>
#include <cstring>

#include "mixer_library.h"

int main() {
    namespace m = zemtori::mixer_library;
    std::printf("found %d\n", m::load_for_testing(m::MIXER_SONAME, m::SDL_SONAME) ? 1 : 0);
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void*) {
            if (info->dlpi_name && std::strstr(info->dlpi_name, "libSDL2")) std::printf("loaded %s\n", info->dlpi_name);
            return 0;
        },
        nullptr);
    return 0;
}
