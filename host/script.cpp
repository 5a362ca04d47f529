// The script engine: which step answers an event, the transcript of every event, and the two
// guards that end a runaway run (the exit-answer budget and the repeat limit). The dialog calls
// (dialogs.cpp, script_page.cpp) ask it; the runner and the tests install scripts through the
// control calls at the end of this file.
#include "host/core/script_engine.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/message_log.hpp"

#include <fstream>
#include <sstream>

namespace vantu::script {

namespace {

struct engine_state {
    std::string name;  // the script's file name, for reports
    std::vector<step> steps;
    std::vector<step> rules;
    std::size_t next = 0;  // index of the next step to use
    bool strict = false;
    int key_polls_waited = 0;  // polls that saw no key while the next step waits "after"
    int defaults_given = 0;
    int repeat_run = 0;          // identical events in a row, the last one included
    std::string last_signature;  // kind, call, text and answer of the last answered event
    std::vector<control::script_event> events;
    std::size_t messages_seen = 0;  // how far the message log was read for prompts
    std::string prompt;             // the prompt line shown now
};

engine_state& state()
{
    static engine_state s;
    return s;
}

// The prompt line is written through the message calls (prmptc, msg_prompt); it is read from the
// message log as far as it has grown since the last event.
void update_prompt()
{
    engine_state& s = state();
    const std::vector<control::message>& log = control::messages();
    if (s.messages_seen > log.size()) s.messages_seen = 0;  // the log was cleared
    for (; s.messages_seen < log.size(); ++s.messages_seen) {
        const control::message& m = log[s.messages_seen];
        if (m.channel == "prmptc" || m.channel == "msg_prompt" || m.channel == "prmpxc") s.prompt = m.line;
    }
}

bool contains(std::string_view haystack, std::string_view needle)
{
    return haystack.find(needle) != std::string_view::npos;
}

bool expect_holds(const step& s, const event& e)
{
    return s.expect.empty() || contains(e.text, s.expect) || contains(state().prompt, s.expect);
}

const step* matching_rule(const event& e)
{
    for (const step& r : state().rules)
        if (r.kind == e.kind && expect_holds(r, e)) return &r;
    return nullptr;
}

std::string in_quotes(std::string_view text)
{
    constexpr std::size_t kShown = 160;  // a page's lines can be long; the report shows a start
    std::string shown(text.substr(0, kShown));
    if (text.size() > kShown) shown += "...";
    return "\"" + shown + "\"";
}

std::string event_description(const event& e)
{
    return std::string(kind_name(e.kind)) + " (" + std::string(e.call) + ") " + in_quotes(e.text);
}

void record(const event& e, std::string_view answer, std::string source, bool was_refused)
{
    engine_state& s = state();
    control::script_event recorded{std::string(kind_name(e.kind)),
                                   std::string(e.call),
                                   s.prompt,
                                   e.text,
                                   std::string(answer),
                                   std::move(source),
                                   was_refused};
    record_message(e.call, e.text, control::transcript_line(recorded));
    s.events.push_back(std::move(recorded));
}

[[noreturn]] void abort_run(const event& e, control::abort_reason why, const std::string& message)
{
    record(e, "(run aborted)", "aborted", false);
    throw control::run_aborted(why, state().name + ": " + message);
}

[[noreturn]] void mismatch(const event& e, const std::string& message)
{
    abort_run(e, control::abort_reason::script_mismatch, "script mismatch: " + message);
}

}  // namespace

std::string step_name(const step& s) { return (s.is_rule ? "rule " : "script step ") + std::to_string(s.number); }

void install_script(parsed_script script, std::string name)
{
    engine_state& s = state();
    s = engine_state{};
    s.name = std::move(name);
    s.steps = std::move(script.steps);
    s.rules = std::move(script.rules);
    s.strict = script.strict;
}

const step* find_answer(const event& e)
{
    engine_state& s = state();
    update_prompt();
    if (s.next < s.steps.size()) {
        const step& next = s.steps[s.next];
        if (next.kind == e.kind && expect_holds(next, e)) {
            ++s.next;
            s.key_polls_waited = 0;
            return &next;
        }
        if (const step* rule = matching_rule(e)) return rule;
        if (next.kind != e.kind)
            mismatch(e, "step " + std::to_string(next.number) + " answers a " + std::string(kind_name(next.kind)) +
                            " but the module asks a " + event_description(e));
        mismatch(e, "step " + std::to_string(next.number) + " expects " + in_quotes(next.expect) +
                        " but the module asks a " + event_description(e) + " with prompt " + in_quotes(s.prompt));
    }
    if (const step* rule = matching_rule(e)) return rule;
    if (s.strict)
        mismatch(e, "the script ended after step " + std::to_string(s.steps.size()) + " but the module asks a " +
                        event_description(e));
    if (s.defaults_given >= control::kDefaultAnswerBudget)
        abort_run(e, control::abort_reason::default_budget,
                  "default budget exhausted: " + std::to_string(control::kDefaultAnswerBudget) +
                      " exit answers were given after the script ran out and the module still asks a " +
                      event_description(e));
    ++s.defaults_given;
    return nullptr;
}

void answered(const event& e, const step* given, std::string_view answer)
{
    engine_state& s = state();
    std::string signature =
        std::string(kind_name(e.kind)) + '\n' + std::string(e.call) + '\n' + e.text + '\n' + std::string(answer);
    if (signature == s.last_signature) {
        ++s.repeat_run;
    } else {
        s.repeat_run = 1;
        s.last_signature = std::move(signature);
    }
    if (s.repeat_run > control::kRepeatLimit)
        abort_run(e, control::abort_reason::repeated_event,
                  "repeated event: the module asked the same " + event_description(e) + " and got the same answer " +
                      std::string(answer) + " " + std::to_string(control::kRepeatLimit) + " times in a row");
    record(e, answer, given ? step_name(*given) : "default", false);
}

void refused(const event& e, const step& given, std::string_view reason)
{
    record(e, "refused: " + std::string(reason), step_name(given), true);
    if (given.is_rule) mismatch(e, step_name(given) + " gives a value the host refuses: " + std::string(reason));
}

void read_text(std::string_view call, int capacity, std::string (*too_long)(std::size_t length, int capacity),
               std::string& text, int& count)
{
    const event e{event_kind::text, call, "text of at most " + std::to_string(capacity) + " characters"};
    for (;;) {  // each pass uses up a step, or ends
        const step* given = find_answer(e);
        if (!given || given->code == kCancel) {
            count = kCancel;
            answered(e, given, "-1 (cancel)");
            return;
        }
        if (capacity >= 0 && given->choice.size() <= static_cast<std::size_t>(capacity)) {
            text = given->choice;
            count = static_cast<int>(text.size());
            answered(e, given, "\"" + text + "\"");
            return;
        }
        refused(e, *given, too_long(given->choice.size(), capacity));
    }
}

int poll_key(std::string_view call)
{
    engine_state& s = state();
    if (s.next >= s.steps.size() || s.steps[s.next].kind != event_kind::key) return 0;
    const step& next = s.steps[s.next];
    if (s.key_polls_waited < next.after) {
        ++s.key_polls_waited;
        return 0;
    }
    update_prompt();
    ++s.next;
    s.key_polls_waited = 0;
    const event e{event_kind::key, call, "key poll"};
    answered(e, &next, "key " + std::to_string(next.code));
    return next.code;
}

static void reset_engine() { state() = engine_state{}; }

static void report_unused_steps(std::vector<std::string>& lines)
{
    const engine_state& s = state();
    if (s.next >= s.steps.size()) return;
    const std::size_t unused = s.steps.size() - s.next;
    const step& first = s.steps[s.next];
    lines.push_back("script " + s.name + ": " + std::to_string(unused) + (unused == 1 ? " step" : " steps") +
                    " not used, the first is step " + std::to_string(first.number) + " (" +
                    std::string(kind_name(first.kind)) + ")");
}

static const bool script_registered =
    register_component({"script", reset_engine, nullptr, nullptr, report_unused_steps});

}  // namespace vantu::script

