// Master and pattern names: the part's name tables (class 15, type 5 the part's own, type 10 the
// second), their entry texts, the search by text or entity id, the reference masters that stand
// for a master of another part file, the sorted selection list and the master selection dialog.
// The tool dialog picks a tool's symbol master with master_select; MSNAME answers the names of a
// master for the tool library and the symbol code.
#pragma once

#include "host/words.hpp"

#include <string>
#include <string_view>
#include <vector>

inline constexpr int kNameTableClass = 15, kOwnNameTable = 5, kSecondNameTable = 10;
inline constexpr int kMasterClass = 14;
inline constexpr int kLocalMaster = 1, kReferenceMaster = 2, kViewMaster = 3, kLocalMaster4 = 4, kPatternMaster = 5,
                     kGroupedMaster = 9;
inline constexpr int kMasterNameLength = 20, kPartFileLength = 128;
inline constexpr int kEntryTextLength = 152, kEntryTextWords = 38;
inline constexpr int kNameTableGrowth = 512;  // zero words a table is created with and grows by
inline constexpr int kListPageLimit = 100;    // lines of one page of the selection list

// One entry of a name table as stored: the entity id and its text words.
struct name_table_entry {
    int entity_id = 0;
    std::vector<word> text;  // text.size() is the entry's word count
};

// Reads every entry of a name table (the count is bounded by the table's words). Status 0, or
// -1 when the table cannot be opened or its count runs past its words.
void name_table_read(int table_id, std::vector<name_table_entry>& entries, int& status);
// The text of stored words, trailing blanks removed.
std::string name_entry_text(const std::vector<word>& text);

// The kind's name ("MASTER", "PATTERN", "CODE", "SUB-VIEW", "SUB-ASSY") blank-filled to
// capacity, and its length without blanks; another kind: "ENTNAM - INVALID ENTITY TYPE", blanks
// and length 1.
void ENTNAM(int kind, int capacity, std::string& name, int& length);
// The entry text of a kind 0..5 from the part file name and the name. Status 0, or -1 when the
// kind is unknown or the text exceeds capacity (or 152 characters).
void entry_text_build(int kind, std::string_view file_name, std::string_view name, int capacity, std::string& text,
                      int& status);

// Opens or creates a name table: modes 1 and 3 the type-5 table, 2 and 4 the type-10 table; a
// table that exists is returned by modes 3 and 4 and refused by modes 1 and 2.
void OPMPTB(int mode, int& table_id, int& status);
// Appends the entry (entity id, text) behind the words in use, growing the table as needed.
void UPDMT(int table_id, int words_in_use, std::string_view text, int entity_id, int& status);
// Searches a name table (mode: tens 0 create a missing table, 1 leave it; units 1 by text in
// table 5, 2 by text in table 10, 3 by id in table 5, 4 by id in table 10). A search by text
// answers the entity id, one by id the text; found_index 0 when nothing was found.
void FBNAME(int mode, std::string& text, int& table_id, int& words_in_use, int& entity_id, int& found_index,
            int& status);
// An entry of the kind found by its name in the part's own table (not created when missing).
// Status 0 with its entity id, else -1.
void master_find_by_name(int kind, std::string_view name, int& entity_id, int& status);

// Kind and names of a master or view: 0 none, 1 master of this part, 2 reference master, 3 view
// master, 4 reference without name, 5 view master of this part, 6..10 views by view kind. The
// names are blank-filled to their capacities (at most 20 and 128 characters).
void MSNAME(int table_id, int entity_id, int& kind, int file_capacity, std::string& file_name, int& file_length,
            int name_capacity, std::string& name, int& name_length, int& status);
// Creates a reference master (mode 1, 3: type 2; mode 2: type 5) for name of part file, enters
// it in the table when table_id > 0 and lets the host resolve it. Status 0 or -1.
void GCEMP(int mode, int& master_id, int& resolved_id, std::string_view file_name, std::string_view name, int table_id,
           int words_in_use, int& status);
// The reference master of a master of another part file, found in the part's table or created.
void PLGTMR(std::string_view file_name, std::string_view name, int& master_id, int& status);

// Index (from 1) of the entry that choice c on page p of size s names among `entries`, or 0 when
// the choice names no entry.
int master_list_index(int page, int page_size, int choice, int entries);
// The selection list of the entries of a kind in a name table. result: the number of sorted
// entries (kind 1) or of lines on the page (other kinds) with the picked id and name; 0 when
// there are no entries of the kind; a negative menu result as it came; -1 after an error.
void DMLSTY(int table_id, int page_size, int kind, int prompt_group, int prompt_number, int& entity_id,
            std::string& name, int& result);
// Lets the user pick a name of the kind (mode 1, 3: table 5; mode 2: table 10). Status 0 with the
// name and id, -1 nothing picked or an error, -2 back.
void SBNAME(int kind, int mode, std::string& name, int& entity_id, int& status);
// The master selection dialog: a master of this part (origin 1) or, from another part, one of
// that part's file (origin 2) through its reference master. Status 0 with the id, the name (20
// characters) and part file name (128 characters); -1 when the user left.
void master_select(bool from_other_part, int& entity_id, int& origin, std::string& name, std::string& part_file,
                   int& status);
