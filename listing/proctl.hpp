// PROCTL, the procedure list: the tool-path header and every procedure block in the
// procedure-header form, each procedure followed by the parameters its NC function lists into
// the same file ("<part>PROC_LIST", through the host's output-file layer). The service menu
// starts it.
#pragma once

// mode 2 lists the current tool-path list, mode 1 the stored tool path `tool_path`. A run
// started while another writes the list (a nested tool path) appends to that file; a tool path
// already being listed is not listed again. Keeps the list position and DSP8's position and
// axis. Reads and fills proc_table, reads CLP1.
void PROCTL(int tool_path, int mode);
// Lists the stored tool path on the open unit. Status 0, -1 on failure (the open entity closed).
void proctl_ent(int tool_path, int unit, int& status);
