// The soak: whole games played through the game's own event handlers (menu
// commands and mouse clicks at cell positions) on the headless window with
// its fake clock, checking after every move that no piece was created or
// lost and that each hand's total matches its counts.
//
//   - games of the computer at each of its nine levels against a seeded
//     random mover who now and then asks for a hint,
//     started with 先手 or 後手, now and then stepped back with 戻 and
//     resumed by a click, and now and then given a move that the mouse
//     refuses;
//   - games between two random movers that steer clear of the kings, played
//     past the end of the record's first 501 entries, then stepped back and
//     forward there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zemtori::soak {

struct Options {
    int games_per_level = 1000;     // games against the computer at each level
    int long_games = 3;             // games between two people
    int long_game_moves = 530;      // moves of each such game
    int max_moves = 1000;           // a game against the computer longer than this is left
    long long search_nodes = 1000;  // the searching player's budget: levels 4-9's moves and hints
    std::uint64_t seed = 1;
    std::string data_dir;           // the wave files; may be missing
};

struct Report {
    int games = 0;                  // against the computer
    long long moves = 0;            // moves on the board, both sides, all games
    int man_took_king = 0;          // the person took the computer's king
    int man_mated = 0;              // the person left the computer's king mated
    int com_took_king = 0;          // the computer took the person's king
    int com_no_move = 0;            // the computer had no move
    int unfinished = 0;             // left after max_moves
    int long_games = 0;
    long long long_game_moves = 0;
    std::vector<std::string> failures;  // each broken rule, with the game and move
};

Report run(const Options& options);

// A few lines for people: games, moves, results by side, failures.
std::string describe(const Report& report);

}  // namespace zemtori::soak
