// The calls of SDL2 and SDL2_mixer the sound library makes, found by name in
// the libraries once they are loaded (see mixer_library.h).
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

namespace zemtori::mixer_library {

struct Calls {
    decltype(&::SDL_SetHint) SetHint;
    decltype(&::SDL_InitSubSystem) InitSubSystem;
    decltype(&::SDL_QuitSubSystem) QuitSubSystem;
    decltype(&::SDL_RWFromConstMem) RWFromConstMem;
    decltype(&::Mix_OpenAudio) OpenAudio;
    decltype(&::Mix_CloseAudio) CloseAudio;
    decltype(&::Mix_QuerySpec) QuerySpec;
    decltype(&::Mix_AllocateChannels) AllocateChannels;
    decltype(&::Mix_LoadWAV_RW) LoadWAV_RW;
    decltype(&::Mix_FreeChunk) FreeChunk;
    decltype(&::Mix_PlayChannel) PlayChannel;
    decltype(&::Mix_HaltChannel) HaltChannel;
    decltype(&::Mix_Volume) Volume;
    decltype(&::Mix_SetPanning) SetPanning;
};

// The calls, waiting for the loading thread if it runs, or loading here if
// nothing started it; nullptr when a library or a call was not found.
// Belongs on the sound library's thread.
const Calls* calls();

}  // namespace zemtori::mixer_library
