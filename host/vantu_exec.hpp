// Host services of an interrupted execution: the host's operation and selection (which question
// the stop asks), the answer told back to the host, the prompt kept and restored around the
// execution menu, the key of the last block, the fast-display flag, and the painting of the
// progress line in the host's main window.
#pragma once

#include <string>
#include <string_view>

// The host's current NC operation (host flag "host_operation") and the number of procedures
// selected for it (host flag "selected_procedures").
int nc_host_operation();
int nc_selected_procs();
// Tells the host the answer to "STOP EXECUTION?" (mode 2).
void gs_interpt(int mode, int answer);
// The prompt line shown now (empty when none), and a prompt shown again.
void rdprmc(std::string& text);
void prmpxc(std::string_view text);
// The key of the last block of the tool-path list (level, line of that level, block counter);
// mode -1 reads it. ncd_set_block_position puts the list back on the block of a key. Status 0;
// -1 when the key's level is not the current one or its line is gone.
struct block_key {
    int level = 0;
    int line = 0;
    int counter = 0;
    bool operator==(const block_key&) const = default;
};
void ncd_get_last_block_key(int mode, block_key& key);
void ncd_set_block_position(const block_key& key, int& status);
// The host's fast display of motions: mode 1 reads it into value, mode 2 sets it.
void gs_fast_display(int mode, int& value);

// The progress line: its first column, blanking of its area and one text painted at a column
// (the paint brackets are in vantu_statusline.hpp).
void col1st(int& column);
void dblnk(int column, int width);
void dntxtc(int column, std::string_view text);
