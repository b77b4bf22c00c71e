/* The RIFF header check, in C: callers of the library read it before they
 * hand over a block, and so can C programs. */
#include "zemtori_ds.h"

#include <string.h>

static uint32_t read_le32(const unsigned char* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

uint32_t dsWaveFileLength(const void* header, size_t available) {
    const unsigned char* h = (const unsigned char*)header;
    uint32_t riff_size;
    if (!h || available < 12) return 0;
    if (memcmp(h, "RIFF", 4) != 0 || memcmp(h + 8, "WAVE", 4) != 0) return 0;
    riff_size = read_le32(h + 4);
    /* "WAVE" is inside the RIFF size; the whole file is 8 bytes more. */
    if (riff_size < 4 || riff_size > DS_MAX_WAVE_BYTES - 8) return 0;
    return riff_size + 8;
}
