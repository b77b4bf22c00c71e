#include "mixer_library.h"

#include <dlfcn.h>
#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <atomic>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "mixer_calls.h"

namespace zemtori::mixer_library {

namespace {

struct Loaded {
    bool tried = false;
    bool found = false;
    void* mixer = nullptr;
    void* sdl = nullptr;
    Calls calls{};
};

std::string file_name(const std::string& path) { return path.substr(path.rfind('/') + 1); }

// The folder the system's own libraries were loaded from: libc's.
std::string system_library_folder() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&::close), &info) || !info.dli_fname) return {};
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The file names of every library loaded now.
std::set<std::string> loaded_libraries() {
    std::set<std::string> names;
    ::dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* out) {
            if (info->dlpi_name && *info->dlpi_name)
                static_cast<std::set<std::string>*>(out)->insert(file_name(info->dlpi_name));
            return 0;
        },
        &names);
    return names;
}

bool read_at(int fd, void* into, size_t size, uint64_t offset) {
    return ::pread(fd, into, size, static_cast<off_t>(offset)) == static_cast<ssize_t>(size);
}

}  // namespace

Needs needed_libraries(const std::string& path) {
    Needs needs;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return needs;
    Elf64_Ehdr eh{};
    std::vector<Elf64_Phdr> ph;
    if (read_at(fd, &eh, sizeof eh, 0) && std::memcmp(eh.e_ident, ELFMAG, SELFMAG) == 0 &&
        eh.e_ident[EI_CLASS] == ELFCLASS64 && eh.e_phentsize == sizeof(Elf64_Phdr) && eh.e_phnum < 64) {
        ph.resize(eh.e_phnum);
        if (!read_at(fd, ph.data(), ph.size() * sizeof(Elf64_Phdr), eh.e_phoff)) ph.clear();
    }
    // Addresses in the dynamic section are where the file is mapped; the
    // loadable segments say where that is in the file.
    auto file_offset = [&ph](uint64_t address, uint64_t& offset) {
        for (const Elf64_Phdr& p : ph)
            if (p.p_type == PT_LOAD && address >= p.p_vaddr && address < p.p_vaddr + p.p_filesz) {
                offset = address - p.p_vaddr + p.p_offset;
                return true;
            }
        return false;
    };
    for (const Elf64_Phdr& p : ph) {
        if (p.p_type != PT_DYNAMIC || p.p_filesz > (1u << 20)) continue;
        std::vector<Elf64_Dyn> dyn(p.p_filesz / sizeof(Elf64_Dyn));
        if (!read_at(fd, dyn.data(), dyn.size() * sizeof(Elf64_Dyn), p.p_offset)) break;
        uint64_t strtab = 0, strsz = 0;
        for (const Elf64_Dyn& d : dyn) {
            if (d.d_tag == DT_STRTAB) strtab = d.d_un.d_ptr;
            if (d.d_tag == DT_STRSZ) strsz = d.d_un.d_val;
        }
        uint64_t at = 0;
        if (strsz == 0 || strsz > (1u << 24) || !file_offset(strtab, at)) break;
        std::string strings(strsz, '\0');
        if (!read_at(fd, strings.data(), strsz, at)) break;
        for (const Elf64_Dyn& d : dyn) {
            if (d.d_un.d_val >= strsz) continue;
            const std::string text = strings.c_str() + d.d_un.d_val;
            if (d.d_tag == DT_NEEDED) needs.libraries.push_back(text);
            // Folders named with $ORIGIN or the like are left to the loader.
            if (d.d_tag == DT_RUNPATH || d.d_tag == DT_RPATH)
                for (size_t from = 0; from <= text.size();) {
                    const size_t colon = std::min(text.find(':', from), text.size());
                    const std::string folder = text.substr(from, colon - from);
                    if (!folder.empty() && folder[0] == '/' && folder.find('$') == std::string::npos)
                        needs.folders.push_back(folder);
                    from = colon + 1;
                }
        }
        break;
    }
    ::close(fd);
    return needs;
}

std::vector<std::string> load_order(const std::string& folder, const std::string& soname,
                                    const std::set<std::string>& loaded) {
    std::vector<std::string> order;
    std::set<std::string> seen = loaded;
    // Depth first, each library after everything it needs; a library is
    // looked for in the folders the library needing it names, then in `folder`.
    std::function<void(const std::string&, const std::vector<std::string>&)> visit =
        [&](const std::string& name, const std::vector<std::string>& folders) {
            if (!seen.insert(name).second) return;
            for (const std::string& f : folders) {
                const std::string path = f + "/" + name;
                if (::access(path.c_str(), R_OK) != 0) continue;
                Needs needs = needed_libraries(path);
                needs.folders.push_back(folder);
                for (const std::string& need : needs.libraries) visit(need, needs.folders);
                order.push_back(path);
                return;
            }
        };
    visit(soname, {folder});
    return order;
}

