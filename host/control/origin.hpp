// Control view of the host's procedure origin (host/vantu_origin.hpp), for the tests and the
// runner: the MACSYS frames the rotation test compares (persisted in the part file as
//   "origin": {"macsys": [{"id": 4, "origin": [0, 0, 0], "matrix": [1, 0, 0, 0, 1, 0, 0, 0, 1]}]})
// and what repos_proc does to the common arguments.
#pragma once

#include "host/vantu_origin.hpp"

#include <array>
#include <optional>

namespace vantu::control {

// Declares (or replaces) MACSYS id (1 or more) with its origin and matrix (row by row).
void define_macsys(int id, const std::array<float, 3>& origin, const std::array<float, 9>& matrix);

// The tool position repos_proc moves the held arguments to (none: it leaves them as they are).
void set_reposition(std::optional<std::array<float, 3>> position);

// The arguments the host holds (as last handed over, then repositioned).
const nc_common_arguments& held_common_arguments();

}  // namespace vantu::control
