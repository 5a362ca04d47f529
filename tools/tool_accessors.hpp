// Accessors of the current tool. A getter takes a tool id: when it is not the current tool's, the
// tool is made current with SGTOOL first; the result is preset to -1, -1.0 or blanks and stays so
// when the tool cannot be read or is of another class. Setters store into the current tool
// without loading or testing anything.
#pragma once

#include <string>

void tool_get_class(int tool_id, int& result);
void tool_get_symbol_master(int tool_id, int& result);
void tool_get_name(int tool_id, std::string& name);    // 20 characters, upper case
void tool_get_name_c(int tool_id, std::string& name);  // at most 19 characters, no padding
void tool_get_text(int tool_id, std::string& text);
void tool_get_life(int tool_id, float& hours);  // 0 when the tool has none
void tool_get_diameter(int tool_id, float& result);
void tool_get_mill_diameter(int tool_id, float& result);
void tool_get_mill_diameter_dbl(int tool_id, double& result);
void tool_get_corner_radius(int tool_id, float& result);
void tool_get_clear_length(int tool_id, float& result);
void tool_get_cut_length(int tool_id, float& result);
void tool_get_taper_angle(int tool_id, float& result);
void tool_get_drill_diameter(int tool_id, float& result);
void tool_get_drill_tip_angle(int tool_id, float& result);
void tool_get_drill_clear_length(int tool_id, float& result);
void tool_get_drill_cut_length(int tool_id, float& result);
void tool_get_lathe_width(int tool_id, float& result);
void tool_get_punch_diameter(int tool_id, float& result);
void tool_get_punch_length(int tool_id, float& result);
void tool_get_punch_size(int tool_id, float& result);
void tool_get_thread_width(int tool_id, float& result);
void tool_get_groove_width(int tool_id, float& result);
void tool_get_agie_generator(int tool_id, int& result);
void tool_get_agie_flush(int tool_id, int& result);
void tool_get_agie_offset(int tool_id, int& result);
void tool_get_agie_pangle(int tool_id, int& result);
void tool_get_mkno_cutcnd(int tool_id, int& result);
void tool_get_mkno_offset(int tool_id, int& result);
void tool_get_chrm_gcodes(int tool_id, int& g1, int& g2, int& g3, int& g4, int& g5);
void tool_get_chrm_cregst(int tool_id, float& result);
void tool_get_chrm_aregst(int tool_id, float& result);
void tool_get_chrm_offset(int tool_id, int& result);
void tool_get_cond_spin(int tool_id, int& result);
void tool_get_cond_feed(int tool_id, float& result);
void tool_get_cond_vc(int tool_id, float& result);
void tool_set_cond_spin(int value);
void tool_set_cond_feed(float value);
void tool_set_cond_vc(float value);
void tool_set_mill_diameter(float value);
void tool_set_corner_radius(float value);
void tool_set_cut_length(float value);
// Flag 1 copies the field out blank-padded (20 characters); any other flag stores the text.
void tool_name_text(int get_flag, std::string& text);
void tool_material_text(int get_flag, std::string& text);
void tool_comment_text(int get_flag, std::string& text);
void cycle_get_name(int cycle_id, std::string& name);
