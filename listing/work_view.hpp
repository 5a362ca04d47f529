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
// Model data "COOR": the matrix and the origin in machine coordinates.
void store_machine_frame(const view_matrix& matrix, const std::array<float, 3>& origin);
// The symbol display off (edsym 0, 0) and on again (edsym 2, 1 and 3, 1).
void symbols_off();
void symbols_on();
// NPT1's MACSYS matrix.
view_matrix npt1_matrix();
void set_npt1_matrix(const view_matrix& matrix);
