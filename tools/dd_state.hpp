// The data dictionary's loaded record type, its working record line and the parsed form of a
// field. Record types are stored in host entities of class 16 (type 1 record table, type 2 table
// of record types, type 3 pointer list) as runs of 16-bit words, two to an entity word (low half
// first). Every routine of tools/dd_*.cpp works on the one loaded definition and the one line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kDdMaxWords = 5000;       // 16-bit words of a definition or a record line
inline constexpr int kDdHeaderWords = 12;      // header of a definition
inline constexpr int kDdDescriptorWords = 20;  // fixed part of a field descriptor
inline constexpr int kDdLastLink = 65535;      // link word after the last descriptor
inline constexpr int kDdMaxFields = 100;
inline constexpr int kDdTypeNameLength = 12;
inline constexpr int kDdFieldNameLength = 8;
inline constexpr int kDdMaxText = 20;
inline constexpr int kDdFileNameLength = 80;
inline constexpr int kDdNewTableRecords = 10;  // records of a new record table, all free

inline constexpr int kDdClass = 16;
inline constexpr int kDdRecordTableType = 1, kDdTypeTableType = 2, kDdPointerListType = 3;

// Field types.
inline constexpr int kDdInteger = 1, kDdReal = 2, kDdText = 3, kDdNgdr = 4;
// Domain counts of the special kinds of field.
inline constexpr int kDdDomainFile = -1, kDdDomainSerial = -2, kDdDomainPart = -100;

// Header words of a definition, numbered from 1 as the stored layout counts them.
inline constexpr int kDdNameLengthWord = 1, kDdNameWord = 2, kDdDefinitionLengthWord = 8, kDdRecordLengthWord = 9,
                     kDdFirstDescriptorWord = 10, kDdRecordsWord = 11, kDdFreeRecordsWord = 12;

using dd_words = std::array<std::uint16_t, kDdMaxWords>;

// The loaded record type (one at a time).
struct dd_record_type {
    int table_id = -1;   // entity id of the record table (set by the caller before NGGDE1)
    int record_id = 0;   // current record; after NGGDE1 the first record in use, 0 when none
    int word_count = 0;  // 16-bit words of the definition
    dd_words definition{};
};

// The working record line: word 0 is 1 for a record in use, 0 for a free one; fields follow.
struct dd_record_line {
    dd_words words{};
};

dd_record_type& dd_type();
dd_record_line& dd_line();

// A field as parsed or decoded, before it becomes (or after it was read from) a descriptor.
struct dd_field {
    std::string name;
    int type = 0;
    int int_min = 0, int_max = 0, int_def = 0;
    float real_min = 0.0f, real_max = 0.0f, real_def = 0.0f, round = 0.0f;
    int conv = 0;         // text case conversion: 0 none, 1 upper, 2 lower
    int text_length = 0;  // text fields: MAX
    std::string text_def;
    int domain_count = 0;  // values, or kDdDomainFile, kDdDomainSerial, -2 - n (COMP), kDdDomainPart
    std::vector<int> int_values;
    std::vector<float> real_values;
    std::vector<std::string> text_values;
    std::string file_name;        // FILE and SERIAL fields
    std::vector<int> components;  // COMP fields: indices (from 1) of the text fields joined
    int position = 0;             // first word in the record line
    int size = 0;                 // words in the record line
};

// Words a field takes in the record line.
int dd_field_size(const dd_field& field);

// 16-bit word n (from 1) of a definition's header.
int dd_header(const dd_words& definition, int n);
void dd_set_header(dd_words& definition, int n, int value);
// The record-type name stored in a definition, without trailing blanks.
std::string dd_type_name(const dd_words& definition);

// Offsets (0-based word index) of the field descriptors in definition order, following the links;
// false when a link leaves the definition, loops or passes kDdMaxFields.
bool dd_descriptor_offsets(const dd_words& definition, int word_count, std::vector<int>& offsets);
// Decodes the descriptor at offset; false when it does not fit the definition.
bool dd_decode_field(const dd_words& definition, int word_count, int offset, dd_field& field);
// The fields of a definition in order; false when the definition is damaged.
bool dd_fields(const dd_words& definition, int word_count, std::vector<dd_field>& fields);

// Texts as 16-bit words: two characters a word, low byte first.
void dd_put_text(std::uint16_t* words, std::string_view text, int characters);
std::string dd_get_text(const std::uint16_t* words, int characters);
// Text without trailing blanks and NULs.
std::string dd_trimmed(std::string_view text);
std::string dd_upper(std::string_view text);
