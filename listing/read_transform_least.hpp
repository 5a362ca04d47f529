// The current read transformation: set when the display meets a transformation block (type 40);
// the line readers apply it to points and directions read with WHERE 4 and 5. Least version
// until the display is built: a state block that starts as the identity.
#pragma once

#include <array>

struct read_transformation {
    std::array<float, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};   // row by row
    std::array<float, 3> translation{};
};

read_transformation& current_read_transformation();
