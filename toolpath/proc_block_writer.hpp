// The procedure block writer (PTBT12) and its global-parameter segment (wglprm): a stored
// procedure becomes one block of type 12 at the end of the current list level, with segments 24,
// 27, 23 and 25 and the sub-list header item, followed by its motion sub-list, which is left
// open for the execution. At most 200 procedures are created in one tool path ("NPRC"). Also
// the small routines around it: the blank attribute of a type, the level's block counter and the
// machine-parameter slots applied before an execution.
#pragma once

#include "nc_services/proc_type_table.hpp"

inline constexpr int kMaxProcedures = 200;
// Status of a store that the limit refused.
inline constexpr int kProcedureLimit = 1;

// Writes the procedure block and opens its sub-list. Status 0; 1 when the limit refused the block
// (nothing written); negative on a failure, after which the block is deleted and "NPRC" is as it
// was. Reads the NC state blocks, the dialog words, the optimizer block and the flag globals.
void PTBT12(int procedure_type, int new_block, int procedure_number, contour_records_callback contour_records,
            put_parameters_callback put_parameters, put_geometry_callback put_geometry, int machine_param_type,
            int& status);
// Writes segment 24, the global parameters, 480 words; counter answers the segment's length.
// Reads EDA2, HEI8, UPW2, DSP8, NPT1, CLP1, the state texts, the dialog words and the optimizer
// block; marks every flag for update when the program's version differs from the tool path's.
void wglprm(int where, int& counter, int& status);
// 1 for procedure types 24, 25, 26, 41, 50 and 51, else 0.
int proc_type_blank_attr(int procedure_type);
// The block-number counter of the current list level: the number of the next block written.
void get_tp_blkno(int& number);
// Applies the machine-parameter slots before an execution: user values count as written and
// the computed values are taken from PRM9. Status 0.
void mch_param_apply(int machine_param_type, int& status);
