// The stored layouts of the tool-path blocks and their readers (tpread_*). In the list a block is
// one line: word 0 the type, word 1 the block number, then the type's words; in an entity the
// same words follow a size word. Every reader is called after tp_block_head_read has read the
// type word, reads the rest in layout order and stops at the first negative status. WHERE 4
// reads the list and WHERE 5 the open entity, and then converts to world coordinates.
#pragma once

#include <array>
#include <string>

using point3 = std::array<float, 3>;
inline constexpr point3 kDefaultDirection{0.0f, 0.0f, 1.0f};

struct tp_header_block {  // type 0; size 27, 28, 29 or 49
    int number = 0;
    std::array<char, 8> macsys_name{};
    int value1 = 0;
    point3 point1{}, point2{};
    std::array<float, 9> matrix{};
    float real1 = 0.0f;
    int value2 = 0;
    int value3 = 0;   // size >= 28
    int version = 0;  // below 600: written by version 5.0
    int value4 = 0;
    int value5 = 0;
    int value6 = 0;    // size >= 29
    std::string text;  // 80 characters, size > 29
};
struct tp_param_block {  // type 1; size 5
    int number = 0, prmtyp = 0, deftyp = 0;
    int is_real = 0, int_value = 0;
    float real_value = 0.0f;
};
struct tp_line_point {  // types 2, 7 (1 + 4 per point); 22, 222, 27, 227 (1 + 7 per point)
    int number = 0, points = 0;
    point3 point{}, direction = kDefaultDirection;
};
struct tp_arc_block {  // types 3 (size 10), 23, 223 (13)
    int number = 0, plane = 0;
    float angle = 0.0f, delta = 0.0f;
    std::array<float, 2> centre{};
    point3 end{}, direction = kDefaultDirection;
};
struct tp_text_block {  // type 4; size 3 + (count + 3) / 4
    int number = 0, count = 0;
    std::string text;  // at most 80 characters, blank-padded to 80
};
struct tp_home_block {
    int number = 0;
    point3 first{}, second{};
};                            // type 6; 8
struct tp_macsys_rot_block {  // type 9; 14
    int number = 0, axes = 0;
    point3 point{};
    float angle = 0.0f;
    int value1 = 0;
    float real1 = 0.0f;
    int value2 = 0;
    float real2 = 0.0f;
    point3 end{};
};
struct tp_rotaxes_block {
    int number = 0, kind = 0;
    point3 first{}, second{};
    int value = 0;
    float real = 0.0f;
};  // 10; 11
struct tp_lathe_drill_block {
    int number = 0, drill_type = 0;
    float real1 = 0.0f;
    point3 point{};
    int value = 0;
    float real2 = 0.0f;
};  // 11; 9
struct tp_thread_block {
    int number = 0;
    point3 start{}, end{};
    int starts = 0, current = 0;
};  // 13; 10
struct tp_groove_block {
    int number = 0, groove_type = 0;
    point3 start{}, end{};
    std::array<float, 6> reals{};
};                       // 14; 15
struct tp_cycle_block {  // types 30 (activation) and 35 (cancellation); 10
    int number = 0;
    std::array<char, 8> name{};
    int value1 = 0;
    float real1 = 0.0f, real2 = 0.0f, real3 = 0.0f;
    int value2 = 0;
    float real4 = 0.0f;
};
struct tp_drill_loc_block {
    int number = 0;
    point3 point{}, direction = kDefaultDirection;
    int value = 0;
};  // 31; 6 or 9
struct tp_z_pair_block {
    int number = 0;
    float first = 0.0f, second = 0.0f;
};  // 32 (z pair), 33, 36 (new, old)
struct tp_retract_mode_block {
    int number = 0, old_mode = 0, new_mode = 0;
};  // 34; 4
struct tp_transform_block {
    int number = 0;
    std::array<float, 9> matrix{};
    point3 translation{};
};  // 40; 14
struct tp_marker_block {
    int number = 0, code = 0;
    float z = 0.0f;
    int value = 0;
};  // 99; 3 or 4

// Marker codes that carry a z (3) or an integer (the others listed).
bool marker_has_z(int code);
bool marker_has_int(int code);

void tpread_header(int where, int size, tp_header_block& block, int& status);
void tpread_param(int where, tp_param_block& block, int& status);
void tpread_param_plain(int where, tp_param_block& block, int& status);
void tpread_lines(int where, int type, int size, tp_line_point& point, int& status);
void tpread_arc(int where, int type, tp_arc_block& block, int& status);
void tpread_text(int where, tp_text_block& block, int& status);
void tpread_home(int where, tp_home_block& block, int& status);
void tpread_macsys_rot(int where, tp_macsys_rot_block& block, int& status);
void tpread_rotaxes(int where, tp_rotaxes_block& block, int& status);
void tpread_lathe_drill(int where, tp_lathe_drill_block& block, int& status);
void tpread_thread(int where, tp_thread_block& block, int& status);
void tpread_groove(int where, tp_groove_block& block, int& status);
void tpread_cycle_activation(int where, tp_cycle_block& block, int& status);
void tpread_cycle_cancel(int where, tp_cycle_block& block, int& status);
void tpread_drill_loc(int where, int size, tp_drill_loc_block& block, int& status);
void tpread_blk32(int where, tp_z_pair_block& block, int& status);
void tpread_delz_setting(int where, int size, tp_z_pair_block& block, int& status);
void tpread_retract_mode(int where, tp_retract_mode_block& block, int& status);
void tpread_depth_setting(int where, tp_z_pair_block& block, int& status);
void tpread_transform(int where, tp_transform_block& block, int& status);
void tpread_marker(int where, int size, tp_marker_block& block, int& status);
