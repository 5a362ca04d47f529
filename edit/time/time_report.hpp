// The time estimate's output: the file and its title (TIME_BLKLST), the procedure header, the
// tool report at a tool change, the procedure summary and the file's close. Lines go where the
// output mode of time_est_state says (time_line_out).
#pragma once

#include <string>

// Kinds of output: 1 the whole tool path ("TP_TIME"), 2 one procedure ("TIME_<n>").
inline constexpr int kTimeToolPath = 1, kTimeProcedure = 2;

// Opens the output and writes its title. Modes 2 and 3 open the file named by crtpnm_cstr from the
// part file's name (opened 1, file its handle, path its name); modes 0 and 1 only need a part
// file name. Status 0; -1 without a part file name or a path, or after "TIME_BLKLST, CANNOT OPEN
// FILE (fopen failed)" with the path. Writes time_est_state.procedure and part_name.
void TIME_BLKLST(int kind, int procedure, int& opened, int& file, std::string& path, int& status);
// The separator, the procedure number and the NC function name (list_cursor's function code).
void time_proc_header(int file);
// The report of the current tool's stint: the tool-life verdict, its time, the milling length
// (then zeroed) and its life value.
void time_tool_report(int file);
// The totals: time per kind and the tool changes (0.25 minutes each), the last tool's report and
// the lowest Z, or "THERE ARE NO MOVEMENTS IN THIS PROCEDURE." when nothing took time.
void time_proc_summary(int file);
// Closes the file when one was opened (a failure makes status -1); status 0 with a file gives
// "OUTPUT TO FILE" with the path.
void time_file_close(int opened, int file, const std::string& path, int& status);
