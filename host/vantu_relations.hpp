// The host's relations of procedure parameters as the procedure driver opens, refreshes and
// releases them, the hold on the relation table during the execution menu, and the modal-value
// tables of the host dialogs.
#pragma once

#include "host/words.hpp"

#include <span>
#include <string_view>

// Opens the relations of a run; rel_nc_rls releases them (rel_nc_rls_it_for_tamsa during a
// template create or read operation). Status 0.
void rel_nc_init();
void rel_nc_rls(int& status);
void rel_nc_rls_it_for_tamsa(int& status);
// Refreshes the relation symbol table; rel_nc_rpl_global replaces the global symbols before a
// second try. Status 0, or negative when the table cannot be refreshed.
void rel_nc_refresh_symb_tab(int& status);
void rel_nc_rpl_global();
// The relation of one parameter (by its code): its current value, its expression text and whether
// an expression (a relation) exists for it. rel_nc_val_get: status 0 with the value when the
// parameter has one, else -1 (value untouched). rel_nc_cng_expr replaces the expression by the
// text and recalculates the dependent values; rel_nc_cng_expr_without_calc does not recalculate.
// Both give the parameter the text's value; status 0, or -1 for a text that is no number.
void rel_nc_val_get(int code, double& value, int& status);
void rel_nc_cng_expr(int code, std::string_view text, int& status);
void rel_nc_cng_expr_without_calc(int code, std::string_view text, int& status);
// 1 when an expression exists for the parameter, else 0.
int rel_nc_if_relation_exist(int code);
// The number of relations that exist; clearing them all; the table of relation symbols listed
// under the function's short name; the expression of relation `code` put back to its plain value.
int rel_nc_get_num();
void rel_nc_clear_all_relations();
void rel_nc_print_symb_tab(std::string_view function_name, int& status);
void rel_nc_init_cng_expr(int code);
// The host takes the current tool's data into the relations; the least surface offset follows a
// tool change.
void rel_nc_update_tool_data();
void rel_nc_min_srfoff_set();
// The host's general number of fraction digits of shown numbers (3 by default).
int get_general_fraction();
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
