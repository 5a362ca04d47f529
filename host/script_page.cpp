// The host's parameter page: the lines a dialog places after modint (texts, cycling choices,
// integer, real and parameter fields, blank lines), and modif1, which runs the page from the
// script. A page answer edits fields and chooses a line; a value the host would not take (out of
// the field's limits, not one of its choices, on a blank line) is refused and the page is asked
// again, with nothing of the refused answer applied.
#include "host/vantu_interact.hpp"

#include "host/control/script.hpp"
#include "host/core/catalogue.hpp"
#include "host/core/component.hpp"
#include "host/core/faults.hpp"
#include "host/core/output_layer.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"
#include "host/vantu_compare.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace vantu::script {

namespace {

// A page holds at most this many lines; the host's pages are a screen high, and a dialog that
// places more is placing lines in a loop.
constexpr std::size_t kMaxPageLines = 300;

enum class line_kind { blank, text, choice, integer_field, real_field, text_field, parameter };

// nu_mod_exec kinds.
constexpr int kParamInteger = 1, kParamReal = 2, kParamListInteger = 3, kParamListChoice = 4, kParamSecondReal = 5,
              kParamText = 7, kParamExpressionReal = 8;
// A text parameter holds 20 characters in five words.
constexpr int kParamTextWords = 5, kParamTextChars = 4 * kParamTextWords;
// Colours of the colour selector.
constexpr int kLastColour = 15;

bool is_real_parameter(int kind)
{
    return kind == kParamReal || kind == kParamSecondReal || kind == kParamExpressionReal;
}
bool is_known_parameter(int kind)
{
    return kind == kParamInteger || is_real_parameter(kind) || kind == kParamListInteger || kind == kParamListChoice ||
           kind == kParamText;
}

struct page_line {
    line_kind kind = line_kind::blank;
    std::string call;                  // the call that placed it
    std::string label;                 // text, choices text or field label
    std::string name;                  // a parameter field's name, when the stand-in has one
    std::vector<std::string> choices;  // cycling choice
    int* integer = nullptr;            // choice or integer field
    float* real = nullptr;             // real field
    std::string* text = nullptr;       // text field
    int text_length = 0;               // text field: most characters
    word* cell = nullptr;              // parameter field (a text: the first of five words)
    int parameter_kind = 0;
    int relation = 0;
    double minimum = 0;
    double maximum = 0;
    bool limited = false;
    bool marked = false;  // shown highlighted (modmc2, mdmpc2, modic2, modrc2)
};

struct page_state {
    std::vector<page_line> lines;
    long dropped = 0;  // lines placed beyond kMaxPageLines
    // modcom closed the page for an action of it: modinz during the action resets the menu state
    // but the page stays built, so that it can be shown again after the action; the first line
    // the action places starts a page of its own.
    bool closed = false;
    bool set_aside = false;  // modinz came while closed: the next line placed clears the page
};

page_state& page()
{
    static page_state p;
    return p;
}

// The form word and watch list of the last modifa (kept when the page is cleared).
control::form_run& last_form()
{
    static control::form_run f;
    return f;
}

std::string line_text(std::size_t number, const page_line& line);

void place(page_line line)
{
    if (page().set_aside) page() = page_state{};
    if (page().lines.size() >= kMaxPageLines) {
        ++page().dropped;
        trace_call("page_full", line.call, -1);
        return;
    }
    page().lines.push_back(std::move(line));
    vantu::output_layer_page_line(line_text(page().lines.size(), page().lines.back()));
}

// ---- values ---------------------------------------------------------------------------------
// A field's value as the page edits it: an integer (choices and integer fields), a real, or a
// word (parameter fields: an integer or float in the word, or four characters).
struct cell_word {
    word value;
    bool operator==(const cell_word&) const = default;
};
using field_value = std::variant<int, float, cell_word, std::string>;

bool is_text_parameter(const page_line& line)
{
    return line.kind == line_kind::parameter && line.parameter_kind == kParamText;
}

field_value current_value(const page_line& line)
{
    if (line.kind == line_kind::real_field) return *line.real;
    if (line.kind == line_kind::text_field) return *line.text;
    if (is_text_parameter(line)) {
        std::string text(kParamTextChars, ' ');
        movi2t(line.cell, kParamTextWords, text.data());
        return text;
    }
    if (line.kind == line_kind::parameter) return cell_word{*line.cell};
    return *line.integer;
}

void store(const page_line& line, const field_value& value)
{
    if (line.kind == line_kind::real_field) {
        *line.real = std::get<float>(value);
    } else if (line.kind == line_kind::text_field) {
        *line.text = std::get<std::string>(value);
    } else if (is_text_parameter(line)) {
        std::string text = std::get<std::string>(value);
        text.resize(kParamTextChars, ' ');
        movt2i(text.data(), kParamTextWords, line.cell);
    } else if (line.kind == line_kind::parameter) {
        *line.cell = std::get<cell_word>(value).value;
    } else {
        *line.integer = std::get<int>(value);
    }
}

std::string trimmed_text(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string limits_text(const page_line& line)
{
    if (!line.limited) return "";
    return " [" + real_text(line.minimum) + ", " + real_text(line.maximum) + "]";
}

std::string value_text(const page_line& line, const field_value& value)
{
    switch (line.kind) {
    case line_kind::choice: {
        const int v = std::get<int>(value);
        const bool known = v >= 1 && v <= static_cast<int>(line.choices.size());
        return std::to_string(v) + " (" + (known ? choice_name(line.choices[v - 1]) : "none") + ")";
    }
    case line_kind::integer_field: return std::to_string(std::get<int>(value));
    case line_kind::real_field: return real_text(std::get<float>(value));
    case line_kind::text_field: return "\"" + trimmed_text(std::get<std::string>(value)) + "\"";
    case line_kind::parameter: {
        if (line.parameter_kind == kParamText) return "\"" + trimmed_text(std::get<std::string>(value)) + "\"";
        const word w = std::get<cell_word>(value).value;
        if (is_real_parameter(line.parameter_kind)) return real_text(word_to_real(w));
        return std::to_string(w);
    }
    default: return "";
    }
}

std::string unmarked_line_text(std::size_t number, const page_line& line)
{
    const std::string n = std::to_string(number) + " ";
    switch (line.kind) {
    case line_kind::blank: return n + "(blank)";
    case line_kind::text: return n + line.label;
    case line_kind::parameter:
        return n + (line.name.empty() ? "" : line.name + ": ") + "parameter " + line.label + " (kind " +
               std::to_string(line.parameter_kind) + ", relation " + std::to_string(line.relation) +
               ") = " + value_text(line, current_value(line)) + limits_text(line);
    default: return n + line.label + " = " + value_text(line, current_value(line)) + limits_text(line);
    }
}

std::string line_text(std::size_t number, const page_line& line)
{
    return unmarked_line_text(number, line) + (line.marked ? " (marked)" : "");
}

// ---- checking a typed value against the field -------------------------------------------------

bool within_limits(const page_line& line, double value, std::string& why)
{
    if (!line.limited || (value >= line.minimum && value <= line.maximum)) return true;
    why = real_text(value) + (value < line.minimum ? " is below the lower limit " + real_text(line.minimum)
                                                   : " is above the upper limit " + real_text(line.maximum));
    return false;
}

std::optional<int> integer_of(const page_entry& entry, std::string& why)
{
    const double* number = std::get_if<double>(&entry.value);
    if (!number || std::floor(*number) != *number || *number < std::numeric_limits<int>::min() ||
        *number > std::numeric_limits<int>::max()) {
        why = "the field takes an integer";
        return std::nullopt;
    }
    return static_cast<int>(*number);
}

// A real field's value: a finite single-precision number within the line's limits.
std::optional<float> real_of(const page_line& line, const page_entry& entry, std::string& why)
{
    const double* number = std::get_if<double>(&entry.value);
    if (!number) {
        why = "the field takes a number";
        return std::nullopt;
    }
    const float value = static_cast<float>(*number);
    if (!std::isfinite(value)) {
        why = "the number is out of range";
        return std::nullopt;
    }
    if (!within_limits(line, value, why)) return std::nullopt;
    return value;
}

std::optional<field_value> choice_value(const page_line& line, const page_entry& entry, std::string& why)
{
    const int count = static_cast<int>(line.choices.size());
    int chosen = 0;
    if (const std::string* name = std::get_if<std::string>(&entry.value)) {
        for (int i = 0; i < count && chosen == 0; ++i)
            if (choice_name(line.choices[i]) == choice_name(*name)) chosen = i + 1;
        if (chosen == 0) {
            why = "\"" + *name + "\" is not one of the choices";
            return std::nullopt;
        }
    } else {
        const std::optional<int> number = integer_of(entry, why);
        if (!number) return std::nullopt;
        chosen = *number;
    }
    if (chosen < 1 || chosen > count || choice_name(line.choices[chosen - 1]).empty()) {
        why = "choice " + std::to_string(chosen) + " does not exist";
        return std::nullopt;
    }
    return chosen;
}

std::optional<field_value> parameter_value(const page_line& line, const page_entry& entry, std::string& why)
{
    if (line.parameter_kind == kParamText) {
        const std::string* text = std::get_if<std::string>(&entry.value);
        if (!text || text->size() > static_cast<std::size_t>(kParamTextChars)) {
            why = "the field takes a text of at most 20 characters";
            return std::nullopt;
        }
        std::string padded = *text;
        padded.resize(kParamTextChars, ' ');
        return padded;
    }
    if (is_real_parameter(line.parameter_kind)) {
        const std::optional<float> value = real_of(line, entry, why);
        if (!value) return std::nullopt;
        return cell_word{real_to_word(*value)};
    }
    const std::optional<int> number = integer_of(entry, why);
    if (!number) return std::nullopt;
    const bool is_list = line.parameter_kind == kParamListInteger || line.parameter_kind == kParamListChoice;
    if (is_list && *number < 1) {
        why = "choice " + std::to_string(*number) + " does not exist";
        return std::nullopt;
    }
    if (!within_limits(line, *number, why)) return std::nullopt;
    return cell_word{*number};
}

// The value a page entry gives its line; `pending` is the value the line has now, after the
// earlier entries of the same answer.
std::optional<field_value> new_value(const page_line& line, const page_entry& entry, const field_value& pending,
                                     std::string& why)
{
    const bool has_value = !std::holds_alternative<std::monostate>(entry.value);
    if (!has_value) {
        if (line.kind != line_kind::choice) return pending;
        // Selecting a cycling choice moves it on, as a click on it would, over its empty entries.
        const int count = static_cast<int>(line.choices.size());
        int v = std::get<int>(pending);
        for (int tries = 0; tries < count; ++tries) {
            v = (v >= 1 && v < count) ? v + 1 : 1;
            if (!choice_name(line.choices[v - 1]).empty()) return v;
        }
        why = "the choice has no entries";
        return std::nullopt;
    }
    switch (line.kind) {
    case line_kind::choice: return choice_value(line, entry, why);
    case line_kind::integer_field: {
        const std::optional<int> number = integer_of(entry, why);
        if (!number || !within_limits(line, *number, why)) return std::nullopt;
        return *number;
    }
    case line_kind::real_field: {
        const std::optional<float> value = real_of(line, entry, why);
        if (!value) return std::nullopt;
        return *value;
    }
    case line_kind::text_field: {
        const std::string* text = std::get_if<std::string>(&entry.value);
        if (!text || text->size() > static_cast<std::size_t>(line.text_length)) {
            why = "the field takes a text of at most " + std::to_string(line.text_length) + " characters";
            return std::nullopt;
        }
        return *text;
    }
    case line_kind::parameter: return parameter_value(line, entry, why);
    default: why = "the line takes no value"; return std::nullopt;
    }
}

// Applies a page answer when the host takes all of it; `answer` receives the line chosen,
// `changed` the first line whose value changed (0 none) and `shown` the answer as the transcript
// writes it.
bool apply_page_answer(const step& given, int& answer, int& changed, std::string& shown, std::string& why)
{
    std::vector<page_line>& lines = page().lines;
    std::vector<std::optional<field_value>> pending(lines.size());
    for (const page_entry& entry : given.page) {
        if (entry.line <= 0) continue;  // accepting or leaving: always last, never a value
        const std::size_t index = static_cast<std::size_t>(entry.line) - 1;
        if (index >= lines.size()) {
            why = "line " + std::to_string(entry.line) + " is not on the page (" + std::to_string(lines.size()) +
                  " lines)";
            return false;
        }
        const page_line& line = lines[index];
        if (line.kind == line_kind::blank) {
            why = "line " + std::to_string(entry.line) + " is blank";
            return false;
        }
        if (line.kind == line_kind::text) {
            if (!std::holds_alternative<std::monostate>(entry.value)) {
                why = "line " + std::to_string(entry.line) + " takes no value";
                return false;
            }
            continue;  // choosing a text line changes nothing
        }
        const field_value now = pending[index] ? *pending[index] : current_value(line);
        std::string reason;
        std::optional<field_value> value = new_value(line, entry, now, reason);
        if (!value) {
            why = "line " + std::to_string(entry.line) + ": " + reason;
            return false;
        }
        pending[index] = *value;
    }
    shown.clear();
    changed = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!pending[i] || *pending[i] == current_value(lines[i])) continue;
        if (changed == 0) changed = static_cast<int>(i) + 1;
        store(lines[i], *pending[i]);
        shown += "line " + std::to_string(i + 1) + " = " + value_text(lines[i], *pending[i]) + ", ";
    }
    answer = given.page.back().line;
    shown += answer > 0 ? "line " + std::to_string(answer) : std::to_string(answer);
    return true;
}

}  // namespace

