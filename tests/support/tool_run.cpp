#include "tool_run.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <sstream>

namespace zemtori::test {

ToolRun run_tool(const std::string& args, const std::string& input) {
    char path[] = "/tmp/zemtori-analyse-test-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return {};
    FILE* f = fdopen(fd, "w");
    std::fwrite(input.data(), 1, input.size(), f);
    std::fclose(f);
    const std::string cmd =
        std::string(ZEMTORI_ANALYSE_EXE) + " " + args + " < " + path + " 2>/dev/null";
    ToolRun r;
    FILE* p = popen(cmd.c_str(), "r");
    if (p == nullptr) {
        unlink(path);
        return r;
    }
    std::string out;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int st = pclose(p);
    unlink(path);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) r.lines.push_back(line);
    return r;
}

}  // namespace zemtori::test