namespace {

template <typename F>
bool find(void* library, const char* name, F& slot) {
    slot = reinterpret_cast<F>(::dlsym(library, name));
    return slot != nullptr;
}

// Loads both libraries and finds every call.  The mixer goes first: it
// brings SDL2 with it, which is then only counted once more.  Each library
// stays loaded to the end of the program.
//
// The dynamic loader lets one thread load at a time, and loading the mixer
// with the forty-odd libraries it needs in one call would keep the window's
// thread from loading a Qt plugin (or ALSA, for its messages) for as long.  So the libraries it needs are
// loaded first one by one, each after those it needs in turn, and the window's
// thread waits at most for one of them.  The mixer's own call then loads
// whatever that missed (a library outside the system's folder).  Calls are
// bound when first made, as for a linked library.
Loaded load(const std::string& mixer_soname, const std::string& sdl_soname) {
    Loaded l;
    l.tried = true;
    // A library path of the user's own would decide which copies load: then
    // the loader finds them all itself.
    const std::string folder = std::getenv("LD_LIBRARY_PATH") ? std::string() : system_library_folder();
    if (!folder.empty()) {
        std::vector<std::string> order = load_order(folder, mixer_soname, loaded_libraries());
        if (!order.empty()) order.pop_back();  // the mixer itself, loaded by name below
        for (const std::string& path : order) ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
    }
    l.mixer = ::dlopen(mixer_soname.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (l.mixer) l.sdl = ::dlopen(sdl_soname.c_str(), RTLD_LAZY | RTLD_LOCAL);
    if (!l.mixer || !l.sdl) return l;
    Calls& c = l.calls;
    l.found = find(l.sdl, "SDL_SetHint", c.SetHint) && find(l.sdl, "SDL_InitSubSystem", c.InitSubSystem) &&
              find(l.sdl, "SDL_QuitSubSystem", c.QuitSubSystem) &&
              find(l.sdl, "SDL_RWFromConstMem", c.RWFromConstMem) &&
              find(l.mixer, "Mix_OpenAudio", c.OpenAudio) && find(l.mixer, "Mix_CloseAudio", c.CloseAudio) &&
              find(l.mixer, "Mix_QuerySpec", c.QuerySpec) &&
              find(l.mixer, "Mix_AllocateChannels", c.AllocateChannels) &&
              find(l.mixer, "Mix_LoadWAV_RW", c.LoadWAV_RW) && find(l.mixer, "Mix_FreeChunk", c.FreeChunk) &&
              find(l.mixer, "Mix_PlayChannel", c.PlayChannel) &&
              find(l.mixer, "Mix_HaltChannel", c.HaltChannel) && find(l.mixer, "Mix_Volume", c.Volume) &&
              find(l.mixer, "Mix_SetPanning", c.SetPanning);
    return l;
}

// What was loaded, and the thread loading it.  The thread is joined by the
// first call that needs the libraries, or on the way out of the program, so
// that it never outlives main().
struct State {
    std::mutex mutex;
    std::thread loading;
    Loaded loaded;
    std::atomic<bool> done{false};  // the loading thread has finished its work

    ~State() { finish(); }

    void finish() {
        std::lock_guard<std::mutex> lock(mutex);
        if (loading.joinable()) loading.join();
    }
};

State& state() {
    static State instance;
    return instance;
}

}  // namespace

void start_loading(void (*then)()) {
    State& s = state();
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.loading.joinable()) return;
    if (s.loaded.tried) {
        if (then) then();
        return;
    }
    // The result is written only by this thread and read only after it has been joined.
    s.loading = std::thread([&s, then] {
        s.loaded = load(MIXER_SONAME, SDL_SONAME);
        if (then) then();
        s.done.store(true, std::memory_order_release);
    });
}

bool loaded_already() {
    State& s = state();
    if (s.done.load(std::memory_order_acquire)) return true;
    std::unique_lock<std::mutex> lock(s.mutex, std::try_to_lock);
    return lock.owns_lock() && !s.loading.joinable() && s.loaded.tried;
}

const Calls* calls() {
    State& s = state();
    s.finish();
    if (!s.loaded.tried) s.loaded = load(MIXER_SONAME, SDL_SONAME);
    return s.loaded.found ? &s.loaded.calls : nullptr;
}

bool load_for_testing(const char* mixer_soname, const char* sdl_soname) {
    State& s = state();
    s.finish();
    s.loaded = load(mixer_soname, sdl_soname);
    return s.loaded.found;
}

}  // namespace zemtori::mixer_library
