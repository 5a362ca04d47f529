// NC services of the host that the tool-path word layer and the block readers call: the
// procedure parameter line, the tool path's version number, the conversion of old real values
// into expressions, the procedure parameters by selector, the stored read transformations and
// the machine-table extension kept beside the module data.
#pragma once

#include "host/words.hpp"

#include <string>

// Reads the next n words of the host's procedure parameter line as values of the type (0
// integers, 1 reals: converted by value; any other type: the words as they stand). Status 0; -1
// for a bad n or buffer; -2 when fewer than n words are left (nothing read).
void nu_parm_get_line(word* values, int n, int type, int& status);

// The version number of the program that wrote the current tool path.
void tp_vnum_get(int& version);
// Sets the version under which the word layer reads the tool path (a procedure's own version
// when an older procedure is read back).
void tp_vnum_set(int version);

// Turns n words read as plain reals (tool paths older than version 830) into n / 24 expressions
// of 24 words in place: expression k gets real k as its value (words 0-1: the real, 0), an empty
// text (words 2-22 zero) and value type 1 (word 23). Status 0; -1 for a bad n or buffer.
inline constexpr int kExpressionWords = 24;
void rel_nc_init_expr(word* values, int n, int& status);

// Parameters the host keeps per entity: those of a procedure (by its entity id, or
// kParamOpenProcedure for the host's open procedure) and those of a procedure's geometry (by the
// geometry's id), each under the host's class, type and code (class 9, type 4: a procedure's
// global parameters by item code, the texts 29 and 30 among them, and code 34, which no global
// parameter uses, for the procedure type of its header; class 9, type 7: the parameters of a
// geometry). mode kParamGetInteger reads the parameter's first word into values[0]; mode
// kParamGetArray copies at most capacity words. count answers how many words the parameter
// holds; mode kParamSet stores the capacity words as the parameter (made when it was not there).
// Status 0; 1 when the parameter is not there (count 0); -1 for a bad mode, capacity or buffer.
inline constexpr int kParamGetInteger = 1, kParamSet = 2, kParamGetArray = 3;
inline constexpr int kParamOpenProcedure = -1;
void gs_param(int mode, int id, int param_class, int type, int code, word* values, int capacity, int& count,
              int& status);

// The stored read transformation id: a 3x3 matrix (row by row) and a translation. Status 0; -5
// when no transformation has the id (the outputs untouched); -1 for a missing buffer. Id -1
// (kCopyTransformation) answers the copy transformation: that of the copy of the procedure being
// displayed, the identity for the procedure itself.
inline constexpr int kCopyTransformation = -1;
void cltrin(int id, float* matrix, float* translation, int& status);
// The 4-character name of stored transformation id (blanks for a transformation without a name
// or none with the id).
void dbttna(int id, std::string& name);
// Steps to the next copy of the procedure being displayed: status 0 with its transformation in
// matrix and translation while one follows; 1 after the last copy, which starts the copies again
// from the procedure itself (the identity).
void cltran(float* matrix, float* translation, int& status);

// The machine-table extension (10 words) kept by the host beside the module data: put stores,
// get reads (status 1 and nothing written when none was stored). -1 for a count other than 10.
inline constexpr int kMachineTableExtWords = 10;
void plg_mchtbl_mdput(const word* values, int n, int& status);
void plg_mchtbl_mdget(word* values, int n, int& status);

// The procedure manager's open procedure: the procedure whose stored motions were brought back
// into the list. set_open_proc marks it open, is_open_proc answers 1 while it is, and
// reset_open_proc closes it.
void set_open_proc();
int is_open_proc();
void reset_open_proc();

// Hands the rest of the open MOVMNT entity (its cursor after the entity's three leading words) to
// the host's own list reader, which leaves the entity open. Status 0; -1 when no entity is open.
void lclrnw(int& status);

// Tells the procedure manager which procedure block the reader met: its procedure type and block
// number.
void mrm_proc(int procedure_type, int block_number);
