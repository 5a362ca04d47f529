// The procedure manager's services around a procedure run: whether a tool path is open, the
// procedure's label, number, colour and pen as the host keeps them, the geometry masks of the
// criteria, the procedure's surface state, the template operations that read and write a
// procedure through the module's callbacks, and the waits and mode line of a run. Called by the
// start, preparation, define, finish, end and release steps of the procedure driver.
#pragma once

#include "host/words.hpp"

#include <string>
#include <string_view>
#include <vector>

// ---- the run ----------------------------------------------------------------------------------

// 1 when the part has an open tool path (host flag "tp_open"), else 0.
int lopnls();
// 1 when procedures are being created from a tool-path template.
int is_create_from_TPtemplate();
// The procedure label the host shows (at most 19 characters are kept).
void nu_set_pname(std::string_view label);
// The number of the procedure being defined, as the host's dialogs show it.
void set_curr_proc_number(int number);
int get_curr_proc_number();
// Hands the main procedure's block and the global parameters to the host's procedure manager.
void set_MainProcBlkToMain();
void set_GlobalParameters_ToMain();
// The procedure number the host's parameter dialogs work on.
void nu_parm_set_proc_num(int number);
// The NC function whose parameter codes the host's dialogs use.
void nu_sgcd_set_code(int nc_function);
// The machine-parameter type the host's dialogs use.
void set_type_mach_param(int mach_param_type);
// The host's modify flag of the parameter dialogs.
void nu_mod_set_flag(int flag);
// The current display attributes of the NC display file go back to their start values.
void ncd_init_curr_attrs();
// Waits until the host has drawn what is pending.
void prwait();
// The mode line of a run: the three texts with their lengths, shown as one line.
void usrer5(std::string_view text1, std::string_view text2, std::string_view text3, int length1, int length2,
            int length3);
// The same with two texts (the listings' "OUTPUT TO FILE" and the file name).
void usrer4(std::string_view text1, std::string_view text2, int length1, int length2);

// ---- the procedure's colour and pen -------------------------------------------------------------

// Mode 1 reads the colour and pen of the procedure being edited, mode 3 sets them on the
// procedure (keeping the values it had for mode 4), mode 4 puts those kept values back. Other
// modes do nothing.
void gs_proc_color_pen(int mode, int& colour, int& pen);

// ---- geometry of the procedure ------------------------------------------------------------------

// 1 when the procedure's geometry is selected by criteria (host flag "geom_by_crit").
int if_geom_by_crit();
// The geometry entities of host procedure proc_id. Status 0; -5 when there is no such procedure.
void get_geom_buf(int proc_id, std::vector<int>& ids, int& status);
// The procedure's surface selections: nc_surf_init(1, 0) empties them; nc_surf_gs_part2 sets
// (mode 2) the second part-surface switch; nc_surf_dela deletes the part (0) or check (1)
// surface set.
void nc_surf_init(int mode, int value);
void nc_surf_gs_part2(int mode, int value);
void nc_surf_dela(int which);
// The surface ids of the procedure's surface buffer (0 part, 1 check, 2 second part surfaces),
// as the part or a test set them, into ids (room entries); count answers how many there are.
// Status 0; -1 for another buffer; -2 when room is too small (nothing written). nc_surf_init
// with mode 1 empties every buffer.
void nc_surf_ids(int buffer, int room, int* ids, int& count, int& status);
// Makes the count surface ids the procedure's surface buffer (0 part, 1 check, 2 second part
// surfaces), as a surface function's pick of its surfaces does. Status 0; -1 for another buffer
// or a negative count (nothing changed).
void nc_surf_set_ids(int buffer, int count, const int* ids, int& status);
// Starts an empty list of bad surfaces for the run.
void init_badsrf();
// The tool-path flags of the procedures are brought up to date.
void update_tp_flags();
// Deletes the previous blocks of the procedure with the given block number from the display file.
void ncd_delete_block_or_proc(int block_number, int& status);

// ---- criteria masks -----------------------------------------------------------------------------

// The criteria-list mode: mode 1 reads it into value, mode 2 sets it (host flag "crit_list").
void tp_crit_list_gs(int mode, int& value);
// crit_gs_change, active_mask_gs and nc_geomsk_lst_count (the flags and records of a geometry
// mask) are in vantu_contours.hpp with the criteria of the contours.
// The mask lists of all geometry types: created empty at the start of a run, destroyed at its end.
void nc_geomsk_lst_init_all();
void nc_geomsk_lst_destroy_all();

// The file of the criteria lists of a whole tool path: its name (mode 1 reads it, 2 sets it), the
// open file while one procedure appends its list (0: none).
void tp_file_name_gs(int mode, std::string& name);
void tp_file_ptr_set(int handle);
// Runs the NC function of the procedure block at the list position, the way the host re-runs a
// procedure for its criteria list (the stand-in runs nothing; while the output layer holds a
// file it writes one line naming the function there). Status 0.
void segrun(int nc_function, int& status);
// The drill points picked by hand for the procedure (host flag "drill_points").
int drlsnm();
// ---- template operations --------------------------------------------------------------------------

// The module's callbacks as the template operations call them (the procedure driver's read-
// parameters, put-parameters and put-geometry callbacks).
using template_read_fn = void (*)(int& where, int& procedure_type, int& version, int& before_515, int& segment_length,
                                  int& status);
using template_put_fn = void (*)(int& procedure_type, int& where, int& counter, int& status);

// The read mode of a template operation (1000 normal, 1001 while parameters are read).
void set_Template_ReadMode(int mode);
int get_Template_ReadMode();
// Colour and pen of the procedure in the template being read.
int get_Template_ReadProcColor();
int get_Template_ReadProcPen();
// Reads the procedure of NC function nc_function from the open template file: the read callback
// is called with WHERE 10. Writes it: the put callbacks are called with WHERE 11. Status: the
// callback's, or -1 when no template file is open (nothing called).
void template_MultiMngTpRead_PROCdata(int nc_function, template_read_fn read, int& status);
void template_MultiTPRead_PROCdata(int nc_function, template_read_fn read, int& status);
void template_MultiMngTpWrite_PROCdata(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                                       int& status);
void template_MultiTPWrite_PROCdata(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                                    int& status);
// The template lines of a parameter dialog: reads the procedure's parameters from the open template
// file through the read callback (WHERE 10) and writes them through the put callbacks (WHERE 11).
// Status: the callback's, 11 or 12 when the host read nothing, or -1 without an open file.
void template_read_PROCparam(int nc_function, template_read_fn read, int& status);
void template_write_PROCparam(int nc_function, template_put_fn put_parameters, template_put_fn put_geometry,
                              int& status);
// The host's path switched to the template folder and back; the template load prepared with the
// template cycle word of the dialog; the procedure number the template dialog shows.
void pct_ncpath_set_tpldir();
void pct_ncpath_ret_curdir();
void tmpl_init_loadParam();
void load_from_tmpl_mode_set(int mode);
void set_display_proc_number(int number);
