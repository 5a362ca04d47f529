// Building one field of a record type from its attributes, with the checks and repairs that both
// the definitions file reader and the in-code definitions (dd_type_define) apply. The file reader
// reports through the host's numbered messages, the in-code form through plain lines.
#pragma once

#include "tools/dd_state.hpp"

#include <string>
#include <string_view>
#include <vector>

// What went wrong in a field description; each has a numbered host message and, where the in-code
// form can meet it, a line of its own.
enum class dd_issue {
    domain_and_file,
    keyword_not_for_type,
    keyword_before_type,
    special_keyword_mixed,
    keyword_twice,
    unknown_keyword,
    keyword_too_long,
    name_too_long,
    text_too_long,
    text_too_short,
    def_not_in_domain,
    bad_conv,
    file_unreadable,
    file_failure,
    def_not_in_file,
    comp_unknown_field,
    comp_not_text,
    comp_too_long,
    max_below_min,
    def_above_max,
    def_below_min,
    round_above_max,
    comp_empty,
    domain_empty,
    bad_type,
    name_exists,
    missing_type,
    missing_name,
    bad_number
};

// Reports an issue: from_file selects the numbered message, otherwise the plain line (subject is
// the field name or the type text where the line names it).
void dd_report(dd_issue issue, bool from_file, int field_type, std::string_view subject);

// The field being built and what has been given for it.
struct dd_field_build {
    dd_field field;
    bool from_file = false;
    bool has_name = false, has_type = false, has_def = false, has_domain = false;
    bool has_file = false, special = false;
    bool failed = false;
    std::vector<std::string> used_keywords;
    std::vector<std::string> file_values;  // the allowed values read from a FILE
};

// Field attributes in the order they are given. Each reports its issue and repairs or marks the
// build failed.
void DDBUF_name(dd_field_build& b, std::string_view name, const std::vector<dd_field>& earlier);
void DDBUF_type(dd_field_build& b, std::string_view type);
void DDBUF_min(dd_field_build& b, double value);
void DDBUF_max(dd_field_build& b, double value);
void DDBUF_def_number(dd_field_build& b, double value);
void DDBUF_def_text(dd_field_build& b, std::string_view text);
void DDBUF_round(dd_field_build& b, double value);
void DDBUF_domain_number(dd_field_build& b, double value);
void DDBUF_domain_text(dd_field_build& b, std::string_view text);
// Ends the field: the default where none was given, and the repairs of the limits.
void DDBUF_finish(dd_field_build& b);
