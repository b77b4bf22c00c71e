#include "app/sound_library_messages.h"

#include <dlfcn.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "app/startup_log.h"

namespace zemtori {

namespace {

// ALSA's error handler: snd_lib_error_handler_t.
void alsa_said(const char* file, int line, const char* function, int err, const char* fmt, ...) {
    char text[512];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    qCInfo(startup_log).nospace().noquote() << "sound system: ALSA " << file << ":" << line << " (" << function
                                            << ") " << text << (err != 0 ? QStringLiteral(": ") : QString())
                                            << (err != 0 ? QString::fromLocal8Bit(std::strerror(err < 0 ? -err : err))
                                                         : QString());
}

using ErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using SetErrorHandler = int (*)(ErrorHandler);

}  // namespace

void route_sound_library_messages() {
    // The sound library loads ALSA itself when it opens the device; loaded
    // here first, it is the same library, and the handler set here is the
    // one it uses.  It stays loaded to the end.
    void* alsa = ::dlopen("libasound.so.2", RTLD_LAZY | RTLD_LOCAL);
    if (!alsa) return;
    const auto set_handler = reinterpret_cast<SetErrorHandler>(::dlsym(alsa, "snd_lib_error_set_handler"));
    if (set_handler) set_handler(alsa_said);
}

}  // namespace zemtori
