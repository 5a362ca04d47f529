// Searches of the tool library: tools by name, holder numbers in use and free, the free AGIE
// register, and the class names.
#include "tools/current_tool.hpp"
#include "tools/tool_entities.hpp"
#include "tools/tool_library.hpp"
#include "tools/tool_lists.hpp"
#include "tools/tool_records.hpp"

namespace {

constexpr int kFailed = -5;
constexpr int kFound = 0, kNotFound = 1;
constexpr int kCompareInt = 1, kCompareFolded = 4;

// The field that holds a tool's holder number (the wire classes keep a dummy one).
const char* holder_field(int tool_class) { return is_wire_class(tool_class) ? "DUMHLD" : "HOLDER"; }

// 1 when a record of a table has the integer value in the field, 0 when none has, -5 on error.
int table_has(int table_id, const char* field, int value)
{
    if (table_id < 1) return 0;
    int record = 0;
    tool_record_fields(table_id, field, kCompareInt, value, 0.0f, "", record);
    return record < 0 ? kFailed : record > 0 ? 1 : 0;
}

// 1 when a tool of the allowed classes has the holder number, 0 when none, -5 on error.
int family_has_holder(int holder)
{
    for (int c = 1; c <= kToolClasses; ++c) {
        if (!tool_class_allowed(c)) continue;
        const int found = table_has(tool_table_ids().table_of(c), holder_field(c), holder);
        if (found != 0) return found;
    }
    return 0;
}

// Tools in the allowed tables: a bound on how many numbers can be taken.
int family_tool_count()
{
    int total = 0;
    for (int c = 1; c <= kToolClasses; ++c) {
        int records = 0, in_use = 0, status = 0;
        if (tool_class_allowed(c)) tool_record_count(tool_table_ids().table_of(c), records, in_use, status);
        if (status == 0) total += in_use;
    }
    return total;
}

}  // namespace

void tool_find_by_name(std::string_view name, int tool_class, int& tool_id, int& result)
{
    int found_list = -1;
    tool_list_find_name(tool_class, name.substr(0, kToolText), tool_id, found_list);
    if (tool_id > 0 && found_list == tool_class)
        result = 0;
    else if (tool_id > 0 && tool_class != kCycle && found_list != kCycle)
        result = 1;
    else
        result = -1;
}

void tool_name_in_use(std::string_view name, int tool_class, int& result)
{
    result = kNotFound;
    const std::string wanted(name.substr(0, kToolText));
    auto search = [&](int c, const char* field) {
        const int table = tool_table_ids().table_of(c);
        if (table < 1) return false;
        int record = 0;
        tool_record_fields(table, field, kCompareFolded, 0, 0.0f, wanted, record);
        if (record < 0)
            result = kFailed;
        else if (record > 0)
            result = kFound;
        return record != 0;
    };
    if (tool_class == kCycle) {
        search(kCycle, "CYNAME");
        return;
    }
    for (int c = 1; c <= kToolClasses; ++c)
        if (search(c, "TLNAME")) return;
}

void holder_number_in_use(int tool_class, int holder, int& result)
{
    set_allowed_tool_classes(1, tool_class);
    const int found = family_has_holder(holder);
    result = found < 0 ? kFailed : found > 0 ? kFound : kNotFound;
}

void holder_number_free(int tool_class, int& holder, int& status)
{
    set_allowed_tool_classes(1, tool_class);
    status = kFailed;
    // Among n tools one of the numbers 1 .. n + 1 is free.
    const int last = family_tool_count() + 1;
    for (int n = 1; n <= last; ++n) {
        const int found = family_has_holder(n);
        if (found < 0) return;
        if (found > 0) continue;
        holder = n;
        if (tool_class == kMill) {
            mill_fields& m = tool_shapes().mill;
            m.DIMCMP = m.LENCMP = m.FIXCMP = n;
        }
        status = 0;
        return;
    }
}

void agie_register_free(int& status)
{
    status = kFailed;
    const int table = tool_table_ids().table_of(kAgie);
    int records = 0, in_use = 0, counted = 0;
    tool_record_count(table, records, in_use, counted);
    if (table < 1 || counted != 0) return;
    for (int n = 1; n <= in_use + 1; ++n) {
        const int found = table_has(table, "REGSTR", n);
        if (found < 0) return;
        if (found > 0) continue;
        agie_fields& a = tool_shapes().agie;
        a.REGSTR = a.GNRTOR = a.SFLUSH = a.OFFSET = a.PANGLE = n;
        status = 0;
        return;
    }
}

void class_name_text(int tool_class, std::string& text)
{
    text = tool_class_name(tool_class);
    text.resize(11, ' ');
}
