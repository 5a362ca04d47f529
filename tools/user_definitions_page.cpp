// The user-definitions page: the fields of the class's user record (from "USER.DEF"), held in a
// staging slot while the tool dialog runs. Fields with a list of allowed values are chosen from
// it; text, real and integer fields are typed.
#include "tools/data_dictionary.hpp"
#include "tools/tool_data_pages.hpp"
#include "tools/tool_form.hpp"
#include "tools/tool_records.hpp"

#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "tools/tool_utilities.hpp"

#include <algorithm>
#include <cctype>
#include <deque>
#include <vector>

namespace {

constexpr int kShownFields = 18;
constexpr int kItemsPerColumn = 4;
constexpr int kUpper = 1, kLower = 2;
constexpr int kMaxRounds = 1000;

// The value of one field as the page edits it.
struct field_value {
    dd_field field;
    int choice = 0;  // a field with allowed values: the value's place in them (from 1)
    int integer = 0;
    float real = 0.0f;
    std::string text;
    bool shown = false;
};

bool has_domain(const dd_field& f) { return f.domain_count > 0; }

int domain_size(const dd_field& f)
{
    if (f.type == kDdText) return static_cast<int>(f.text_values.size());
    if (f.type == kDdReal) return static_cast<int>(f.real_values.size());
    return static_cast<int>(f.int_values.size());
}

std::string domain_text(const dd_field& f)
{
    std::string text;
    for (int k = 0; k < domain_size(f); ++k) {
        const auto i = static_cast<std::size_t>(k);
        std::string entry = f.type == kDdText   ? dd_trimmed(f.text_values[i])
                            : f.type == kDdReal ? dd_menu_real(f.real_values[i])
                                                : std::to_string(f.int_values[i]);
        text += (k == 0 ? "" : "@") + (entry.empty() ? std::string(" ") : entry);
    }
    return text;
}

// The place (from 1) of the field's value among its allowed values, else of its default, else 1.
int domain_choice(const dd_field& f)
{
    auto place_of = [&](auto matches) {
        for (int k = 0; k < domain_size(f); ++k)
            if (matches(static_cast<std::size_t>(k))) return k + 1;
        return 0;
    };
    int now = 0, def = 0;
    if (f.type == kDdText) {
        now = place_of([&](std::size_t k) { return dd_trimmed(f.text_values[k]) == dd_trimmed(dd_value_text(f)); });
        def = place_of([&](std::size_t k) { return dd_trimmed(f.text_values[k]) == dd_trimmed(f.text_def); });
    } else if (f.type == kDdReal) {
        now = place_of([&](std::size_t k) { return eqval(f.real_values[k], dd_value_real(f)) != 0; });
        def = place_of([&](std::size_t k) { return eqval(f.real_values[k], f.real_def) != 0; });
    } else {
        now = place_of([&](std::size_t k) { return f.int_values[k] == dd_value_int(f); });
        def = place_of([&](std::size_t k) { return f.int_values[k] == f.int_def; });
    }
    return now > 0 ? now : def > 0 ? def : 1;
}

void declare(std::deque<field_value>& values, form_builder& form)
{
    int declared = 0;
    for (field_value& v : values) {
        const dd_field& f = v.field;
        v.shown = true;
        if (has_domain(f) && domain_size(f) > 0) {
            v.choice = domain_choice(f);
            modmc(domain_text(f), v.choice);
        } else if (f.domain_count == kDdDomainFile || (has_domain(f) && domain_size(f) == 0)) {
            // Allowed values kept in a file are not offered here.
            modumc(" ", 0);
            v.shown = false;
        } else if (f.type == kDdText) {
            v.text = dd_trimmed(dd_value_text(f));
            mods(f.name, v.text, std::max(f.text_length, 1));
        } else if (f.type == kDdReal) {
            v.real = dd_value_real(f);
            modfx(f.name, v.real, f.real_min, f.real_max);
        } else {
            v.integer = dd_value_int(f);
            modi(f.name, v.integer, f.int_min, f.int_max);
        }
        ++form.items;
        ++declared;
    }
    const int padding = (kItemsPerColumn - declared % kItemsPerColumn) % kItemsPerColumn;
    form.blank(padding);
}

// Stores the edited value of a field into the working line.
void store(const field_value& v)
{
    const dd_field& f = v.field;
    if (!v.shown) return;
    if (has_domain(f) && domain_size(f) > 0) {
        const auto k = static_cast<std::size_t>(std::clamp(v.choice, 1, domain_size(f)) - 1);
        if (f.type == kDdText)
            dd_set_text(f, f.text_values[k]);
        else if (f.type == kDdReal)
            dd_set_real(f, f.real_values[k]);
        else
            dd_set_int(f, f.int_values[k]);
        return;
    }
    if (f.type == kDdText) {
        std::string text = dd_trimmed(v.text).substr(0, static_cast<std::size_t>(std::max(f.text_length, 1)));
        for (char& c : text)
            c = static_cast<char>(f.conv == kUpper   ? std::toupper(static_cast<unsigned char>(c))
                                  : f.conv == kLower ? std::tolower(static_cast<unsigned char>(c))
                                                     : c);
        dd_set_text(f, text);
    } else if (f.type == kDdReal) {
        dd_set_real(f, v.real);
    } else {
        dd_set_int(f, v.integer);
    }
}

}  // namespace

void user_definitions_page(int slot, int mode, int& form_word, int& status)
{
    const bool listing = mode == kListingMode;
    status = -1;
    if (!toolrec_slot_filled(slot)) return;
    toolrec_stage(0, slot);
    std::vector<dd_field> fields;
    if (!dd_fields(dd_type().definition, dd_type().word_count, fields)) return;
    std::deque<field_value> values;
    for (std::size_t k = 0; k < fields.size() && k < static_cast<std::size_t>(kShownFields); ++k) {
        field_value& v = values.emplace_back();
        v.field = fields[k];
    }
    trfoff();
    if (!listing) prcont();
    form_cells cells;
    item_list watch, follow;
    int layout = 0;
    for (int round = 0; round < kMaxRounds; ++round) {
        begin_pick_mode(listing ? 1 : 0, 1, layout, status);
        if (status < 0) break;
        form_builder form{cells, watch, follow, kToolDataLabels};
        form.listing = listing;
        declare(values, form);
        if (listing) {
            status = 0;
            break;
        }
        int answer = 0;
        macro_redisplay();
        modifa(0, form_word, {}, answer);
        if (answer < 0 && answer != -3) {
            status = answer;
            break;
        }
        if (answer >= 1 && answer <= static_cast<int>(values.size()))
            store(values[static_cast<std::size_t>(answer - 1)]);
        if (answer == 0) {
            for (const field_value& v : values) store(v);
            toolrec_stage(6, slot);
            status = 0;
            break;
        }
    }
    int closed = 0;
    pick_mode_prompt(listing ? 1 : 0, closed);
    trfon();
}
