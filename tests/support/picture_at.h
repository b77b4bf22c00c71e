// What the headless window shows at a grid position.
#pragma once

#include <optional>

#include "port/geometry.h"
#include "port/headless_port.h"

namespace zemtori::test {

// The last picture painted with its top-left corner at grid position (c, r).
inline std::optional<int> picture_at(const HeadlessPort& port, double c, double r) {
    return port.picture_at_twips(grid_x(c), grid_y(r));
}

}  // namespace zemtori::test
