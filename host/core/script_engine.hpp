// The script engine behind the host's interaction calls. A dialog call describes its event (kind,
// call name, text), asks find_answer() for the step that answers it, interprets the step against
// its own menu or page, and reports back with answered() or refused(). The engine keeps the
// script, the transcript, the exit-answer budget and the repeat count, and ends runaway runs by
// throwing control::run_aborted. Internal to the host; the script format is documented in
// host/control/script.hpp.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace vantu::script {

enum class event_kind { menu, page, question, pick, point, key, text };
std::string_view kind_name(event_kind kind);

// Answer codes shared by the steps and the calls.
inline constexpr int kYes = 1, kNo = 0, kCancel = -1, kBack = -2;
inline constexpr int kPickMenu = -3;
inline constexpr int kSpaceKey = 32;

// One edit of a page answer: a line and, optionally, the value typed into it.
struct page_entry {
    int line = 0;
    std::variant<std::monostate, double, std::string> value;
};

// One step or rule as the person wrote it. Values are checked against the event when it comes
// (an item against the menu's choices, a field value against its limits).
struct step {
    event_kind kind = event_kind::menu;
    int number = 0;  // 1-based place in "steps", or in "rules"
    bool is_rule = false;
    std::string expect;  // the event's text or prompt must contain it; empty: any event
    // menu: item (1-based, kCancel, kBack) unless `choice` names it; question: kYes, kNo,
    // kCancel, kBack; pick: entity id (> 0) or kCancel, kBack, kPickMenu; point: 0 with `point`,
    // or kCancel, kBack; key: key code; text: 0 with `choice` as the text, kCancel cancelled.
    int code = 0;
    std::string choice;  // menu: the item given by its text; text: the text typed
    std::array<double, 3> point{};
    std::vector<page_entry> page;  // edits in order; the last entry's line is the answer
    int after = 0;                 // key: polls that see no key before this one answers
    // pick of a tool-path block: its procedure block's number and its own block number (code 0)
    std::optional<std::array<int, 2>> block;
};

// "script step 4" or "rule 2".
std::string step_name(const step& s);

// A script as parsed from its JSON text (script_load.cpp).
struct parsed_script {
    std::vector<step> steps;
    std::vector<step> rules;
    bool strict = false;
};
// Throws control::part_error naming `name` and the place of the fault.
parsed_script parse_script(std::string_view json_text, const std::string& name);
// Replaces the installed script; the transcript and the budgets start again.
void install_script(parsed_script script, std::string name);

// An event a dialog call asks about.
struct event {
    event_kind kind;
    std::string_view call;  // the host call: "menuc", "modif1", ...
    std::string text;       // menu choices, question, page lines
};

// The step or rule that answers the event (used up when it is a step), or null when the event
// gets its exit answer. Throws control::run_aborted on a mismatch, in strict mode when the script
// has run out, and when the exit-answer budget is spent.
const step* find_answer(const event& e);

// Records the answer the module gets (`given` as returned by find_answer). Throws
// control::run_aborted when this makes one identical event too many in a row.
void answered(const event& e, const step* given, std::string_view answer);

// Records that the host refused the step's value; a refused rule ends the run (it would be
// refused again at once).
void refused(const event& e, const step& given, std::string_view reason);

// A text of at most `capacity` characters asked by the call: the answer's text and its length in
// count (kCancel when cancelled or unanswered). A longer text is refused with the reason that
// `too_long` gives for its length, and the next step answers.
void read_text(std::string_view call, int capacity, std::string (*too_long)(std::size_t length, int capacity),
               std::string& text, int& count);

// A key poll: the key code of the next step when it is a key step whose wait is over, else 0
// (no key; nothing recorded).
int poll_key(std::string_view call);

// ---- the parameter page (script_page.cpp) ------------------------------------------------------

// Forgets the page's lines: a new interaction starts an empty page.
void page_clear();
std::vector<std::string> page_line_texts();

// ---- text helpers shared by the dialog calls -----------------------------------------------------

// Choices of a menu text separated by "@", as written.
std::vector<std::string> split_choices(std::string_view text);
// A choice without its trailing blanks and cycling mark ">" and leading blanks: "PART".
std::string choice_name(std::string_view choice);
// A real as the transcript shows it: shortest text that reads back to the same float.
std::string real_text(double value);

}  // namespace vantu::script
