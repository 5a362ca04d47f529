// Host message channels. Every text is recorded exactly as sent, in order, per channel.
//   error channel:  eroutc, erou1c, errout
//   user lines:     userrc, usrerr, user1c, user4c, usrer6, usmsgc, shmsgc, shlmsg, prmptc, pro2ln
//   catalogue:      msg_mdls, msg_prompt (texts of the host's message catalogue by group and number)
//   debug:          shms1c, dbg_printf
#pragma once

#include <span>
#include <string>
#include <string_view>

// One line to the error channel; code is 0 for a plain line.
void eroutc(std::string_view text, int code);
// One line to the error channel followed by an integer.
void erou1c(std::string_view text, int number);
// One line to the error channel followed by a file name (a blank between them).
void errou4(std::string_view text, std::string_view name);
// One line of count characters to the error channel (the module's errout_text wrapper).
void errout(const char* text, int code, int count);
// One line to the error channel made of the two texts, joined by a blank.
void erou4c(std::string_view text1, std::string_view text2);

// A line shown to the user.
void userrc(std::string_view text);
// A line that tells the user of an error in what was asked (the same channel as userrc, recorded
// as its own call).
void usrerr(std::string_view text);
// A line made of text1, a value written by its kind ('I' integer, 'R' real) and text2.
void user1c(std::string_view text1, char kind, double value, std::string_view text2);
// A user line of three texts joined by blanks.
void user5c(std::string_view text1, std::string_view text2, std::string_view text3);
// A line shown to the user made of the two texts, joined by a blank.
void user4c(std::string_view text1, std::string_view text2);
// The note line: the four texts without their trailing blanks, joined by a blank.
void usrer6(std::string_view text1, std::string_view text2, std::string_view text3, std::string_view text4);
// A line in the host's message window.
void usmsgc(std::string_view text);
// A message-window line of a text, an integer and a text, joined as they come (no blanks added).
void usms1c(std::string_view text1, int number, std::string_view text2);
void shmsgc(std::string_view text);
// A line of length characters in the host's message window (version block on attach).
void shlmsg(const char* text, int length);
// The prompt line, and the second prompt line below it.
void prmptc(std::string_view text);
void pro2ln(std::string_view text);

// Catalogue messages by group (module) and number; msg_mdls shows the message with the text the
// caller inserts into it (none when empty) and the values it shows (none when empty), msg_get
// gives the catalogue's text of a message.
void msg_mdls(int group, int number, std::string_view text = {}, std::span<const double> values = {});
void msg_get(int group, int number, std::string& text);
void msg_prompt(int group, int number);

// Debug lines (shown only in the host's debug output).
void shms1c(std::string_view text);
void dbg_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
