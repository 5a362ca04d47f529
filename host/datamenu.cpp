// The data menu of the host stand-in, answered by the script engine as a menu. While a dynamic
// menu is shown its entries make the event's text and a step may name one by its text; otherwise
// the stand-in holds no texts, so a step must give the entry by its number (1 and up) or leave
// (-1) or stop (-2); a step the host cannot take is refused and the input asked again.
#include "host/vantu_datamenu.hpp"

#include "host/control/datamenu.hpp"
#include "host/core/component.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

#include <string>
#include <vector>

namespace script = vantu::script;

namespace {

constexpr int kMostEntries = 40;

struct dynamic_menu {
    std::vector<std::string> entries;
    std::vector<int> marks;     // dmatt attribute per entry
    bool shown = false;
};

dynamic_menu& menu()
{
    static auto* m = new dynamic_menu;
    return *m;
}

void reset_menu() { menu() = dynamic_menu{}; }

const bool registered = vantu::register_component({"datamenu", reset_menu, nullptr, nullptr, nullptr});

std::string menu_text()
{
    std::string text;
    for (std::size_t i = 0; i < menu().entries.size(); ++i) text += (i ? "@" : "") + menu().entries[i];
    return text;
}

// The entry a step picks, or false with the reason the host refuses it.
bool data_menu_item(const script::step& given, int& item, std::string& why)
{
    const dynamic_menu& m = menu();
    if (!given.choice.empty()) {
        for (std::size_t i = 0; m.shown && i < m.entries.size(); ++i) {
            if (script::choice_name(m.entries[i]) == script::choice_name(given.choice)) {
                item = static_cast<int>(i) + 1;
                return true;
            }
        }
        why = m.shown ? "\"" + given.choice + "\" is not an entry of the dynamic menu"
                      : "the data menu takes entry numbers, not \"" + given.choice + "\"";
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
    const script::event e{script::event_kind::menu, "dminpt", menu().shown ? menu_text() : "data menu"};
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
std::vector<std::string> dynamic_menu_entries() { return menu().entries; }
std::vector<int> dynamic_menu_marks() { return menu().marks; }
bool dynamic_menu_shown() { return menu().shown; }
}  // namespace vantu::control

void dminpt(int& item, [[maybe_unused]] int* values, int count, int mode)
{
    item = ask_data_menu();
    vantu::trace_call("dminpt", std::to_string(count) + "," + std::to_string(mode), item);
}

void dmmini()
{
    menu() = dynamic_menu{};
    vantu::trace_call("dmmini", "", 0);
}

void dmdefn(int item, std::string_view text, int& status)
{
    status = -1;
    if (item >= 1 && item <= kMostEntries) {
        dynamic_menu& m = menu();
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
    menu().shown = true;
    vantu::trace_call("dmshow", menu_text(), 0);
}

void dmatt(int item, int attribute)
{
    dynamic_menu& m = menu();
    if (item >= 1 && item <= static_cast<int>(m.marks.size())) m.marks[static_cast<std::size_t>(item - 1)] = attribute;
    vantu::trace_call("dmatt", std::to_string(item) + "," + std::to_string(attribute), 0);
}