void page_clear() { page() = page_state{}; }

std::vector<std::string> page_line_texts()
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < page().lines.size(); ++i) texts.push_back(line_text(i + 1, page().lines[i]));
    return texts;
}

static std::string page_event_text()
{
    std::string text;
    for (const std::string& line : page_line_texts()) text += (text.empty() ? "" : " | ") + line;
    return text;
}

static void reset_page()
{
    page_clear();
    last_form() = control::form_run{};
}

static const bool script_page_registered = register_component({"page", reset_page, nullptr, nullptr, nullptr});

}  // namespace vantu::script

namespace vantu::control {
const form_run& last_form_run() { return script::last_form(); }
}  // namespace vantu::control

using vantu::script::line_kind;
using vantu::script::page_line;

void nu_mod_exec(int kind, int label, int relation, word& value, float minimum, float maximum, int& status)
{
    const std::string args = "kind " + std::to_string(kind) + ", label " + std::to_string(label);
    if (const auto fault = vantu::fault_hit("nu_mod_exec")) {
        status = *fault;
    } else if (!vantu::script::is_known_parameter(kind)) {
        status = -1;
    } else {
        page_line line;
        line.kind = line_kind::parameter;
        line.call = "nu_mod_exec";
        line.label = std::to_string(label);
        line.name = std::string(vantu::parameter_label_text(label));
        line.cell = &value;
        line.parameter_kind = kind;
        line.relation = relation;
        line.minimum = minimum;
        line.maximum = maximum;
        line.limited = kind != vantu::script::kParamText && !(minimum == 0.0f && maximum == 0.0f);
        vantu::script::place(std::move(line));
        status = 0;
    }
    vantu::trace_call("nu_mod_exec", args, status);
}

