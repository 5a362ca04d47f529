// Record types read from a definitions file: the search for a type's section (NGGDF2), the parse
// of its field descriptions keyword by keyword, and dd_type_get, which takes a type from the
// table of record types or else from the file.
#include "tools/data_dictionary.hpp"
#include "tools/data_file_path.hpp"
#include "tools/dd_field_build.hpp"
#include "tools/dd_tokens.hpp"

#include "host/vantu.hpp"
#include "host/vantu_datafiles.hpp"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <fstream>

namespace {

constexpr int kListingMode = 2;
constexpr std::size_t kMaxFileName = 256;
constexpr int kNotInFile = 1;

const std::vector<std::string> kKeywords = {"NAME",  "TYPE", "MIN",  "MAX",    "DEF",  "DOMAIN",
                                            "ROUND", "CONV", "FILE", "SERIAL", "COMP", "PART"};

bool is_special(const std::string& k) { return k == "SERIAL" || k == "COMP" || k == "PART"; }
bool used(const dd_field_build& b, const std::string& k)
{
    return std::find(b.used_keywords.begin(), b.used_keywords.end(), k) != b.used_keywords.end();
}

// A number of the field's type; false (host message 99/0) when the token is not one.
bool parse_number(const dd_field_build& b, const std::string& token, double& value)
{
    if (b.field.type == kDdReal) {
        char* end = nullptr;
        value = std::strtod(token.c_str(), &end);
        if (end && *end == '\0' && !token.empty()) return true;
    } else {
        long long v = 0;
        auto [ptr, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
        if (ec == std::errc() && ptr == token.data() + token.size()) {
            value = static_cast<double>(v);
            return true;
        }
    }
    msg_mdls(99, 0);
    return false;
}

// Tokens up to the closing ")".
std::vector<std::string> value_list(dd_token_reader& reader)
{
    std::vector<std::string> values;
    std::string token;
    while (dd_next_token(reader, token) && token != ")") values.push_back(token);
    return values;
}

// The allowed values of a FILE field: per line, the text before the first ";" (at most 20
// characters) without trailing blanks.
bool read_value_file(const std::string& name, std::vector<std::string>& values)
{
    std::string file = name.substr(0, name.find(' '));
    std::string path = file;
    if (!fexist(path)) {
        int status = -1;
        get_dat_name(file, path, status);
        if (status != 0) return false;
    }
    std::ifstream in(path);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        std::string value = dd_trimmed(line.substr(0, line.find(';')).substr(0, kDdMaxText));
        if (!value.empty()) values.push_back(value);
    }
    return true;
}

void apply_file(dd_field_build& b)
{
    dd_field& f = b.field;
    if (!read_value_file(f.file_name, b.file_values)) {
        dd_report(dd_issue::file_unreadable, true, f.type, {});
        b.has_file = false;
        f.domain_count = 0;
        return;
    }
    auto matches = [&](const std::string& v) {
        if (f.type == kDdText) return v == f.text_def;
        double x = std::strtod(v.c_str(), nullptr);
        if (f.type == kDdReal) return eqval(static_cast<float>(x), f.real_def) != 0;
        return static_cast<int>(x) == f.int_def;
    };
    if (b.has_def && std::none_of(b.file_values.begin(), b.file_values.end(), matches)) {
        dd_report(dd_issue::def_not_in_file, true, f.type, {});
        b.has_def = false;
    }
    if (!b.has_def) {
        std::string first = b.file_values.empty() ? std::string() : b.file_values.front();
        if (f.type == kDdText)
            f.text_def = " ";
        else if (f.type == kDdReal)
            f.real_def = static_cast<float>(std::strtod(first.c_str(), nullptr));
        else
            f.int_def = static_cast<int>(std::strtol(first.c_str(), nullptr, 10));
    }
}

void apply_comp(dd_field_build& b, const std::vector<std::string>& names, const std::vector<dd_field>& earlier)
{
    dd_field& f = b.field;
    if (names.empty()) {
        dd_report(dd_issue::comp_empty, true, f.type, {});
        b.failed = true;
        return;
    }
    int total = 0;
    for (const std::string& name : names) {
        auto it = std::find_if(earlier.begin(), earlier.end(),
                               [&](const dd_field& e) { return dd_trimmed(e.name) == dd_upper(name); });
        if (it == earlier.end()) {
            dd_report(dd_issue::comp_unknown_field, true, f.type, {});
            continue;
        }
        if (it->type != kDdText) {
            dd_report(dd_issue::comp_not_text, true, f.type, {});
            continue;
        }
        if (total + it->text_length > kDdMaxText) {
            dd_report(dd_issue::comp_too_long, true, f.type, {});
            continue;
        }
        total += it->text_length;
        f.components.push_back(static_cast<int>(it - earlier.begin()) + 1);
    }
    f.type = kDdText;
    f.text_length = std::max(total, 1);
    f.domain_count = kDdDomainSerial - static_cast<int>(f.components.size());
    b.has_type = true;
}

// Checks the keyword against what the field has so far; false when it is to be skipped.
bool keyword_allowed(dd_field_build& b, const std::string& k)
{
    auto refuse = [&](dd_issue issue) {
        dd_report(issue, true, b.field.type, {});
        return false;
    };
    if (k.empty() || k.size() > 6) return refuse(dd_issue::keyword_too_long);
    if (std::find(kKeywords.begin(), kKeywords.end(), k) == kKeywords.end()) return refuse(dd_issue::unknown_keyword);
    if (used(b, k)) return refuse(dd_issue::keyword_twice);
    if (b.special) return refuse(dd_issue::special_keyword_mixed);
    if (is_special(k) && !(b.used_keywords.size() == 1 && b.used_keywords.front() == "NAME"))
        return refuse(dd_issue::special_keyword_mixed);
    if (b.has_name && !b.has_type && k != "TYPE" && !is_special(k)) return refuse(dd_issue::keyword_before_type);
    if ((k == "DOMAIN" && used(b, "FILE")) || (k == "FILE" && used(b, "DOMAIN")))
        return refuse(dd_issue::domain_and_file);
    if ((k == "ROUND" && b.field.type != kDdReal) || (k == "CONV" && b.field.type != kDdText))
        return refuse(dd_issue::keyword_not_for_type);
    return true;
}

void skip_value(dd_token_reader& reader, const std::string& k)
{
    std::string token;
    if (k == "DOMAIN" || k == "COMP")
        value_list(reader);
    else
        dd_next_token(reader, token);
}

// Applies one keyword with its value.
void apply_keyword(dd_field_build& b, const std::string& k, dd_token_reader& reader,
                   const std::vector<dd_field>& earlier)
{
    dd_field& f = b.field;
    std::string value;
    double number = 0.0;
    if (k == "DOMAIN") {
        std::vector<std::string> values = value_list(reader);
        if (values.empty()) {
            dd_report(dd_issue::domain_empty, true, f.type, {});
            b.failed = true;
        }
        for (const std::string& v : values) {
            if (f.type == kDdText)
                DDBUF_domain_text(b, v);
            else if (parse_number(b, v, number))
                DDBUF_domain_number(b, number);
            else
                b.failed = true;
        }
        return;
    }
    if (k == "COMP") {
        apply_comp(b, value_list(reader), earlier);
        b.special = true;
        return;
    }
    if (k == "PART") {
        f.type = kDdText;
        f.text_length = 10;
        f.domain_count = kDdDomainPart;
        b.has_type = b.special = true;
        return;
    }
    if (!dd_next_token(reader, value)) {
        b.failed = true;
        return;
    }
    if (k == "NAME") {
        if (value.size() > static_cast<std::size_t>(kDdFieldNameLength)) {
            dd_report(dd_issue::name_too_long, true, f.type, value);
            value.resize(kDdFieldNameLength);
        }
        DDBUF_name(b, value, earlier);
    } else if (k == "TYPE") {
        DDBUF_type(b, value);
    } else if (k == "CONV") {
        std::string c = dd_upper(value);
        f.conv = c == "U" ? 1 : c == "L" ? 2 : 0;
        if (c != "N" && c != "U" && c != "L") dd_report(dd_issue::bad_conv, true, f.type, {});
    } else if (k == "FILE" || k == "SERIAL") {
        f.file_name = value.substr(0, kDdFileNameLength);
        if (k == "SERIAL") {
            DDBUF_type(b, "I");
            f.int_min = 1;
            f.int_max = 2000000000;
            f.int_def = 1;
            f.domain_count = kDdDomainSerial;
            b.has_def = b.special = true;
        } else {
            f.domain_count = kDdDomainFile;
            b.has_file = true;
        }
    } else if (k == "DEF" && f.type == kDdText) {
        DDBUF_def_text(b, value);
    } else if (!parse_number(b, value, number)) {
        b.failed = true;
    } else if (k == "MIN") {
        DDBUF_min(b, number);
    } else if (k == "MAX") {
        DDBUF_max(b, number);
    } else if (k == "DEF") {
        DDBUF_def_number(b, number);
    } else if (k == "ROUND") {
        DDBUF_round(b, number);
    }
}

void echo_field(const dd_field& f)
{
    static const char* kTypes[] = {"?", "I", "R", "S", "NGDR"};
    userrc("    --------------------------------------");
    userrc("    Name    : " + f.name);
    userrc(std::string("    Type    : ") + kTypes[std::clamp(f.type, 0, 4)]);
    if (f.type == kDdReal) {
        userrc("    Min     : " + std::to_string(f.real_min));
        userrc("    Max     : " + std::to_string(f.real_max));
        userrc("    Round   : " + std::to_string(f.round));
        userrc("    Default : " + std::to_string(f.real_def));
    } else if (f.type == kDdText) {
        userrc("    Max     : " + std::to_string(f.text_length));
        userrc("    Default : " + f.text_def);
        userrc("    Conv    : " + std::to_string(f.conv));
    } else {
        userrc("    Min     : " + std::to_string(f.int_min));
        userrc("    Max     : " + std::to_string(f.int_max));
        userrc("    Default : " + std::to_string(f.int_def));
    }
    if (f.domain_count > 0) userrc("    Domain  : " + std::to_string(f.domain_count));
    if (f.domain_count == kDdDomainFile) userrc("    File    : " + f.file_name);
    if (f.domain_count == kDdDomainSerial) userrc("    Serial  : " + f.file_name);
    if (!f.components.empty()) userrc("    Comp    : " + std::to_string(f.components.size()));
    if (f.domain_count == kDdDomainPart) userrc("    Part");
}

// One field description after "FIELD", up to its ")". False when the definition fails.
bool parse_field(dd_token_reader& reader, std::vector<dd_field>& fields, bool listing)
{
    dd_field_build b;
    b.from_file = true;
    std::string token;
    while (!b.failed) {
        if (!dd_next_token(reader, token)) return false;
        if (token == ")") break;
        std::string k = dd_upper(token);
        if (!keyword_allowed(b, k)) {
            skip_value(reader, k);
            continue;
        }
        b.used_keywords.push_back(k);
        apply_keyword(b, k, reader, fields);
    }
    if (b.failed) return false;
    if (b.has_file) apply_file(b);
    DDBUF_finish(b);
    if (b.failed) return false;
    if (listing) echo_field(b.field);
    fields.push_back(b.field);
    return true;
}

// Finds "RECORD <name>" for the type; false when "$END" or the end of the file comes first.
bool find_section(dd_token_reader& reader, const std::string& wanted, bool listing)
{
    std::string token;
    while (dd_next_token(reader, token)) {
        if (token == "$END") return false;
        if (dd_upper(token) != "RECORD" || !dd_next_token(reader, token)) continue;
        if (token.size() > static_cast<std::size_t>(kDdTypeNameLength)) {
            if (listing)
                eroutc("RECORD TYPE NAME TOO LONG, 12 CHARACTERS USED", 0);
            else
                msg_mdls(203, 40);
            token.resize(kDdTypeNameLength);
        }
        if (dd_upper(token) == wanted) return true;
    }
    return false;
}

// The fields of the section; status 0, or -1 when the definition fails.
void parse_section(dd_token_reader& reader, std::vector<dd_field>& fields, bool listing, int& status)
{
    status = 0;
    std::string token;
    while (dd_next_token(reader, token) && dd_upper(token) == "FIELD") {
        if (fields.size() >= static_cast<std::size_t>(kDdMaxFields)) {
            msg_mdls(203, 41);
            status = -1;
            return;
        }
        if (!parse_field(reader, fields, listing)) {
            status = -1;
            return;
        }
    }
    if (fields.empty()) {
        msg_mdls(203, 42);
        status = -1;
    }
}

// The definitions file of the mode: "ddinput.att" through the data-file search, or the given name.
bool definitions_path(int mode, std::string_view file_name, std::string& path)
{
    if (mode == 1 || mode == kListingMode) {
        int length = 0, status = -1;
        data_file_path(kDataFileFind, "ddinput.att", length, path, status);
        if (status != 0) return false;
        if (path.size() > kMaxFileName) {
            eroutc("DDFNAM - FILE NAME TOO LONG", 0);
            return false;
        }
        return true;
    }
    if (file_name.size() > kMaxFileName) {
        eroutc("NGGDF2 - FILE NAME TOO LONG", 0);
        return false;
    }
    path = std::string(file_name);
    return true;
}

}  // namespace

void NGGDF2(int mode, std::string_view type_name, std::string_view file_name, int& table_id, int& status)
{
    status = -1;
    std::string path;
    if (!definitions_path(mode, file_name, path)) return;
    if (!fexist(path)) {
        if (mode == 1 || mode == 3) eroutc("NGGDF2 - FILE NOT FOUND", 0);
        return;
    }
    std::ifstream file(path);
    if (!file) {
        eroutc("NGGDF2 - CANNOT OPEN FILE", 0);
        return;
    }
    bool listing = mode == kListingMode;
    dd_token_reader reader;
    reader.file = &file;
    std::string wanted = dd_upper(dd_trimmed(type_name.substr(0, kDdTypeNameLength)));
    if (!find_section(reader, wanted, listing)) {
        status = kNotInFile;
        return;
    }
    std::vector<dd_field> fields;
    parse_section(reader, fields, listing, status);
    if (status == 0) dd_type_store(fields, wanted, table_id, status);
}

void dd_type_get(int mode, std::string_view type_name, std::string_view file_name, int& table_id, int& status)
{
    dd_type_find(type_name, table_id, status);
    if (status == 0 || status == -12) return;
    NGGDF2(mode, type_name, file_name, table_id, status);
}
