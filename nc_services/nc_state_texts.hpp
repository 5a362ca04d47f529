// The NC state text fields and the procedure table with its per-procedure text fields. The state texts are the
// 19-character name (module data "PPN4", 5 words) and the 20- and 12-character texts with their copies taken by the
// change analysis (module data "TXT2", 17 words). The per-procedure texts live in the procedure table by procedure
// number 1 to 201.
//
// Accessors take (mode, text): mode 1 copies the field out blank-padded to its length; any other
// mode copies at most the field's length in, stopping at a terminator of the caller's text,
// blank-pads the rest and terminates the field.
#pragma once

#include <array>
#include <string>

inline constexpr int kTextGet = 1;

// Every field keeps a terminating zero byte after its characters.
struct nc_text_fields {
    static constexpr int kNameChars = 19;
    static constexpr int kText20 = 20, kText12 = 12;
    // Offsets of the four texts in the TXT2 record, which is these 68 bytes in this order.
    static constexpr int kText20At = 0, kText12At = 21, kText20bAt = 34, kText12bAt = 55;
    static constexpr int kTxt2Bytes = 68, kTxt2Words = 17;
    static constexpr int kNameBytes = 20, kNameWords = 5;

    std::array<char, kNameBytes> name{};
    std::array<char, kTxt2Bytes> txt2{};
};

nc_text_fields& nc_texts();

void state_texts(int mode, std::string& text);         // the 19-character name
void state_text20_field(int mode, std::string& text);  // the 20-character text
void state_text12_field(int mode, std::string& text);  // the 12-character text
void nc_text20b_field(int mode, std::string& text);    // its copy of 20 characters
void nc_text12b_field(int mode, std::string& text);    // its copy of 12 characters

// Writes the name under "PPN4" (kind 3, 5 words). Status of the write.
void ppn4_save(int& status);
// Reads "PPN4" into the name and terminates it; without a record the name is blank.
void ppn4_load();
// Writes the TXT2 record (kind 3, 17 words). Status of the write.
void txt2_save(int& status);

// The procedure table: per procedure number 1 to 200 its summary (the integer columns filled from
// its procedure block or stored procedure) and its texts; entry 201 is the scratch entry of the
// procedure block printer; entry 0 is unused. Defaults are the values of absent items.
struct proc_summary_entry {
    int nc_function = -1;             // column 1: the NC function code
    int number = -1;                  // 2: the procedure number
    int tool = -1;                    // 3: the tool id; -1 for none
    int transformation = -1;          // 4: the transformation id; -1 for none
    int state = 1;                    // 5: 2 suspended, 3 interrupted, 4 shown as "s"
    int g = 0;                        // 6: the G column (geometry changed)
    int m = 0;                        // 7: the M column (motions changed by hand)
    int b = -1;                       // 8: the B column (2 "B", 3 "b")
    int transform_flag = 0;           // 9: the transformation is kept ("(" and ")" left out)
    int subroutines = 0;              // 10: HAS SUBROUTINES
    int c = 0;                        // 11: the C column
    int u = 0;                        // 12: the U column (set by the association check)
    int state2 = 1;                   // 13: 2 shows "~" in the table row and "s" in the status text
    int state3 = 1;                   // 14
    int o = 0;                        // 15: the O column ("O", "T", "r", "R")
    int has_motion = 0;               // 16: the procedure has motion blocks
    int column17 = 0;                 // 17: -1 for NC function 48 with item 320 of segment 25 at 1
    int options = 1;                  // 18: the option word (bit 128 turns "O" into "T")
    int machine_word = 0;             // item 47 of segment 23
    std::array<char, 21> comment{};   // COMMENT, 20 characters
    std::array<char, 21> text2{};     // the tool name, 20 characters
    std::array<char, 5> transform{};  // the TRANSFORM name, 4 characters
    int ucs_id = 0;                   // below 1: none
};
struct proc_summary_table {
    static constexpr int kProcedures = 200;
    static constexpr int kScratch = 201;
    std::array<proc_summary_entry, kScratch + 1> entries{};
};
proc_summary_table& proc_table();
// The entry of procedure number 1 to 201; null for any other number.
proc_summary_entry* proc_table_entry(int procedure);

// Per-procedure accessors (mode, procedure number, text). A procedure number outside 1..201 is
// refused with an error line: a get answers a blank field, a set changes nothing.
void proc_comment_field(int mode, int procedure, std::string& text);
void proc_text2_field(int mode, int procedure, std::string& text);
void proc_text_field(int mode, int procedure, std::string& text);
// Mode 1: the name of the procedure's UCS, blank-padded to 6 characters; "NO_UCS" when the
// procedure has none (or its UCS cannot be read). Other modes do nothing.
void ucs_name(int mode, int procedure, std::string& text);
