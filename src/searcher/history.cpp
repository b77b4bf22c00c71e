#include "searcher/history.h"

#include "searcher/compact_position.h"

namespace zemtori::searcher {

History game_history(std::size_t count, std::size_t plies_before, int root_side, const PastPosition& position,
                     bool neutral) {
    History h;
    h.plies = plies_before + count;
    h.neutral = neutral;
    const std::size_t first = count > GAME_KEYS_LOOKED_AT ? count - GAME_KEYS_LOOKED_AT : 0;
    h.keys.reserve(count - first);
    for (std::size_t n = first; n < count; ++n) {
        zemtori::Position pos;
        int side = position(n, pos);
        // The armies take turns: the position just before the root was the
        // other army's.
        if (side == 0) side = (count - n) % 2 == 0 ? root_side : -root_side;
        h.keys.push_back(from_rules(pos, side).key());
    }
    return h;
}

}  // namespace zemtori::searcher
