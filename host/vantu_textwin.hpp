// Text assembly and the further message-window calls of the host, as the procedure driver's
// notes, status lines and run messages use them. Texts are assembled in the host's 80-character
// buffer; every shown line is recorded on the message log under the call's name.
#pragma once

#include <string>
#include <string_view>

// Characters of the host's text buffer.
inline constexpr int kTextBufferChars = 80;

// Joins the pieces into text with one blank between two pieces (trailing blanks of a piece are
// dropped first; an empty piece adds nothing), cut to kTextBufferChars characters.
void maktxt(std::string_view a, std::string_view b, std::string& text);
void maktx3(std::string_view a, std::string_view b, std::string_view c, std::string& text);
void maktx4(std::string_view a, std::string_view b, std::string_view c, std::string_view d, std::string& text);
// The text without its trailing blanks, cut to capacity characters (at most kTextBufferChars).
void mktxtc(std::string_view a, int capacity, std::string& text);
// text1, the real value as user1c writes it and text2, joined by blanks and cut to
// kTextBufferChars characters.
void mktx1c(std::string_view text1, float value, std::string_view text2, std::string& text);
// An integer as text without blanks; length answers its characters.
void cvi2t(int value, std::string& text, int& length);
// A real as fixed-point text with `decimals` decimals (0 to 9, no blanks): cvr2t gives at most
// `width` characters; cvr2td gives at most `digits` digits. length answers the characters, or
// -1 (text empty) when the value does not fit or is not finite.
void cvr2t(float value, int decimals, int width, std::string& text, int& length);
void cvr2td(float value, int digits, int decimals, std::string& text, int& length);
// An integer as text of at most `width` characters; length -1 (text empty) when it does not fit.
void cvi2ts(int value, int width, std::string& text, int& length);
// A field of `width` characters: label, separator and value (maktx6: and a unit), each without
// its trailing blanks, joined by `gap` blanks and blank-padded; cut to the width. length answers
// the characters before the padding.
void maktx5(int gap, std::string_view label, std::string_view separator, std::string_view value, int width,
            std::string& field, int& length);
void maktx6(int gap, std::string_view label, std::string_view separator, std::string_view value, std::string_view unit,
            int width, std::string& field, int& length);
// Compares two texts, the shorter one taken as blank-padded and a zero byte ending a text:
// 0 when they are equal, else 1.
int cmpchs(std::string_view a, std::string_view b);

// The user's message area: usrmsg shows one text, usrms4 two and usrms5 three as one message,
// each following the one before; a "|" in a text starts a new line.
void usrmsg(std::string_view text);
void usrms4(std::string_view text1, std::string_view text2);
void usrms5(std::string_view text1, std::string_view text2, std::string_view text3);
// The list window: a line made of text1, the integer and text2; a line made of the text and the
// date and time (year, month, day, hour, minute, second) as "DD.MM.YYYY HH:MM:SS".
void shlms1(std::string_view text1, int value, std::string_view text2);
void shlms6(std::string_view text, const int (&date_time)[6]);
