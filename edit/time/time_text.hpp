// The report lines of the time estimate: where a line goes by the output mode, the line buffer
// they are built in, and times shown in hours, minutes and seconds.
#pragma once

#include <string>
#include <string_view>

// Writes one report line. mode 1: the message window; 2: the file (handle, then a new line);
// 3: the file, then the message window; 0: nothing.
void time_line_out(int file, std::string_view text, int mode);
// Puts the text into the line buffer at `place` (0: the line starts again), cutting what stood
// there from that place on.
void time_text_put(std::string& line, std::string_view text, int place);
// The whole seconds of a time in minutes, any fraction above kSecondSlack raising them by one.
long long time_whole_seconds(double minutes);
// Appends a tab and the time ("<h> HOURS <m> MINUTES <s> SECONDS", leading zero parts left out)
// to the line and writes it.
void time_text_hms(int file, std::string& line, double minutes, int mode);
