// The block printers of the listings: one per tool-path block type, turning what the block reader
// delivered into listing lines in the full form (0, FORMAT records), the listing form (1) and the
// header and table-row forms (2, 3; alike to 1 except for the header, the text and the
// rotation-axes blocks). PRTBLK calls them; every printer records the type it printed as
// lst_state's last type. Lengths are multiplied by the scale; directions, matrices and angles
// are not.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <array>
#include <string>

// What every printer gets besides the block's values.
struct print_job {
    int form = 1;
    int unit = 19;
    int size = 0;  // the block size in words
    int type = 0;  // the block type
    float scale = 1.0f;
};

inline constexpr int kFullForm = 0, kListForm = 1, kHeaderForm = 2, kRowForm = 3;

// Lines 2, 22, 222: the form-0 record or the group heading (when the last type differs), then
// the point. The caller's copy of the direction is truncated to 4 decimals.
void prt_line(const print_job& job, tp_line_point& p);
// The point line of a line or string point: the proc-block column, 21 blanks and the point text;
// for types other than 2 and 7 a second line with 31 blanks and the direction text.
void prt_point(const print_job& job, tp_line_point& p);
// The header of a point string (7, 27, 227), once per block.
void prt_string_head(const print_job& job, int number, int points);
void prt_arc(const print_job& job, tp_arc_block& b);
void prt_home(const print_job& job, const tp_home_block& b);
// Reads the NURBS block from `where` (4 read as 2, 5 as 1) and prints it. Status of the reader.
void prt_nurbs(const print_job& job, int where, int& status);
// `level` is the list level the block stands on (text inside a procedure: above 1).
void prt_text(const print_job& job, const tp_text_block& b, int level);
void prt_macsys_rot(const print_job& job, const tp_macsys_rot_block& b);
void prt_rotaxes(const print_job& job, const tp_rotaxes_block& b);
void prt_lathe_drill(const print_job& job, const tp_lathe_drill_block& b);
void prt_thread(const print_job& job, const tp_thread_block& b);
void prt_groove(const print_job& job, const tp_groove_block& b);
// Types 30 (activation) and 35 (cancellation); del-zsurf is printed as given.
void prt_cycle(const print_job& job, const tp_cycle_block& b);
void prt_drill_loc(const print_job& job, tp_drill_loc_block& b);
// Type 33: the new minus the old distance.
void prt_delz(const print_job& job, const tp_z_pair_block& b);
void prt_retract_mode(const print_job& job, const tp_retract_mode_block& b);
void prt_depth(const print_job& job, const tp_z_pair_block& b);
void prt_transform(const print_job& job, const tp_transform_block& b);

// A name of a fixed table, or the value as its number when it lies outside the table.
std::string table_name(const char* const* names, int count, int value);
