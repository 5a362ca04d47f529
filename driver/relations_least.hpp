// What the procedure run needs of the parameter-relations glue: the two modal-value tables of
// the host dialogs, opened at the start of a run and released at its end, and the fetch of the
// main procedure's and the template's values after a template read. Least version until the
// relations glue is built: the tables are real, the fetch only refreshes the relation symbols.
#pragma once

// The two tables the machine-parameter, tool and editor dialogs hand to the host.
inline constexpr int kModalTableMachine = 1, kModalTableTool = 2;

// Opens (nu_modl_init) and releases (nu_modl_rels) both tables; status 0 or the first failure.
void modal_tables_init(int& status);
void modal_tables_release(int& status);
// Status 0, or the first failing status; refreshes the host's relation symbol table.
void main_params_fetch(int& status);
