// The driver's glue to the host's relations of procedure parameters: shifting the Z-valued
// parameters by a height difference when a template or a main procedure with another origin
// height is applied, fetching the main procedure's and the template's values after a template
// read, and the two modal-value tables of the host dialogs. Called by the procedure start and
// release, the template read and the top menu of the parameter dialogs.
#pragma once

// Relation codes (parameter numbers) the shift handles.
inline constexpr int kRelTopShift1 = 3301, kRelTopShift2 = 3302, kRelClearance = 366, kRelAbsolute = 3303, kRel11 = 11,
                     kRel12 = 12, kRel436 = 436, kRel205 = 205;

// The selection switches of the shift, set by tmpl_morz_store until its next call, the
// no-recalculation switch and the status of the last relation change (module words).
struct relation_switches {
    bool shift_3301 = false, shift_3302 = false, shift_366 = false, shift_3303 = false;
    bool shift_11 = false, shift_12 = false, use_436 = false, shift_205 = false;
    bool no_calc = false;  // rel_no_calc: expressions change without the host recalculating
    int last_status = 0;
};
relation_switches& rel_switches();

// The two tables the machine-parameter, tool and editor dialogs hand to the host.
inline constexpr int kModalTableMachine = 1, kModalTableTool = 2;

// Shifts one relation: mode 1 subtracts the difference (a result below 10^-fraction digits becomes
// exactly 0), any other mode adds it; the new value replaces the parameter's expression, without
// recalculation while rel_no_calc is set. Returns the host status; a parameter without a current
// value returns the host's status and nothing changes. Reads rel_switches().no_calc.
int relation_expr_set(int mode, int code, double difference);
// The value rounded to the host's fraction digits, then every selected relation shifted by it in
// the order 3301, 3302, 366, 3303, 11, 12 (or 436), 205; 366, 3303, 11, 12/436 and 205 only when
// no relation exists for them yet. Returns 0 or the first negative status.
int relation_values_store(int mode, double value);
// The same for 3301 and 3302 only.
int relation_value_text(int mode, double value);
// Selects the relations by the machining type and shifts them by the template's origin height
// less the z of the tool-path origin (NPT1), without recalculation; rel_no_calc is given back.
void tmpl_morz_store();
// Fetches the main procedure's and the template's values as the block-use mode selects them
// (machine parameters into PRM9, the template's tool, its UCS as MACSYS, heights, NC text,
// optimizer items and machine table), then shifts the heights and refreshes the host's relation
// symbols. Status 0, or that of the first failing step.
void main_params_fetch(int& status);

// Opens (nu_modl_init) and releases (nu_modl_rels) both tables; status 0 or the first failure.
void modal_tables_init(int& status);
void modal_tables_release(int& status);
