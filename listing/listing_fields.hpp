// The fixed-width columns of the listing lines: block numbers, procedure and block numbers,
// points, directions, matrix rows and knots, each written through its FORMAT into its column of
// lst_state, and DEFPNM, the label of a machine-parameter type. The block printers, the
// procedure block printer and the editor's block listing assemble their lines from them.
#pragma once

#include <span>
#include <string>

// The block-number column: "(1x,i3,2x)".
void lst_fmt_i3(int value);
// The procedure-and-block column: "(1x,i3,'-',i6)".
void lst_fmt_proc_block(int procedure, int block);
// The coordinate column (kinds 1 to 5) or the line buffer (kind 6) from the values: 1 a point
// scaled, 2 a direction truncated to 4 decimals (stored back into the values) and scaled, 3 a
// matrix row unscaled, 4 an x, y pair scaled, 5 a knot scaled, 6 a knot and a point unscaled.
// Any other kind leaves the column blank.
void lst_fmt_point(int kind, std::span<float> values, float scale);
// One knot line on the unit: 21 blanks and the line buffer (knot with its point) or the coordinate
// column (the knot alone). The procedure-and-block column is filled and not written.
void lst_knot_line(int form, int unit, int type, int block, float scale, int has_point, float knot,
                   std::span<const float> point, int& line);

// The 10-character label of a machine-parameter type; "UN KNOWN  " and "DEFPNM: WRONG PARAMETER"
// with the type for one it does not know.
void DEFPNM(int prmtyp, std::string& label);