void modinz()
{
    if (vantu::script::page().closed)
        vantu::script::page().set_aside = true;
    else
        vantu::script::page_clear();
    vantu::trace_call("modinz", "", 0);
}

static void place_text_or_choice(const char* call, std::string_view text, int& value, bool marked = false)
{
    page_line line;
    line.call = call;
    line.label = std::string(text);
    line.integer = &value;
    line.marked = marked;
    if (text.find('@') != std::string_view::npos) {
        line.kind = line_kind::choice;
        line.choices = vantu::script::split_choices(text);
    } else {
        line.kind = line_kind::text;
    }
    vantu::script::place(std::move(line));
    vantu::trace_call(call, text, value);
}

void modmc(std::string_view text, int& value) { place_text_or_choice("modmc", text, value); }
void modmpc(std::string_view text, int& value) { place_text_or_choice("modmpc", text, value); }

// A numeric field with lower and upper limits; the caller points it at its value.
static page_line limited_field(line_kind kind, const char* call, std::string_view label, double minimum, double maximum)
{
    page_line line;
    line.kind = kind;
    line.call = call;
    line.label = std::string(label);
    line.minimum = minimum;
    line.maximum = maximum;
    line.limited = true;
    return line;
}

// A limited real or integer field placed on the page and traced under the call's name.
static void place_real_field(const char* call, std::string_view label, float& value, float minimum, float maximum,
                             bool marked = false)
{
    page_line line = limited_field(line_kind::real_field, call, label, minimum, maximum);
    line.real = &value;
    line.marked = marked;
    vantu::script::place(std::move(line));
    vantu::trace_call(call, label, 0);
}

