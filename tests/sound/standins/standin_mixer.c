/* A stand-in for SDL2_mixer, built as libSDL2_mixer-2.0.so.0 and needing the
   stand-in SDL2, for the loading tests: the calls the sound library looks up,
   failing or doing nothing. */
int SDL_InitSubSystem(void);

int Mix_OpenAudio(void) { return SDL_InitSubSystem(); }
void Mix_CloseAudio(void) {}
int Mix_QuerySpec(void) { return 0; }
int Mix_AllocateChannels(void) { return 0; }
void* Mix_LoadWAV_RW(void) { return 0; }
void Mix_FreeChunk(void) {}
int Mix_PlayChannel(void) { return -1; }
int Mix_HaltChannel(void) { return 0; }
int Mix_Volume(void) { return 0; }
int Mix_SetPanning(void) { return 0; }
