// The message window of a definition step: it collects the errors and warnings of the step,
// shows each line at once and, at the end, the first two in a message box. The change notes read
// its count (non-zero: warnings were issued).
#pragma once

#include <array>
#include <string>
#include <string_view>

inline constexpr int kMsgWindowReset = 0, kMsgWindowAdd = 1, kMsgWindowShow = 2;
inline constexpr int kMsgError = 1, kMsgWarning = 2, kMsgAttention = 3;
inline constexpr int kMsgWindowColumns = 80;

struct msg_window_state {
    int count = 0;                       // messages since the last reset
    int width = kMsgWindowColumns;       // host columns, at most 80
    std::array<std::string, 2> lines{};  // the first two lines, 80 characters each
};

msg_window_state& msg_window_data();

// Mode 0 resets; mode 1 adds the first length characters of text as a message of the kind (a
// length of 0 or less adds nothing); mode 2 shows the collected messages.
void msg_window(int mode, int kind, int length, std::string_view text);
// The same for a zero-terminated text, cut to its length or 80 characters, whichever is smaller.
void msg_window_c(int mode, int kind, int length, const char* text);
// The note of the approximated-surface menu (host message 71 of module 319).
void aprx_menu_note();