static void place_integer_field(const char* call, std::string_view label, int& value, int minimum, int maximum,
                                bool marked = false)
{
    page_line line = limited_field(line_kind::integer_field, call, label, minimum, maximum);
    line.integer = &value;
    line.marked = marked;
    vantu::script::place(std::move(line));
    vantu::trace_call(call, label, value);
}

void modrc(std::string_view label, float& value, float minimum, float maximum)
{
    place_real_field("modrc", label, value, minimum, maximum);
}

void modic(std::string_view label, int& value, int minimum, int maximum)
{
    place_integer_field("modic", label, value, minimum, maximum);
}

static void place_blank(const char* call, std::string_view text, int value)
{
    page_line line;
    line.kind = line_kind::blank;
    line.call = call;
    line.label = std::string(text);
    vantu::script::place(std::move(line));
    vantu::trace_call(call, text, value);
}

void modumc(std::string_view text, int value) { place_blank("modumc", text, value); }
void moduc2(std::string_view text, int value) { place_blank("moduc2", text, value); }

void modmc2(std::string_view text, int& value, int marked) { place_text_or_choice("modmc2", text, value, marked != 0); }
void mdmpc2(std::string_view text, int& value, int marked) { place_text_or_choice("mdmpc2", text, value, marked != 0); }

