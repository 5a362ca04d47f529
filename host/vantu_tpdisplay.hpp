// Host services of the tool-path display beyond the display file: units and decimals of shown
// numbers, the no-fast-display switch, the display tolerance, the work view (its view pointer and
// depth, the matrices and names of views, the view of a UCS), level names, the rotation-axes
// symbol, the host's NC table and the free space of the part.
#pragma once

#include "host/words.hpp"

#include <string>
#include <string_view>

// The length unit's factor to millimetres (1 MM, 10 CM, 25.4 INCH, 304.8 FEET, 1000 M).
void gtmesu(float& factor);
// The display unit of the current NC function: its code (1 MM .. 5 M, as for gtmesu), 0 when the
// function shows lengths in the part's unit.
int nu_sgcd_find_unit();
// The unit lengths are shown in (1 MM, 2 CM, 3 INCH, 4 FEET, 5 M): the display unit of the NC
// function when it has one, else the part's length unit; and its factor to millimetres, by which
// a length (held in millimetres) is divided to be shown in the unit.
void getunt(int& unit, float& factor);
// Decimals of shown numbers: general, lengths, axis components.
void gtdgts(int& general, int& lengths, int& axis);
// 1 when the host hides fast (rapid) moves in the display, else 0.
int get_fdflg();
// Switch the host's hiding of fast moves on (get_fdflg answers 1) or off.
void set_fdflg_on();
void set_fdflg_off();
// The part box: computed from the part's geometry (status 0, or the fault's status), and the
// minimum and maximum z of the part taken into the procedure's values.
void calculate_partbox(int& status);
void update_min_max_pz();
// The host's display tolerance of curves.
void srfdds(float& tolerance);
// Lets the host redraw between two displayed blocks.
void rdrint_int();
// Free space of the part in bytes. Status 0; -1 when the host reports none.
void gtdas(int& bytes, int& status);

// The work view: wvputc sets "WVPTR" (a view pointer) or "DEPTH" (a real in the word) of the
// work view being prepared; wvsave keeps it; setwv makes it the current work view. Another key is
// refused (status -1).
void wvputc(std::string_view key, word value, int& status);
void wvsave();
void setwv();
// The matrix (nine reals, row by row) of view `view`. Status 0; -1 when the host has no such view.
void trget(int view, float* matrix, int& status);
// The view pointer of UCS entity `ucs`: a coordinate system made by xsys4 is its own view (the
// transformation an entity's "RP" names). Status 0; -3 when the UCS has no view.
void trchk(int ucs, int& view, int& status);
// The transformation display: trfque answers whether it is on (1, the start) or off (0); trfoff
// and trfon switch it.
void trfque(int& on);
void trfoff();
void trfon();
// The 8-character name of view `view` (blanks for a view without one).
void gvtdat(int view, std::string& name);
// The kind of view `view`: 3 a MACSYS (every view unless the host was told otherwise).
void gvtknd(int view, int& kind);
// The 6-character name of level `level` (1-based; blanks for a level without one).
void gsname(int level, std::string& name);
// Sets the user attributes of the open entity: view pointer and level (mode 3 sets both).
void setuap(int mode, int view, float level);
// The rotation-axes symbol: dspax switches its display off (0) or on (1); updax draws the axis
// through the origin (three floats) along the direction at the size.
void dspax(int on);
void updax(const float* origin, const float* direction, float size);

// The host's NC table: whether it was initialised, its initialisation, the table id to read and
// the read. Status of the read 0, or -1 without a table id.
int ncs_table_initialized();
void ncs_table_init();
void ncs_table_set_table_id(int id);
void ncs_table_read_table(int& status);
