// Control calls of the host's interaction: the script that answers the dialogs, the transcript of
// the interaction events, the mode line and the parameter translations. For the runner and the
// tests only.
//
// ---- Script format ---------------------------------------------------------------------------
// A script is JSON written by hand: an array of steps, or an object
//     {"steps": [...], "rules": [...], "strict": false, "comment": "..."}
// Each step answers one interaction event of the module, in order. A step is an object with
// exactly one kind key, an optional "expect" and an optional "comment":
//   {"menu": 2}                 menu item 2 (1-based); -1 cancel, -2 back
//   {"menu": "STOP"}            the item whose text, without blanks and a ">" at its end, is "STOP"
//   {"question": "yes"}         "yes" 1, "no" 0, "cancel" -1, "back" -2 (or those integers)
//   {"page": 0}                 a parameter page answered with line 0 (Enter); -1 and -2 leave
//   {"page": {"line": 3, "value": 12.5}}
//   {"page": [{"line": 3, "value": 12.5}, {"line": 5, "value": "STOCK"}, {"line": 0}]}
//                               edits applied in order; the last entry's line is the page's
//                               answer. A value sets a field (a number, or the text of a cycling
//                               choice); a line without value selects it (a cycling choice moves
//                               on to its next entry). Lines 0, -1, -2, -3 only come last.
//   {"pick": 17}                entity 17 indicated; "exit" (-1), "back" (-2), "menu" (-3)
//   {"pick": {"block": [3, 57]}}
//                               the tool-path block 57 under the procedure block numbered 3 (the
//                               address 2/3/57 of display.txt) indicated: ncd_get_picked gives it
//   {"point": [10, 20, 0]}      a point (z may be left out: 0); "cancel" (-1), "back" (-2)
//   {"key": "SPACE"}            a key press: "SPACE", "ENTER", "ESC", one character, or a code;
//                               "after": n lets n polls see no key first
//   {"text": "ABC"}             text input; null cancels it
// "expect": a piece of text the event must contain (in its text: menu choices, question, page
// lines; or in the prompt line shown at the time); when it does not, the run ends as a mismatch.
//
// Rules ("rules") have the same form and answer any event of their kind (that contains their
// "expect", when given) that the next step does not answer: standing answers such as
// {"question": "yes", "expect": "UPDATE PROCEDURE?"}. Key rules are refused.
//
// Answering an event: the next step when it is of the event's kind and its "expect" holds; else a
// matching rule; else, when steps are left, the run ends with a script mismatch naming the step
// and both kinds. When the script has run out, the event gets its exit answer (menus and pages
// -1, questions no, picks -1, points cancelled, text cancelled), or in strict mode the run ends
// as a mismatch. Key polls are not questions: a poll takes the next step only when it is a key
// step, and otherwise sees no key without being recorded or counted.
//
// Limits: a scripted value that the host refuses (an item outside the menu, a field value out of
// its limits, a blank line) is recorded as refused and the event is asked again with the next
// step; a refused rule ends the run. At most kDefaultAnswerBudget exit answers are given, and at
// most kRepeatLimit identical events (same kind, call, text and answer) in a row are answered; the
// next one ends the run. Ending a run throws run_aborted out of the host call that asked.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

// ---- script ----------------------------------------------------------------------------------

inline constexpr int kDefaultAnswerBudget = 100;
inline constexpr int kRepeatLimit = 20;

enum class abort_reason { script_mismatch, default_budget, repeated_event };
std::string_view abort_reason_name(abort_reason reason);  // "script mismatch", ...

// Thrown out of an interaction call when the run must end; the runner catches it.
struct run_aborted : std::runtime_error {
    run_aborted(abort_reason why, const std::string& message);
    ~run_aborted() override;
    abort_reason reason;
};

// Installs a script (replacing the one installed; the transcript starts again). Throws part_error
// naming the file and the place ("line 3, column 7", "step 4", "rule 1") on malformed input.
void load_script(const std::string& path);
void load_script_text(std::string_view json_text, const std::string& name_for_errors);
// No script: every event gets its exit answer.
void clear_script();

// Strict: the run ends when an event comes after the script has run out. The script's "strict"
// sets it when loaded; this overrides it.
void set_strict(bool on);
bool strict();

// One interaction event as the transcript shows it.
struct script_event {
    std::string kind;      // "menu", "page", "question", "pick", "point", "key", "text"
    std::string call;      // the host call that asked: "menuc", "modif1", "irepyc", ...
    std::string prompt;    // the prompt line shown at the time (may be empty)
    std::string text;      // menu choices, question, page lines ("1 OFFSET = 0.5 [-500, 10000] | ...";
                           // a parameter field with its name when the stand-in has one: "14 SIDE
                           // STEP: parameter 76 (kind 2, relation 0) = 0.1 [1e-04, 99999]")
    std::string answer;    // what the module got, or why the scripted value was refused
    std::string source;    // "script step 4", "rule 2", "default", or "aborted"
    bool refused = false;  // the scripted value was refused; the event was asked again
};
const std::vector<script_event>& transcript_events();
// One readable line: kind (call) "text" -> answer [source].
std::string transcript_line(const script_event& event);

// Script steps not used yet.
std::size_t events_left();
// Exit answers given since the script was installed.
int default_answers_given();

// The lines of the page being built or run, as in the page event's text.
std::vector<std::string> page_lines();
// What the last modifa was given: prompt flag, form word and watch list.
struct form_run {
    int prompt_flag = 0;
    int form_word = 0;
    std::vector<int> watch;
};
const form_run& last_form_run();
// The entries of the data menu defined last (dminz5, dmdefc).
const std::vector<std::string>& data_menu_entries();

// ---- interaction modes and the mode line ------------------------------------------------------

struct mode_start {
    int mode;
    int row;
    int column;
    int flag;
};
// Every modint that started a mode, in order.
const std::vector<mode_start>& mode_starts();
bool interaction_active();                            // a mode runs (started and not ended)
int current_mode();                                   // mode of the running interaction; 0 when none
int mode_line_output();                               // last ofmod setting: 1 on, 2 off, 0 never set
const std::vector<std::string>& mode_line_prompts();  // ofwric texts, in order

struct highlight_clear {
    int what;
    int set;
};
const std::vector<highlight_clear>& highlight_clears();  // gsclr calls, in order

// ---- parameter translations -------------------------------------------------------------------

struct translation_row {
    int parameter;
    int message;
    int kind;
    int second_message;  // -1 none
};
inline constexpr std::size_t kMaxTranslationRows = 4096;
const std::vector<translation_row>& translation_rows();  // in registration (or sorted) order
bool translations_sorted();                              // nu_trns_sort ran and no row came after it

}  // namespace vantu::control
