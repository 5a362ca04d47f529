// Writers of the tool-path blocks, one per block type, in the word layouts of tp_blocks.hpp. A
// writer opens the block (BLKOPN), writes the block number and the type's words and closes it
// (BLKCLS). WHERE 3 numbers the block from the list's counter; any other WHERE writes the number
// given; WHERE 1 writes the entity form, a size word first. The motion writers, the marker writer
// and the sub-list copy write through these.
#pragma once

#include "toolpath/tp_blocks.hpp"

#include <string_view>

// The number a block written at WHERE receives: the list's counter (advanced) for WHERE 3, else
// the number given.
int block_number_for(int where, int given);

// One point of a line (types 2, 22, 222) or a string of one point (7, 27, 227); the direction or
// normal is written for every type but 2 and 7.
void put_line_block(int where, int type, int number, const point3& point, const point3& vector, int& status);
// Appends one point to the string line that is open (types 7, 27, 227): number, point, vector.
void put_line_point(int where, int type, int number, const point3& point, const point3& vector, int& status);
void put_arc_block(int where, int type, const tp_arc_block& arc, int& status);
// A text block of count characters of text (blank-padded when text is shorter). Count 0 or less
// writes nothing; above 80 reports "PUTBT4, TOO LONG MESSAGE (>80 CHARACTERS)" and writes nothing.
void PUTBT4(int where, int type, int count, std::string_view text, int number, int& status);
// A NURBS move: k + n values, n control points (3 reals each).
void put_nurbs_block(int where, int number, int k, int n, const float* values, const float* points, int& status);
void put_home_block(int where, const tp_home_block& block, int& status);
void put_macsys_rot_block(int where, const tp_macsys_rot_block& block, int& status);
void put_rotaxes_block(int where, const tp_rotaxes_block& block, int& status);
void put_lathe_drill_block(int where, const tp_lathe_drill_block& block, int& status);
void put_thread_block(int where, const tp_thread_block& block, int& status);
void put_groove_block(int where, const tp_groove_block& block, int& status);
void put_cycle_act_block(int where, const tp_cycle_block& block, int& status);
void put_cycle_cancel_block(int where, const tp_cycle_block& block, int& status);
// Always with its direction (size 9).
void put_drill_loc_block(int where, const tp_drill_loc_block& block, int& status);
void put_blk32_block(int where, const tp_z_pair_block& block, int& status);
void put_delz_block(int where, const tp_z_pair_block& block, int& status);
void put_retract_mode_block(int where, const tp_retract_mode_block& block, int& status);
void put_depth_block(int where, const tp_z_pair_block& block, int& status);
void put_transform_block(int where, const tp_transform_block& block, int& status);
// The full 49-word header.
void put_header_block(int where, const tp_header_block& block, int& status);
// A marker: the code, then the z for code 3 or the integer value for the codes that carry one.
void put_marker_block(int where, int code, float z, int value, int number, int& status);
// A parameter block of DEFTYP 0 (the value as real or integer by is_real) and of DEFTYP 1 (the
// machine sub-type in int_value).
void put_param_block(int where, const tp_param_block& block, int& status);
void put_param_sub_block(int where, const tp_param_block& block, int& status);
