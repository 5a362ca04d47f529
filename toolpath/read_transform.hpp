// The read transformation: TRS1, the tool-path transformation that the display sets when it
// meets a transformation block (type 40) and the procedure reader loads from a procedure's stored
// transformation. The line readers apply it to points and directions read with WHERE 4 and 5;
// the display draws every point through it while it is active.
#pragma once

#include <array>

struct read_transformation {
    std::array<float, 9> matrix{1, 0, 0, 0, 1, 0, 0, 0, 1};  // row by row
    std::array<float, 3> translation{};
};

// TRS1's matrix and translation while its active flag is 1, else the identity.
read_transformation current_read_transformation();
// TRS1 := active, the matrix (nine reals) and the translation (three reals).
void read_transformation_set(const float* matrix, const float* translation);
// TRS1 := inactive with the identity.
void read_transformation_clear();
