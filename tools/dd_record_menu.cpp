// The record menu text: the fields of the working record line as "name=value" items separated by
// "@", for the tool dialogs that let the user pick a field of a record, with the item whose value
// equals a given one found for preselection.
#include "tools/data_dictionary.hpp"

#include "host/vantu.hpp"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kCompareInt = 1, kCompareReal = 2, kCompareText = 3;
// A fixed three-decimal text longer than this no longer fits the menu column.
constexpr std::size_t kFixedWidth = 11;
// Values whose thousandfold lies outside these bounds lose their digits in three decimals.
constexpr double kSmallestFixed = 0.999, kLargestFixed = 999999999.0;

std::string item_value(const dd_field& field)
{
    if (field.type == kDdReal) return dd_menu_real(dd_value_real(field));
    if (field.type == kDdText) return dd_value_text(field);
    return std::to_string(dd_value_int(field));
}

bool equals_given(const dd_field& field, int compare, int int_value, float real_value, std::string_view text_value)
{
    switch (compare) {
    case kCompareInt: return (field.type == kDdInteger || field.type == kDdNgdr) && dd_value_int(field) == int_value;
    case kCompareReal: return field.type == kDdReal && eqval(dd_value_real(field), real_value) != 0;
    case kCompareText: return field.type == kDdText && dd_trimmed(dd_value_text(field)) == dd_trimmed(text_value);
    default: return false;
    }
}

}  // namespace

std::string dd_menu_real(float value)
{
    if (value == 0.0f) return "0.000";
    double thousandfold = std::fabs(static_cast<double>(value)) * 1000.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", static_cast<double>(value));
    std::string fixed = text;
    if (thousandfold >= kSmallestFixed && thousandfold <= kLargestFixed && fixed.size() <= kFixedWidth) return fixed;
    std::snprintf(text, sizeof text, "%10.3E", static_cast<double>(value));
    std::string scientific = text;
    return scientific.substr(scientific.find_first_not_of(' '));
}

void dd_record_menu_text(int first_field, int compare, int int_value, float real_value, std::string_view text_value,
                         std::string& text, int& preselected, int& status)
{
    text.clear();
    preselected = 0;
    std::vector<dd_field> fields;
    if (!dd_fields(dd_type().definition, dd_type().word_count, fields) || first_field < 1 ||
        first_field > static_cast<int>(fields.size())) {
        status = -5;
        return;
    }
    int item = 0;
    for (std::size_t k = static_cast<std::size_t>(first_field - 1); k < fields.size(); ++k) {
        const dd_field& field = fields[k];
        ++item;
        if (item > 1) text += '@';
        text += dd_trimmed(field.name) + "=" + item_value(field);
        if (preselected == 0 && equals_given(field, compare, int_value, real_value, text_value)) preselected = item;
    }
    status = 0;
}
