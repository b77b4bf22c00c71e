// Runs zemtori-analyse as a program, with `input` on its standard input.
#pragma once

#include <string>
#include <vector>

namespace zemtori::test {

struct ToolRun {
    int status = -1;                 // exit status, -1 when it did not exit
    std::vector<std::string> lines;  // standard output, line by line
};

ToolRun run_tool(const std::string& args, const std::string& input);

}  // namespace zemtori::test
