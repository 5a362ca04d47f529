// The values a procedure takes over from the main procedure of a template and from the template
// itself after a template read: the template's origin height, its new tool and UCS, the block-use
// mode (which groups of values are taken), and the main procedure's machine parameters, heights,
// text, optimizer items and machine table. The part file gives them; none by default.
#pragma once

#include "host/words.hpp"

#include <span>
#include <string>

// The template's origin height (0 by default).
double get_TmplMorZ();
// The block-use mode: init_BlockUseMode starts it, get_Block_Filter_Array fills the switches
// (0 machine parameters, 1 tool, 2 UCS, 3 clearance; 1 takes the group), update_BlockUseMode
// ends it.
inline constexpr int kBlockUseSwitches = 4;
inline constexpr int kUseMachine = 0, kUseTool = 1, kUseUcs = 2, kUseClearance = 3;
void init_BlockUseMode();
void get_Block_Filter_Array(int (&switches)[kBlockUseSwitches]);
void update_BlockUseMode();
// The tool and the UCS the template brings (0: none).
int get_Template_NewTool_ID();
int get_Template_NewProcUcs_ID();
// The main procedure's values copied into the caller's words: its machine parameters, its
// clearance, absolute and incremental height records (24 words each), its optimizer items and its
// machine table. At most values.size() words are copied; status 0, or -1 when the main procedure
// has none (values untouched).
void get_prmtbl_ptr_FromMain(std::span<word> values, int& status);
void get_ClearV_FromMain(std::span<word> values, int& status);
void get_AbsclrV_FromMain(std::span<word> values, int& status);
void get_IncclrV_FromMain(std::span<word> values, int& status);
void get_OPT_PARAMS_FromMain(std::span<word> values, int& status);
void get_PLGmchtbl_PARAMS_FromMain(std::span<word> values, int& status);
// The main procedure's clearance-plane and absolute-height flags (0 by default) and its NC text
// of 20 characters (blank by default).
int get_Onclr_FromMain();
int get_Aiclr_FromMain();
void get_Ctext_FromMain(std::string& text);
