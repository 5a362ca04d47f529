// Output file names made from the current part file's name: the criteria lists, the listings and
// the other text files of the procedure framework name their files through CRTPNM.
#pragma once

#include <string>
#include <string_view>

// The name texts and questions of the kinds: 1 and 2 take the tool path's 8-character name
// (NPT1 words 0-1), 3 and 4 the 8 characters of the current version's data; 5 and above name the
// file part name "." suffix in the host's case. Kinds 1, 3 and 5 ask before an existing file is
// overwritten.
inline constexpr int kNameAskToolPath = 1, kNameToolPath = 2, kNameAskVersion = 3, kNameVersion = 4, kNameAskPart = 5;
inline constexpr int kMostFileNameChars = 255;

// name: the file name; name_length: its characters up to the last non-blank; part_length: the
// characters of the part name without its folder. Status 0; -3 after "CRTPNM, CANNOT GET CURRENT
// PART FILE NAME" or "CRTPNM, CANNOT CREATE FILE NAME"; -1 when the user keeps an existing file.
// Reads NPT1 words 0-1 (kinds 1 and 2).
void CRTPNM(int kind, std::string_view suffix, int suffix_length, std::string& name, int& name_length, int& part_length,
            int& status);
// CRTPNM with the name handed back as a terminated string of at most 255 characters; a longer
// name is refused with "CRTPNM, CANNOT CREATE FILE NAME" and -3, never cut.
void crtpnm_cstr(int kind, const char* suffix, int suffix_length, char (&name)[kMostFileNameChars + 1],
                 int& name_length, int& part_length, int& status);
