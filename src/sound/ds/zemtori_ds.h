/*
 * Zemtori's sound library: a few calls that play wave files held in memory.
 *
 * Handles are opaque 32-bit integers; 0 means failure.  Every call taking a
 * handle checks it first, so 0, a freed handle or any made-up value does
 * nothing.  All calls belong on one thread (the window's).
 *
 * The caller passes dsCreateDSB the first byte of a complete RIFF/WAVE file
 * and keeps the block alive only for the call: the sound is copied.  The
 * block must hold at least as many bytes as its RIFF header declares (8 plus
 * the RIFF size); dsWaveFileLength() tells the caller that length from the
 * first 12 bytes, so a loader can check it against what it has read before
 * handing the block over.  Inside that length the chunks are checked: a block
 * that is not a usable wave file gives 0.
 *
 * Creation flags: DS_FLAG_EFFECT (3) for a short effect, DS_FLAG_MUSIC (1)
 * for music.  Each buffer plays on a mixer channel of its own, so an effect
 * never cuts the music off; the flags are kept but change nothing else.
 *
 * The device is opened at 22.05 kHz 16-bit mono, the format of the game's waves,
 * which are then kept exactly as the file holds them; a wave in any other
 * format is converted to it once, when its buffer is made.
 *
 * Volumes are hundredths of a decibel (-10000 silent .. 0 full), pans run
 * from -10000 (left only) through 0 to 10000 (right only); on the mono
 * device a pan is accepted and changes nothing.
 */
#ifndef ZEMTORI_DS_H
#define ZEMTORI_DS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define DS_FLAG_MUSIC 1
#define DS_FLAG_EFFECT 3

/* Largest wave file the library accepts, in bytes. */
#define DS_MAX_WAVE_BYTES (64u * 1024u * 1024u)
/* Largest sound the library keeps, in bytes once converted to the output
 * format (about twelve minutes at the device's 22.05 kHz mono).  A wave whose sound
 * would be larger gives no buffer, whatever the size of its file. */
#define DS_MAX_DECODED_BYTES (32u * 1024u * 1024u)

/* Opens the audio device.  The window handle is not needed on this platform
 * and may be 0.  Returns the sound handle, 0 when no device can be opened or
 * the device is already open. */
int32_t dsInitialize(int32_t window);

/* Makes a buffer from a complete wave file in memory.  Returns the buffer
 * handle, or 0 for a bad sound handle, a null address, a block that is not
 * a usable RIFF/WAVE file or a sound over DS_MAX_DECODED_BYTES. */
int32_t dsCreateDSB(int32_t sound, const void* wave, int32_t flags);

/* Plays the buffer once from its beginning, restarting it if it is playing. */
int32_t dsPlay(int32_t buffer);
/* Plays the buffer over and over from its beginning until it is stopped. */
int32_t dsPlayLooping(int32_t buffer);
/* Silences the buffer. */
int32_t dsStop(int32_t buffer);
/* Releases the buffer; its handle becomes invalid. */
int32_t dsFree(int32_t buffer);
/* Releases every buffer made on this device and closes the device. */
int32_t dsTerminate(int32_t sound);

/* Not used by the game; kept so that the library offers the whole set. */
/* Buffers from embedded resources: this platform has none, so always 0. */
int32_t dsCreateResDSB(int32_t sound, int32_t resource, int32_t flags);
int32_t dsPlayPan(int32_t buffer, int32_t pan);
int32_t dsPlayEx(int32_t buffer, int32_t volume, int32_t pan);
int32_t dsPlayLoopingEx(int32_t buffer, int32_t volume, int32_t pan);
/* Return 1 when applied, 0 for a bad handle. */
int32_t dsSetVolume(int32_t buffer, int32_t volume);
int32_t dsSetPan(int32_t buffer, int32_t pan);
/* Playback frequency cannot be changed on this platform: always 0. */
int32_t dsSetFrequency(int32_t buffer, int32_t frequency);

/* Length in bytes of the wave file starting at `header`, read from its first
 * 12 bytes (`available` of them readable); 0 when they are not a RIFF/WAVE
 * header or the length is over DS_MAX_WAVE_BYTES. */
uint32_t dsWaveFileLength(const void* header, size_t available);

#ifdef __cplusplus
}
#endif

#endif
