// The entries that the editing fills, when the module is loaded, in the seam tables of lower
// folders and sub-folders (pocket_arrays/seam_entry.hpp): the execution menu's editing services
// and the trimming's closing of a gap for the editor's block deletion. A test that replaced
// entries fills them again with these.
#pragma once

#include "driver/edit_seams.hpp"
#include "edit/editor/gap_services.hpp"

void fill_edit_services(edit_services& services);
void fill_gap_services(gap_services& services);
