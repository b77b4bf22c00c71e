// zemtori-soak: the long soak (make soak builds it with AddressSanitizer and
// UndefinedBehaviorSanitizer, which stop it at the first error they find).
//
//   zemtori-soak [--games N] [--long-games N] [--seed S]
#include <cstdio>
#include <cstdlib>
#include <string>

#include "soak.h"

int main(int argc, char** argv) {
    zemtori::soak::Options options;
    options.data_dir = ZEMTORI_DATA_DIR;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string arg = argv[i];
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (arg == "--games" && value >= 0) options.games_per_level = static_cast<int>(value);
        else if (arg == "--long-games" && value >= 0) options.long_games = static_cast<int>(value);
        else if (arg == "--seed" && value >= 0) options.seed = static_cast<std::uint64_t>(value);
        else {
            std::fputs("usage: zemtori-soak [--games N] [--long-games N] [--seed S]\n", stderr);
            return 2;
        }
    }
    if (argc % 2 == 0) {
        std::fputs("usage: zemtori-soak [--games N] [--long-games N] [--seed S]\n", stderr);
        return 2;
    }
    std::printf("soak: %d games at each of the nine levels, %d games between two people of %d moves, seed %llu\n",
                options.games_per_level, options.long_games, options.long_game_moves,
                static_cast<unsigned long long>(options.seed));
#if defined(__SANITIZE_ADDRESS__)
    std::printf("built with AddressSanitizer: any error it or UndefinedBehaviorSanitizer finds stops the run\n");
#endif
    const zemtori::soak::Report report = zemtori::soak::run(options);
    std::fputs(zemtori::soak::describe(report).c_str(), stdout);
#if defined(__SANITIZE_ADDRESS__)
    std::printf("sanitizer errors: none\n");
#endif
    return report.failures.empty() ? 0 : 1;
}
