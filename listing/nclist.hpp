// NCLIST, the tool-path listing: the current tool-path list, block by block, into the text file
// "<part>TP_LIST" on unit 19, with its heading, the procedure ends and the end lines. The
// service menu starts it.
#pragma once

#include <string>

inline constexpr int kListingUnit = 19;

// procedure_id: a positive id other than the tool path CLP1 opens lists that stored tool path
// (nclist_ent); otherwise the current list. form: 0 full, 1 listing. The list position is kept.
// Fills proc_table entries 1, 2, ... with the procedures in list order. Reads CLP1.
void NCLIST(int procedure_id, int form);
// The listing of one stored tool-path entity (class 9, type 3) and the procedures and movements
// it references.
void nclist_ent(int entity_id, int form);

// The pieces the listings share: the length scale of a form (1 in form 0, else 1 / the unit
// factor); the listing file's name made from the part file's name and the suffix (false when
// CRTPNM refused); the procedure end lines of lst_state's current procedure with its block count.
float listing_scale(int form);
bool listing_file_name(const char* suffix, std::string& name);
void listing_proc_end(int form, int unit, int block_count);
// "OUTPUT TO FILE" with the file's name on the user's line.
void listing_announce(const std::string& name);
