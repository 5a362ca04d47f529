// Tool entities and their records: the 12-word header of a tool entity, the copy of its records
// (main record, cutting conditions, user record) between the record tables and the current-tool
// block, the staging slots that keep several records open at once, the holder entity of a mill,
// and single-field access to the records of a tool table.
#pragma once

#include "tools/current_tool.hpp"

#include <array>
#include <string>
#include <string_view>

inline constexpr int kToolHeaderWords = 12;
inline constexpr int kToolEntityClass = 20;
inline constexpr int kHolderEntityType = 14;
inline constexpr int kCopyRead = 3, kCopyWrite = 6;  // copier modes: record to block, block to record
inline constexpr int kToolNotRead = -5;
// Staging slots of the records: main record, conditions, user record of a tool and of a cycle,
// the user-record attachment of the tool lists.
inline constexpr int kMainSlot = 3, kConditionSlot = 6, kUserSlot = 1, kCycleUserSlot = 8, kAttachSlot = 2;

// The integer list of a tool entity.
struct tool_header {
    int table_id = -1;    // record table of the class
    int record_id = -1;   // main record
    int user_table = -1;  // below 1: none
    int user_record = -1;
    int tech_table = -1;  // cutting-condition table
    std::array<int, kConditions> conditions{-1, -1, -1, -1, -1};
    int holder_id = -1;
    int holder_mode = 1;
    std::array<int, kToolHeaderWords> to_words() const;
    static tool_header from_words(const std::array<int, kToolHeaderWords>& words);
};

void read_tool_entity_header(int tool_id, int& tool_class, tool_header& header, int& status);
// Mode 3 reads the tool's records into the block; any other mode writes the block into them (new
// records get their ids in the header). Status 0 or -5.
void tool_records_copy(int mode, int tool_class, tool_header& header, int& status);

void toolrec_open(int slot, int table_id, int record_id, int& status);
void toolrec_put(int slot, int& record_id, int& status);
void toolrec_main(int slot, int tool_class, int mode);
void toolrec_cycle(int slot, int mode);
void toolrec_condition(int slot, int mode, int index);
// Op 6 copies the working line and definition into the slot; any other op the slot into them.
void toolrec_stage(int op, int slot);
// Whether the slot holds a record (a slot is marked empty before a tool's user record is read).
bool toolrec_slot_filled(int slot);
void toolrec_slot_clear(int slot);

// Status 0 when the master can serve as a tool symbol, else -1.
void symbol_master_check(int master_id, int& status);
// Mode 1 answers whether holders are in use, mode 2 sets it.
void holder_use_flag(int mode, int& value);
// Holder entity of a mill: mode 1 read (a holder id below 0 first creates one), 2 write, 3 create
// and write, 4 reset. Status 0, or -1 with its message.
void dbdholdr(int mode, int& holder_id, int& version, holder_set& set, int& status);

void tool_record_count(int table_id, int& records, int& in_use, int& status);
// Index (from 1) of a field by name in a table's record type; -5 when absent.
void find_tool_field(int table_id, std::string_view field_name, int& field_index, int& status);
// Mode 3 reads one field of a record; any other mode writes it and puts the record back.
void tool_field_get_put(int mode, int table_id, int record_id, int field_index, int& int_value, float& real_value,
                        std::string& text_value, int& status);
// The first record whose field equals the value (compare 1 integer, 2 real, 3 text without
// trailing blanks, 4 the same folded to upper case): its record number, 0 when none, -5 on error.
void tool_record_fields(int table_id, std::string_view field_name, int compare, int int_value, float real_value,
                        std::string_view text_value, int& result);