void modic2(std::string_view label, int& value, int minimum, int maximum, int marked)
{
    place_integer_field("modic2", label, value, minimum, maximum, marked != 0);
}

void modrc2(std::string_view label, float& value, float minimum, float maximum, int marked)
{
    place_real_field("modrc2", label, value, minimum, maximum, marked != 0);
}

void setcolr(int colour) { vantu::trace_call("setcolr", std::to_string(colour), 0); }
void modmmc(std::string_view text, int& value)
{
    const std::size_t title_end = text.find('@');
    if (title_end == std::string_view::npos) {
        place_text_or_choice("modmmc", text, value);
        return;
    }
    page_line line;
    line.kind = line_kind::choice;
    line.call = "modmmc";
    line.label = std::string(text);
    line.integer = &value;
    line.choices = vantu::script::split_choices(text.substr(title_end + 1));
    vantu::script::place(std::move(line));
    vantu::trace_call("modmmc", text, value);
}

void modm(std::string_view text)
{
    page_line line;
    line.kind = line_kind::text;
    line.call = "modm";
    line.label = std::string(text);
    vantu::script::place(std::move(line));
    vantu::trace_call("modm", text, 0);
}

void modfc(std::string_view label, float& value, float minimum, float maximum)
{
    place_real_field("modfc", label, value, minimum, maximum);
}

void modfx(std::string_view label, float& value, float minimum, float maximum)
{
    place_real_field("modfx", label, value, minimum, maximum);
}

void modi(std::string_view label, int& value, int minimum, int maximum)
{
    place_integer_field("modi", label, value, minimum, maximum);
}

void mods(std::string_view label, std::string& text, int length)
{
    page_line line;
    line.kind = line_kind::text_field;
    line.call = "mods";
    line.label = std::string(label);
    line.text = &text;
    line.text_length = std::clamp(length, 1, kMaxTextField);
    vantu::script::place(std::move(line));
    vantu::trace_call("mods", label, length);
}

void modclr(int& colour)
{
    page_line line = limited_field(line_kind::integer_field, "modclr", "COLOUR", 0, vantu::script::kLastColour);
    line.integer = &colour;
    vantu::script::place(std::move(line));
    vantu::trace_call("modclr", "", colour);
}

void modcls() { vantu::trace_call("modcls", std::to_string(vantu::script::page().lines.size()), 0); }

void modcom(int& status)
{
    vantu::script::page().closed = true;
    status = 0;
    vantu::trace_call("modcom", "", status);
}

void prcont() { vantu::trace_call("prcont", "", 0); }

// Runs the page from the script: answer_of chooses the status from the step's final line and the
// first line it changed.
static void run_page(std::string_view call, int& status, int (*answer_of)(int final_line, int changed))
{
    namespace script = vantu::script;
    script::page().closed = script::page().set_aside = false;  // the page is shown (again)
    const script::event e{script::event_kind::page, call, script::page_event_text()};
    for (;;) {  // each pass uses up a step, or ends
        const script::step* given = script::find_answer(e);
        if (!given) {
            status = script::kCancel;
            script::answered(e, nullptr, std::to_string(status));
            break;
        }
        std::string shown, why;
        int answer = 0, changed = 0;
        if (script::apply_page_answer(*given, answer, changed, shown, why)) {
            status = answer_of(answer, changed);
            script::answered(e, given, shown);
            break;
        }
        script::refused(e, *given, why);
    }
    vantu::trace_call(call, "", status);
}

void modif1(int& status)
{
    run_page("modif1", status, [](int final_line, int) { return final_line; });
}

void contin(int& status)
{
    run_page("contin", status, [](int final_line, int) { return final_line; });
}

void modifa(int prompt_flag, int& form_word, std::span<const int> watch, int& status)
{
    vantu::script::last_form() = {prompt_flag, form_word, std::vector<int>(watch.begin(), watch.end())};
    run_page("modifa", status, [](int final_line, int changed) { return changed > 0 ? changed : final_line; });
}
