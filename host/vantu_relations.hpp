// The host's relations of procedure parameters as the procedure driver opens, refreshes and
// releases them, the hold on the relation table during the execution menu, and the modal-value
// tables of the host dialogs.
#pragma once

#include "host/words.hpp"

#include <span>

// Opens the relations of a run; rel_nc_rls releases them (rel_nc_rls_it_for_tamsa during a
// template create or read operation). Status 0.
void rel_nc_init();
void rel_nc_rls(int& status);
void rel_nc_rls_it_for_tamsa(int& status);
// Refreshes the relation symbol table; rel_nc_rpl_global replaces the global symbols before a
// second try. Status 0, or negative when the table cannot be refreshed.
void rel_nc_refresh_symb_tab(int& status);
void rel_nc_rpl_global();
// Holds the relation table while a dialog interrupts an execution: held answers 1 when this call
// took the hold. rel_table_init_set gives back a hold that was taken.
void rel_table_init_get(int& held);
void rel_table_init_set(int held);
// Opens and releases a modal-value table of the host dialogs. Opening fills the module's label
// table `labels` (which may be empty) with the host's label ids of that table's fields, word by
// word. Status 0.
void nu_modl_init(int table, std::span<word> labels, int& status);
void nu_modl_rels(int table, int& status);
// did: 1 when the table is open (its labels filled), else 0.
void nu_modl_get_did_init(int table, int& did);
