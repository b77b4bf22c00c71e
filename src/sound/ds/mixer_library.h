// SDL2 and SDL2_mixer are loaded at run time, not linked: they and the codec
// libraries they bring take longer to load than a bare window takes to open.
// The program starts loading them on a thread of its own once its window
// shows, and opens the sound when they are there (loaded_already); the sound
// library's first call that needs them waits for that thread.  A program
// that never starts the loading loads them at that first call instead.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace zemtori::mixer_library {

// The libraries, by the names the runtime packages install them under.
inline constexpr const char* MIXER_SONAME = "libSDL2_mixer-2.0.so.0";
inline constexpr const char* SDL_SONAME = "libSDL2-2.0.so.0";

// Starts loading on a thread of its own; `then`, if given, runs on that
// thread once the libraries are loaded (and so before the first call that
// needs them returns), or at once when a call has loaded them already.
// Later calls do nothing more.
void start_loading(void (*then)() = nullptr);

// True once loading started by start_loading has finished (or a call has
// loaded the libraries already): the first call that needs them will not
// wait.  Never blocks.
bool loaded_already();

// For tests, with no device open: waits for any loading under way, forgets
// what was loaded and loads from these names now.  When either library or
// one of the calls is missing, the sound library behaves as on a machine
// without a sound device.  Returns whether everything was found.
bool load_for_testing(const char* mixer_soname, const char* sdl_soname);

// How the loading goes, open to tests.
// What the ELF library at `path` names: the libraries it needs, in its order,
// and the folders it asks them to be looked for in first (its run path).
// Both empty when it cannot be read as a 64-bit ELF file.
struct Needs {
    std::vector<std::string> libraries;
    std::vector<std::string> folders;
};
Needs needed_libraries(const std::string& path);
// The paths of the libraries to load one at a time so that `soname`, found
// in `folder`, and everything it needs are loaded, each after all it needs:
// `soname` last, nothing whose name is in `loaded`, nothing not found in the
// run path of the library needing it or in `folder`.  Empty when `soname`
// itself is not in `folder`.
std::vector<std::string> load_order(const std::string& folder, const std::string& soname,
                                    const std::set<std::string>& loaded);

}  // namespace zemtori::mixer_library
