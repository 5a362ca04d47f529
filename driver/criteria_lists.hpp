// Criteria lists: the text table of the geometry masks (level, colour, line font, pen) by which a
// procedure takes its geometry, for one procedure or for every procedure of the tool path, and
// the re-application of the active masks when a procedure starts or is defined (crit_activate).
// The procedure start, the define step and the SERVICE page call them.
#pragma once

#include "host/words.hpp"

#include <array>
#include <string>
#include <string_view>

// Geometry types of the criteria, in table order.
inline constexpr int kCritPartSurfaces = 0, kCritCheckSurfaces = 1, kCritClosedContours = 2, kCritOpenContours = 3,
                     kCritDrillPoints = 4, kCritTypes = 5;

// The criteria table: one word per geometry type, not 0 when the procedure uses criteria for it.
struct criteria_table {
    std::array<int, kCritTypes> words{};
};
criteria_table& crit_table();

// 1 when no word of the criteria table is set, else 0.
int crit_none_active();
// The all-levels, all-colours, all-fonts and all-pens flags of a mask record.
void crit_flags_of(const word (&record)[8], int (&flags)[4]);

// Writes the criteria list of the current procedure to a file of its own, named from the base
// name, the procedure number and ".crit_list"; nothing without a criterion in use. Status 0, the
// status of the name, or -1 when the file cannot be opened. Reads crit_table().
void proc_crit_list_file(const char* base, int& status);
// Writes the criteria lists of every procedure of the tool path into one file ("CRIT_LIST"),
// each procedure's own function appending its list. Status 0, -1 after "tp_criteria_list, CANNOT
// OPEN THE FILE", or the first failing status.
void tp_criteria_list(int& status);
// Appends the current procedure's list, named by its NC function and number, to the tool path's
// criteria file. Status 0, or -1 after "proc_criteria_list, CANNOT OPEN THE FILE".
void proc_criteria_list(int nc_function, int word, int& status);
// One table: its title with the name, the header and the rows of the types in use.
void crit_list_write(int file, std::string_view name, int& status);
void crit_list_rows(int file, int& status);
// The lines of one geometry type's masks; picked: the items of that type picked by hand.
void crit_list_mask(int file, int type, int picked);
// The text of one mask record, 32 characters with every field in its own column.
std::string crit_mask_text(const word (&record)[8]);

// For each geometry type 0 to 3 whose mask is active: a type without mask records is switched
// off; otherwise, with apply set, the geometry is found again by the mask (mode: the NC function;
// surfaces not for 6, contours classified for 1 and 7) and the change flag set, without it the
// change flag read. status: the first change found (0 none); without apply the routine stops
// there.
void crit_activate(int mode, int apply, int& status);
