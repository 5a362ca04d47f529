// The clearing height grid (clear_block) that the step tests of the pocket lanes read, the
// clearing point-reduction tolerance, and the ordinary link between two pass strings. Least
// version until the hatch clearing and the surface clearing are built: the grid stays empty, the
// tolerance 0 and the link refused. The hatch clearing completes the grid and the tolerance, the
// surface clearing the link.
#pragma once

// The grid: cell sizes, origin, columns and rows, and a host array of cells of 8 bytes whose
// first 4-byte real is the cell's value (row by row).
struct clear_block {
    float cell_x = 0.0f;
    float cell_y = 0.0f;
    float origin_x = 0.0f;
    float origin_y = 0.0f;
    int columns = 0;
    int rows = 0;
    int cells = -1;     // host array handle; -1: no grid
};
clear_block& clear_grid();

// The clearing point-reduction tolerance (0 here).
void clr_reduce_tol_get(float& value);

// The pass data of a link between two pass strings: the end of the first string and the start of
// the second, with their directions.
struct pass_link {
    double from[3] = {0.0, 0.0, 0.0};
    double from_direction[3] = {0.0, 0.0, 0.0};
    double to[3] = {0.0, 0.0, 0.0};
    double to_direction[3] = {0.0, 0.0, 0.0};
};
// Joins the two strings by the ordinary link of the link mode: status -1 here, nothing written.
void link_pass_strings(const pass_link& pass, int link_mode, int& status);
