// One field of a record type from its attributes. TYPE sets the type's starting limits; a DEF or
// DOMAIN value widens the limits as they stand to include it; a later MIN or MAX replaces them;
// DDBUF_finish supplies a missing default and repairs limits and default that disagree.
#include "tools/dd_field_build.hpp"

#include "host/vantu.hpp"

#include <algorithm>
#include <cstdint>

namespace {

constexpr int kKeywordGroup = 212, kNumberGroup = 99;

struct issue_text {
    dd_issue issue;
    int group;
    int number;
    const char* line;    // in-code form; null when that form cannot meet it
    bool subject_first;  // the subject stands before the line (field names), else after it
};

// Integer repairs read with two blanks in the in-code form; the real ones with one.
constexpr const char* kIntDefAboveMax = "DEF greater than MAX,  setting def = max";
constexpr const char* kIntDefBelowMin = "DEF smaller than MIN,  setting def = min";

constexpr issue_text kIssues[] = {
    {dd_issue::domain_and_file, kKeywordGroup, 0, nullptr, false},
    {dd_issue::keyword_not_for_type, kKeywordGroup, 1, nullptr, false},
    {dd_issue::keyword_before_type, kKeywordGroup, 2, nullptr, false},
    {dd_issue::special_keyword_mixed, kKeywordGroup, 3, nullptr, false},
    {dd_issue::keyword_twice, kKeywordGroup, 4, nullptr, false},
    {dd_issue::unknown_keyword, kKeywordGroup, 5, nullptr, false},
    {dd_issue::keyword_too_long, kKeywordGroup, 6, nullptr, false},
    {dd_issue::name_too_long, kKeywordGroup, 7, " name too long, 8 characters used", true},
    {dd_issue::text_too_long, kKeywordGroup, 8, "Maximum 20 characters in strings", false},
    {dd_issue::text_too_short, kKeywordGroup, 9, "Minimum 1 character in strings", false},
    {dd_issue::def_not_in_domain, kKeywordGroup, 10, nullptr, false},
    {dd_issue::bad_conv, kKeywordGroup, 11, nullptr, false},
    {dd_issue::file_unreadable, kKeywordGroup, 12, nullptr, false},
    {dd_issue::file_failure, kKeywordGroup, 13, nullptr, false},
    {dd_issue::def_not_in_file, kKeywordGroup, 14, nullptr, false},
    {dd_issue::comp_unknown_field, kKeywordGroup, 15, nullptr, false},
    {dd_issue::comp_not_text, kKeywordGroup, 16, nullptr, false},
    {dd_issue::comp_too_long, kKeywordGroup, 17, nullptr, false},
    {dd_issue::max_below_min, kKeywordGroup, 18, "MIN greater than MAX, setting min = max", false},
    {dd_issue::def_above_max, kKeywordGroup, 19, "DEF greater than MAX, setting def = max", false},
    {dd_issue::def_below_min, kKeywordGroup, 20, "DEF smaller than MIN, setting def = min", false},
    {dd_issue::round_above_max, kKeywordGroup, 21, "ROUND greater than MAX, MIN USED", false},
    {dd_issue::comp_empty, kKeywordGroup, 22, nullptr, false},
    {dd_issue::domain_empty, kKeywordGroup, 23, nullptr, false},
    {dd_issue::bad_type, kKeywordGroup, 24, "Illegal field type ", false},
    {dd_issue::name_exists, kKeywordGroup, 25, " field name allready exists", true},
    {dd_issue::missing_type, kKeywordGroup, 26, nullptr, false},
    {dd_issue::missing_name, kKeywordGroup, 27, nullptr, false},
    {dd_issue::bad_number, kNumberGroup, 0, nullptr, false},
};

bool is_number_type(int type) { return type == kDdInteger || type == kDdNgdr || type == kDdReal; }

// Integers are kept within 32 bits: a value beyond is clamped to the nearest end.
int to_int(double value) { return static_cast<int>(std::clamp(value, -2147483647.0, 2147483647.0)); }

// Integer and real fields keep the same checks on their own members: these do them once.
template <class T> void widen(T& min, T& max, T value)
{
    min = std::min(min, value);
    max = std::max(max, value);
}

template <class T> bool contains(const std::vector<T>& values, const T& value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

void widen_to(dd_field& f, double value)
{
    if (f.type == kDdReal)
        widen(f.real_min, f.real_max, static_cast<float>(value));
    else
        widen(f.int_min, f.int_max, to_int(value));
}

void widen_text(dd_field& f, std::size_t length)
{
    f.text_length = std::max(f.text_length, static_cast<int>(std::min<std::size_t>(length, kDdMaxText)));
}

void report(const dd_field_build& b, dd_issue issue, std::string_view subject = {})
{
    dd_report(issue, b.from_file, b.field.type, subject);
}

// A MAX below the MIN wins: the MIN is brought down to it.
template <class T> void repair_limits(const dd_field_build& b, T& min, T max)
{
    if (max < min) {
        report(b, dd_issue::max_below_min);
        min = max;
    }
}

// A default outside the limits is moved to the limit it passes.
template <class T> void repair_default(const dd_field_build& b, T& def, T min, T max)
{
    if (def > max) {
        report(b, dd_issue::def_above_max);
        def = max;
    }
    if (def < min) {
        report(b, dd_issue::def_below_min);
        def = min;
    }
}

// The default when DEF was not given (file fields take theirs in the file reader).
void supply_default(dd_field& f)
{
    if (f.domain_count > 0) {
        if (f.type == kDdText && !f.text_values.empty()) f.text_def = f.text_values.front();
        if (f.type == kDdReal && !f.real_values.empty()) f.real_def = f.real_values.front();
        if ((f.type == kDdInteger || f.type == kDdNgdr) && !f.int_values.empty()) f.int_def = f.int_values.front();
        return;
    }
    switch (f.type) {
    case kDdInteger:
        // The midpoint of two 32-bit limits needs 64 bits.
        f.int_def = static_cast<int>((static_cast<std::int64_t>(f.int_min) + f.int_max) / 2);
        break;
    case kDdReal: f.real_def = (f.real_min + f.real_max) * 0.5f; break;
    case kDdText: f.text_def = std::string(static_cast<std::size_t>(f.text_length), ' '); break;
    default: f.int_def = 0; break;
    }
}

}  // namespace

void dd_report(dd_issue issue, bool from_file, int field_type, std::string_view subject)
{
    for (const issue_text& t : kIssues) {
        if (t.issue != issue) continue;
        if (from_file || !t.line) {
            msg_mdls(t.group, t.number);
            return;
        }
        std::string line = t.line;
        if (field_type != kDdReal && issue == dd_issue::def_above_max) line = kIntDefAboveMax;
        if (field_type != kDdReal && issue == dd_issue::def_below_min) line = kIntDefBelowMin;
        if (t.subject_first)
            line = std::string(subject) + line;
        else if (issue == dd_issue::bad_type)
            line += std::string(subject);
        eroutc(line, 0);
        return;
    }
}

void DDBUF_name(dd_field_build& b, std::string_view name, const std::vector<dd_field>& earlier)
{
    std::string given = dd_upper(dd_trimmed(name));
    if (given.size() > static_cast<std::size_t>(kDdFieldNameLength)) {
        report(b, dd_issue::name_too_long, given);
        given.resize(kDdFieldNameLength);
    }
    for (const dd_field& f : earlier) {
        if (dd_trimmed(f.name) == given) {
            report(b, dd_issue::name_exists, given);
            b.failed = true;
        }
    }
    b.field.name = given;
    b.has_name = true;
}

void DDBUF_type(dd_field_build& b, std::string_view type)
{
    dd_field& f = b.field;
    std::string t = dd_upper(dd_trimmed(type));
    if (t == "I") {
        f.type = kDdInteger;
        f.int_min = -2000000000;
        f.int_max = 2000000000;
        f.int_def = 0;
    } else if (t == "R") {
        f.type = kDdReal;
        f.real_min = -1.0e23f;
        f.real_max = 1.0e23f;
        f.round = 0.001f;
        f.real_def = 0.0f;
    } else if (t == "S") {
        f.type = kDdText;
        f.int_min = 1;
        f.text_length = 10;
        f.conv = 0;
    } else if (t == "NGDR") {
        f.type = kDdNgdr;
        f.int_min = 0;
        f.int_max = 32000;
        f.int_def = 0;
    } else {
        report(b, dd_issue::bad_type, t);
        b.failed = true;
        return;
    }
    b.has_type = true;
}

void DDBUF_min(dd_field_build& b, double value)
{
    dd_field& f = b.field;
    if (f.type == kDdReal)
        f.real_min = static_cast<float>(value);
    else if (f.type != kDdText)
        f.int_min = to_int(value);
}

void DDBUF_max(dd_field_build& b, double value)
{
    dd_field& f = b.field;
    if (f.type == kDdReal) {
        f.real_max = static_cast<float>(value);
    } else if (f.type == kDdText) {
        int length = to_int(value);
        if (length > kDdMaxText) {
            report(b, dd_issue::text_too_long);
            length = kDdMaxText;
        } else if (length < 1) {
            report(b, dd_issue::text_too_short);
            length = 1;
        }
        f.text_length = length;
    } else {
        f.int_max = to_int(value);
    }
}

void DDBUF_def_number(dd_field_build& b, double value)
{
    dd_field& f = b.field;
    if (f.type == kDdReal)
        f.real_def = static_cast<float>(value);
    else
        f.int_def = to_int(value);
    widen_to(f, value);
    b.has_def = true;
}

void DDBUF_def_text(dd_field_build& b, std::string_view text)
{
    b.field.text_def = std::string(text.substr(0, kDdMaxText));
    widen_text(b.field, text.size());
    b.has_def = true;
}

void DDBUF_round(dd_field_build& b, double value) { b.field.round = static_cast<float>(value); }

void DDBUF_domain_number(dd_field_build& b, double value)
{
    dd_field& f = b.field;
    if (f.type == kDdReal)
        f.real_values.push_back(static_cast<float>(value));
    else
        f.int_values.push_back(to_int(value));
    f.domain_count = static_cast<int>(f.type == kDdReal ? f.real_values.size() : f.int_values.size());
    widen_to(f, value);
    b.has_domain = true;
}

void DDBUF_domain_text(dd_field_build& b, std::string_view text)
{
    dd_field& f = b.field;
    f.text_values.emplace_back(text.substr(0, kDdMaxText));
    f.domain_count = static_cast<int>(f.text_values.size());
    widen_text(f, text.size());
    b.has_domain = true;
}

void DDBUF_finish(dd_field_build& b)
{
    dd_field& f = b.field;
    if (!b.has_name) {
        report(b, dd_issue::missing_name);
        b.failed = true;
    }
    if (!b.has_type) {
        if (!b.failed) report(b, dd_issue::missing_type);
        b.failed = true;
    }
    if (b.failed) return;
    if (b.has_def && b.has_domain) {
        bool found = f.type == kDdText   ? contains(f.text_values, f.text_def)
                     : f.type == kDdReal ? contains(f.real_values, f.real_def)
                                         : contains(f.int_values, f.int_def);
        if (!found) {
            report(b, dd_issue::def_not_in_domain);
            b.has_def = false;
        }
    }
    if (f.type == kDdReal)
        repair_limits(b, f.real_min, f.real_max);
    else if (is_number_type(f.type))
        repair_limits(b, f.int_min, f.int_max);
    if (!b.has_def && !b.has_file) supply_default(f);
    if (f.type == kDdReal) {
        repair_default(b, f.real_def, f.real_min, f.real_max);
        if (f.round > f.real_max) {
            report(b, dd_issue::round_above_max);
            f.round = f.real_min;
        }
    } else if (f.type == kDdInteger || f.type == kDdNgdr) {
        repair_default(b, f.int_def, f.int_min, f.int_max);
    } else if (f.type == kDdText) {
        f.int_min = 1;
        f.int_max = f.text_length;
        if (static_cast<int>(f.text_def.size()) > f.text_length)
            f.text_def.resize(static_cast<std::size_t>(f.text_length));
    }
    f.size = dd_field_size(f);
}
