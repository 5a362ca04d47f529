// Single-field access to the records of a tool table: record counts, a field by name, one field
// of one record, and the first record whose field holds a value.
#include "tools/data_dictionary.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"

namespace {

constexpr int kCompareInt = 1, kCompareReal = 2, kCompareText = 3, kCompareFolded = 4;

bool load_table(int table_id)
{
    if (table_id < 1) return false;
    dd_type().table_id = table_id;
    int status = 0;
    NGGDE1(status);
    return status == 0;
}

bool field_by_index(int field_index, dd_field& field)
{
    std::vector<dd_field> fields;
    if (!dd_fields(dd_type().definition, dd_type().word_count, fields)) return false;
    if (field_index < 1 || field_index > static_cast<int>(fields.size())) return false;
    field = fields[static_cast<std::size_t>(field_index - 1)];
    return true;
}

}  // namespace

void tool_record_count(int table_id, int& records, int& in_use, int& status)
{
    int free_records = 0;
    status = kToolNotRead;
    if (table_id < 1) return;
    dd_table_counts(table_id, records, free_records, status);
    if (status != 0) {
        status = kToolNotRead;
        return;
    }
    in_use = records - free_records;
}

void find_tool_field(int table_id, std::string_view field_name, int& field_index, int& status)
{
    status = kToolNotRead;
    dd_field field;
    if (load_table(table_id)) DDFIF1(field_name, field, field_index, status);
}

void tool_field_get_put(int mode, int table_id, int record_id, int field_index, int& int_value, float& real_value,
                        std::string& text_value, int& status)
{
    status = kToolNotRead;
    dd_field field;
    if (!load_table(table_id) || !field_by_index(field_index, field)) return;
    int record = record_id;
    NGREM1(kDdRead, record, status);
    if (status != 0) {
        status = kToolNotRead;
        return;
    }
    if (mode == kCopyRead) {
        if (field.type == kDdReal)
            real_value = dd_value_real(field);
        else if (field.type == kDdText)
            text_value = dd_value_text(field);
        else
            int_value = dd_value_int(field);
        return;
    }
    if (field.type == kDdReal)
        dd_set_real(field, real_value);
    else if (field.type == kDdText)
        dd_set_text(field, text_value);
    else
        dd_set_int(field, int_value);
    NGREM1(kDdRewrite, record, status);
    if (status != 0) status = kToolNotRead;
}

void tool_record_fields(int table_id, std::string_view field_name, int compare, int int_value, float real_value,
                        std::string_view text_value, int& result)
{
    result = kToolNotRead;
    int field_index = 0, status = 0;
    dd_field field;
    if (!load_table(table_id)) return;
    DDFIF1(field_name, field, field_index, status);
    int records = 0, free_records = 0;
    if (status == 0) dd_table_counts(table_id, records, free_records, status);
    if (status != 0) return;
    result = 0;
    for (int r = 1; r <= records; ++r) {
        int record = r;
        NGREM1(kDdRead, record, status);
        if (status == kDdFreeRecord) continue;
        if (status != 0) {
            result = kToolNotRead;
            return;
        }
        bool equal = compare == kCompareInt    ? dd_value_int(field) == int_value
                     : compare == kCompareReal ? eqval(dd_value_real(field), real_value) != 0
                     : compare == kCompareText
                         ? dd_trimmed(dd_value_text(field)) == dd_trimmed(text_value)
                         : compare == kCompareFolded &&
                               dd_upper(dd_trimmed(dd_value_text(field))) == dd_upper(dd_trimmed(text_value));
        if (equal) {
            result = r;
            return;
        }
    }
}