namespace vantu::control {

std::string_view abort_reason_name(abort_reason reason)
{
    switch (reason) {
    case abort_reason::script_mismatch: return "script mismatch";
    case abort_reason::default_budget: return "default budget exhausted";
    case abort_reason::repeated_event: return "repeated event";
    }
    return "unknown";
}

run_aborted::run_aborted(abort_reason why, const std::string& message) : std::runtime_error(message), reason(why) {}

run_aborted::~run_aborted() = default;

void load_script_text(std::string_view json_text, const std::string& name_for_errors)
{
    script::install_script(script::parse_script(json_text, name_for_errors), name_for_errors);
}

void load_script(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw part_error(path + ": cannot be opened");
    std::stringstream text;
    text << in.rdbuf();
    load_script_text(text.str(), path);
}

void clear_script() { script::install_script({}, ""); }

void set_strict(bool on) { script::state().strict = on; }
bool strict() { return script::state().strict; }

const std::vector<script_event>& transcript_events() { return script::state().events; }

std::string transcript_line(const script_event& event)
{
    std::string line = event.kind + " (" + event.call + ")";
    if (!event.prompt.empty()) line += " after prompt \"" + event.prompt + "\"";
    line += " \"" + event.text + "\" -> " + event.answer + " [" + event.source + "]";
    return line;
}

std::size_t events_left()
{
    const auto& s = script::state();
    return s.next < s.steps.size() ? s.steps.size() - s.next : 0;
}

int default_answers_given() { return script::state().defaults_given; }

std::vector<std::string> page_lines() { return script::page_line_texts(); }

}  // namespace vantu::control
