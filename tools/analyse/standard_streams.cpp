#include "standard_streams.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>

namespace zemtori::analyse {

namespace {

// Says why on standard error and ends the program at once, from whichever
// thread found the fault (the other threads end with it).
[[noreturn]] void fail(const char* what, int err) {
    const std::string line = std::string("zemtori-analyse: ") + what + ": " + std::strerror(err) + "\n";
    [[maybe_unused]] const ssize_t n = ::write(2, line.data(), line.size());
    ::_exit(1);
}

// Keeps `fd` taken: when it is closed, /dev/null opened with `flags` takes
// its number.  Read-only, an output refuses every write (EBADF), as the
// closed one did.
void keep_open(int fd, int flags) {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) return;
    const int null = ::open("/dev/null", flags | O_CLOEXEC);
    if (null < 0 || null == fd) return;
    ::dup3(null, fd, 0);
    ::close(null);
}

// Waits until a non-blocking `fd` is ready for `events`.
void wait_for(int fd, short events) {
    pollfd p{fd, events, 0};
    while (::poll(&p, 1, -1) < 0 && errno == EINTR) {
    }
}

class InputBuffer : public std::streambuf {
protected:
    int_type underflow() override {
        for (;;) {
            const ssize_t n = ::read(0, buf_, sizeof buf_);
            if (n > 0) {
                setg(buf_, buf_, buf_ + n);
                return traits_type::to_int_type(*gptr());
            }
            if (n == 0) return traits_type::eof();
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                wait_for(0, POLLIN);
                continue;
            }
            fail("reading standard input", errno);
        }
    }

private:
    char buf_[16384];
};

class OutputBuffer : public std::streambuf {
public:
    OutputBuffer() { setp(buf_, buf_ + sizeof buf_); }

protected:
    int_type overflow(int_type ch) override {
        drain();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override {
        drain();
        return 0;
    }

private:
    // Writes out all that is buffered, or ends the program.
    void drain() {
        const char* at = pbase();
        while (at < pptr()) {
            const ssize_t n = ::write(1, at, static_cast<size_t>(pptr() - at));
            if (n > 0) {
                at += n;
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                wait_for(1, POLLOUT);
                continue;
            }
            fail("writing standard output", n < 0 ? errno : EIO);
        }
        setp(buf_, buf_ + sizeof buf_);
    }

    char buf_[16384];
};

}  // namespace

void guard_standard_streams() {
    keep_open(0, O_RDONLY);
    keep_open(1, O_RDONLY);
    keep_open(2, O_RDONLY);
    // Never destroyed: std::cout is flushed at the very end of the program.
    static InputBuffer* const in = new InputBuffer;
    static OutputBuffer* const out = new OutputBuffer;
    std::cin.rdbuf(in);
    std::cout.rdbuf(out);
}

}  // namespace zemtori::analyse
