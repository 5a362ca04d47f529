// The data menu of the host stand-in, answered by the script engine as a menu. Its entries come
// from dminz5/dmdefc (a column of names cut to a width) or dmmini/dmdefn (a dynamic menu of up to
// 40 numbered entries, marked by dmatt); once it has entries, the event's text lists them and a
// step may name one by its text. Without entries the stand-in holds no texts, so a step must give
// the entry by its number (1 and up) or leave (-1) or stop (-2); a step the host cannot take is
// refused and the input asked again.
#include "host/vantu_datamenu.hpp"

#include "host/control/datamenu.hpp"
#include "host/control/script.hpp"
#include "host/core/component.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

#include <string>
#include <vector>

namespace script = vantu::script;

namespace {

// Most entries of a column of names, and of a dynamic menu (numbered 1 to 40).
constexpr std::size_t kMaxEntries = 200;
constexpr int kMostNumbered = 40;

struct data_menu_state {
    int width = 0;  // dmdefc cuts entries to it; 0: no cut
    std::vector<std::string> entries;
    std::vector<int> marks;  // dmatt attribute per entry
    bool shown = false;
};

data_menu_state& state()
{
    static auto* s = new data_menu_state;
    return *s;
}

void reset_state() { state() = data_menu_state{}; }

const bool datamenu_registered = vantu::register_component({"data_menu", reset_state, nullptr, nullptr, nullptr});

std::string entries_text()
{
    std::string text;
    for (std::size_t i = 0; i < state().entries.size(); ++i) text += (i ? "@" : "") + state().entries[i];
    return text;
}

// "data menu", followed by its entries when it has any.
std::string menu_text() { return state().entries.empty() ? std::string("data menu") : "data menu: " + entries_text(); }

// The entry a step picks, or false with the reason the host refuses it.
bool data_menu_item(const script::step& given, int& item, std::string& why)
{
    const data_menu_state& m = state();
    if (!given.choice.empty()) {
        for (std::size_t i = 0; i < m.entries.size(); ++i) {
            if (script::choice_name(m.entries[i]) == script::choice_name(given.choice)) {
                item = static_cast<int>(i) + 1;
                return true;
            }
        }
        why = m.entries.empty() ? "the data menu takes entry numbers, not \"" + given.choice + "\""
                                : "\"" + given.choice + "\" is not an entry of the data menu";
        return false;
    }
    if (given.code == 0 || given.code < script::kBack) {
        why = "entry " + std::to_string(given.code) + " is not in the data menu";
        return false;
    }
    item = given.code;
    return true;
}

int ask_data_menu()
{
    const script::event e{script::event_kind::menu, "dminpt", menu_text()};
    for (;;) {  // each pass uses up a step, or ends
        const script::step* given = script::find_answer(e);
        if (!given) {
            script::answered(e, nullptr, std::to_string(script::kCancel));
            return script::kCancel;
        }
        int item = 0;
        std::string why;
        if (data_menu_item(*given, item, why)) {
            script::answered(e, given, std::to_string(item));
            return item;
        }
        script::refused(e, *given, why);
    }
}

}  // namespace

namespace vantu::control {
const std::vector<std::string>& data_menu_entries() { return state().entries; }
std::vector<std::string> dynamic_menu_entries() { return state().entries; }
std::vector<int> dynamic_menu_marks() { return state().marks; }
bool dynamic_menu_shown() { return state().shown; }
}  // namespace vantu::control

void dminz5(int width)
{
    state() = data_menu_state{width < 1 ? 1 : width, {}, {}, false};
    vantu::trace_call("dminz5", std::to_string(width), 0);
}

void dmdefc(std::string_view text)
{
    data_menu_state& m = state();
    if (m.entries.size() < kMaxEntries) {
        m.entries.emplace_back(m.width > 0 ? text.substr(0, static_cast<std::size_t>(m.width)) : text);
        m.marks.push_back(0);
    }
    vantu::trace_count("dmdefc");
}

void dmmini()
{
    state() = data_menu_state{};
    vantu::trace_call("dmmini", "", 0);
}

void dmdefn(int item, std::string_view text, int& status)
{
    status = -1;
    if (item >= 1 && item <= kMostNumbered) {
        data_menu_state& m = state();
        if (static_cast<int>(m.entries.size()) < item) {
            m.entries.resize(static_cast<std::size_t>(item));
            m.marks.resize(static_cast<std::size_t>(item), 0);
        }
        m.entries[static_cast<std::size_t>(item - 1)] = std::string(text);
        status = 0;
    }
    vantu::trace_call("dmdefn", std::to_string(item) + "," + std::string(text), status);
}

void dmshow()
{
    state().shown = true;
    vantu::trace_call("dmshow", entries_text(), 0);
}

void dmatt(int item, int attribute)
{
    data_menu_state& m = state();
    if (item >= 1 && item <= static_cast<int>(m.marks.size())) m.marks[static_cast<std::size_t>(item - 1)] = attribute;
    vantu::trace_call("dmatt", std::to_string(item) + "," + std::to_string(attribute), 0);
}

void dminpt(int& item, [[maybe_unused]] int* values, int count, int mode)
{
    item = ask_data_menu();
    vantu::trace_call("dminpt", std::to_string(count) + "," + std::to_string(mode), item);
}
