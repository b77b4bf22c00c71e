// The handicap ladder: 21 rungs from 名人 (-10) through the even game ２級 (0)
// to 12級 (10), and whether a rung has been set since the last new game.
#pragma once

namespace zemtori {

class HandicapLadder {
public:
    static constexpr int TOP_RUNG = 10;

    int dan() const { return HANDE_DAN; }
    bool settei() const { return HANDE_SETTEI; }

    // A new game: the even game, nothing set.
    void reset() {
        HANDE_DAN = 0;
        HANDE_SETTEI = false;
    }
    // One step, +1 toward 12級 or -1 toward 名人; false at the ladder's end,
    // where the rung stays.  Either way the ladder counts as set.
    bool step(int direction) {
        HANDE_SETTEI = true;
        if (HANDE_DAN * direction >= TOP_RUNG) return false;
        HANDE_DAN += direction;
        return true;
    }
    // A kept game comes back with its rung, set or not.
    void bring_back(int rung, bool set) {
        HANDE_DAN = rung < -TOP_RUNG ? -TOP_RUNG : rung > TOP_RUNG ? TOP_RUNG : rung;
        HANDE_SETTEI = set;
    }
    // The board turned through half a turn: the rung passes to the other side.
    void turn_over() {
        if (HANDE_SETTEI) HANDE_DAN = -HANDE_DAN;
    }

private:
    int HANDE_DAN = 0;
    bool HANDE_SETTEI = false;
};

}  // namespace zemtori
