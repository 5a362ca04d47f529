// The work view and the model data that follow the tool path's MACSYS when the display meets a
// header, a MACSYS rotation or a UCS: the view pointer and depth of the work view, the view
// matrix ("STVW") and the MACSYS frame in machine coordinates ("COOR"), and the symbol display.
// The block display handlers share them.
#pragma once

#include <array>

using view_matrix = std::array<float, 9>;

// The work view takes the view pointer and depth, is saved and made current.
void work_view_take(int view, float depth);
// Model data "STVW": the view matrix.
void store_view_matrix(const view_matrix& matrix);
// Model data "COOR", the work coordinates: the tool-path matrix (words 0-8), its origin in model
// coordinates (9-11) and further words (12-22) that other modules of the host keep there.
inline constexpr int kCoorWords = 23, kCoorKind = 4;
// Writes the matrix and the origin (given in world coordinates) over the stored "COOR", its
// further words kept as stored; a missing record starts from zeros. The restore of the NC state
// and the block display both write it so, so that neither loses the other's words.
void store_machine_frame(const view_matrix& matrix, const std::array<float, 3>& origin);
// The symbol display off (edsym 0, 0) and on again (edsym 2, 1 and 3, 1).
void symbols_off();
void symbols_on();
// NPT1's MACSYS matrix.
view_matrix npt1_matrix();
void set_npt1_matrix(const view_matrix& matrix);
