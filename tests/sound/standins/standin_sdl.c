/* A stand-in for SDL2, built as libSDL2-2.0.so.0 for the loading tests: the
   calls the sound library looks up, doing nothing. */
int SDL_SetHint(void) { return 0; }
int SDL_InitSubSystem(void) { return -1; }
void SDL_QuitSubSystem(void) {}
void* SDL_RWFromConstMem(void) { return 0; }
