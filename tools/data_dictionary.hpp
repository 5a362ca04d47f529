// The data dictionary: record types with their fields, stored as record tables (host entities of
// class 16, type 1) listed in the table of record types (class 16, type 2), and records read and
// written through the one working record line. Callers set dd_type().table_id, load the definition
// with NGGDE1 and then read or write records of that table with NGREM1 and the field accessors.
#pragma once

#include "tools/dd_state.hpp"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// Record operations of NGREM1.
inline constexpr int kDdRead = 1, kDdRewrite = 2, kDdAppend = 3, kDdDelete = 4;
// Status of a read that found a free record (the line then holds it, first word 0).
inline constexpr int kDdFreeRecord = 1;
// Status of the structural errors of the record access.
inline constexpr int kDdStructureError = -2;

// ---- stored definitions (tools/dd_definition.cpp) ------------------------------------------
// Builds the stored definition of a record type from its parsed fields (at most kDdMaxFields).
void DESTRA(std::string_view type_name, const std::vector<dd_field>& fields, dd_words& definition, int& word_count,
            int& status);

// One field of a record type defined in code (the in-code form of a definition).
struct dd_field_input {
    std::string name;
    char type = 'I';  // 'I', 'R' or 'S'
    int int_min = 0, int_max = 0, int_def = 0;
    float real_min = 0.0f, real_max = 0.0f, real_def = 0.0f, round = 0.0f;
    int text_length = 0;
    std::string text_def;
};
// Defines a record type from fields given in code and stores it as a new record table of
// kDdNewTableRecords free records. Status 0, 1 when a type of that name exists, negative on error.
void dd_type_define(std::string_view type_name, std::span<const dd_field_input> fields, int& status);
// Stores a built definition as a new record table and enters it in the table of record types.
void dd_type_store(const std::vector<dd_field>& fields, std::string_view type_name, int& table_id, int& status);

// ---- the table of record types (tools/dd_type_table.cpp) ------------------------------------
// Opens (or creates) the table of record types and the pointer list of the part. Status 0 or -1.
void DDINI1(int& status);
// Operations on the table of record types: 1 find by name (table_id out), 2 add, 3 delete by name,
// 4 find by id (name out). Status 0, 1 not found (or, adding, the name exists), negative on error.
void DDTABL(int operation, std::string& type_name, int& table_id, int& status);
// Checks the table entity (class 16, type 2, a whole number of pages) and answers its pages.
void ddopen(int table_id, int& pages, int& status);
// Loads page n (1 .. pages) of the table as 160 16-bit words.
void ddlaod(int table_id, int page, std::vector<std::uint16_t>& words, int& status);
// The record table of a type name. Status 0, 1 unknown, -12 for a name longer than 12 characters.
void dd_type_find(std::string_view type_name, int& table_id, int& status);

// ---- records (tools/dd_records.cpp) -----------------------------------------------------------
// Loads the definition of the record table dd_type().table_id and sets dd_type().record_id to its
// first record in use (0 when none). Status 0 or kDdStructureError.
void NGGDE1(int& status);
// Reads, rewrites, appends (record out) or deletes a record of the loaded table through the line.
void NGREM1(int operation, int& record, int& status);
// Fills the working line with an empty record of the loaded type's defaults.
void dd_line_defaults();
// Field of the loaded type by name (at most 8 characters compared). Status 0, or -5 when absent.
void DDFIF1(std::string_view field_name, dd_field& field, int& field_index, int& status);
// Record count and free records of a record table, read from its entity.
void dd_table_counts(int table_id, int& records, int& free_records, int& status);

// Values of the working line; a field that does not lie inside the line reads 0 (or blanks) and
// is not written.
int dd_value_int(const dd_field& field);
float dd_value_real(const dd_field& field);
std::string dd_value_text(const dd_field& field);
void dd_set_int(const dd_field& field, int value);
void dd_set_real(const dd_field& field, float value);
void dd_set_text(const dd_field& field, std::string_view text);

// Opens entity id and checks its class and type; "EOPCH-ERROR IN OPEN ENTITY" otherwise.
void EOPCH(int id, int entity_class, int entity_type, int& status);
// 1 when low <= x <= high, else 0.
int value_in_range(float x, float low, float high);

// Packing of 16-bit words into entity words, low half first.
std::vector<int> dd_pack(const std::uint16_t* words, int count);
void dd_unpack(const std::vector<int>& packed, std::uint16_t* words, int count);

// ---- the pointer list (tools/dd_pointer_list.cpp) ---------------------------------------------
// Flag of an association word that refers to a run of ids in the pointer list; without it the
// word is one entity id (0: none).
inline constexpr int kAssociationRun = 0x40000000;
// Reads the pointer list of the part (header word included) and answers its entity id.
// Status 0 or -1 with "PLOPEN - CAN NOT OPEN POINTER LIST" or "... WRONG CLASS OR TYPE ...".
void PLOPEN(int& list_id, std::vector<int>& words, int& status);
// Makes the association word of a set of entity ids: none gives 0, one id the id itself, more a
// new run in the pointer list. Status 0 or -1.
void pointer_list_add(const std::vector<int>& ids, int& association, int& status);
// The ids of an association: mode 1 returns them (at most capacity), mode 2 only their count.
// Status 0; 1 when there are more than capacity; 2 when there are none; -1 on a bad mode or
// capacity ("GETASS - INVALID INPUT") or a damaged list.
void GETASS(int mode, int association, int capacity, std::vector<int>& ids, int& count, int& status);
// Releases the run of an association (a single id or 0 has none) and shortens the list.
void PLDELE(int association, int& status);

// ---- record menu text (tools/dd_record_menu.cpp) -----------------------------------------------
// The fields of the working record from field first_field (from 1) on, each as name "=" value,
// items separated by "@"; preselected is the first item (from 1) whose value equals the given
// one (compare 1 integer, 2 real within the tolerance, 3 text; 0 none), 0 when none.
// Status 0, or -5 when first_field names no field of the loaded type.
void dd_record_menu_text(int first_field, int compare, int int_value, float real_value, std::string_view text_value,
                         std::string& text, int& preselected, int& status);
// A real as the record menu shows it: three decimals, "0.000" for zero, or the (1PE10.3) form
// without its leading blank for values too small or too large for three decimals.
std::string dd_menu_real(float value);

// ---- definitions files (tools/dd_file.cpp) ----------------------------------------------------
// Reads the record type from a definitions file and stores it: modes 1 and 2 read "ddinput.att"
// through the data-file search (2 echoes every field), other modes the given file. Status 0 with
// the new table's id, 1 when the type is not in the file, negative on error.
void NGGDF2(int mode, std::string_view type_name, std::string_view file_name, int& table_id, int& status);
// The record table of the type from the table of record types, or else read from the file.
void dd_type_get(int mode, std::string_view type_name, std::string_view file_name, int& table_id, int& status);
