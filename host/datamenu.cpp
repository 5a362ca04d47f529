// The data menu of the host stand-in, answered by the script engine as a menu whose entries are
// numbered only: the stand-in does not hold the entries' texts, so a step must give the entry by
// its number (1 and up) or leave (-1) or stop (-2); a step naming an entry by text is refused
// and the input asked again.
#include "host/vantu_datamenu.hpp"

#include "host/control/script.hpp"
#include "host/core/component.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

#include <string>
#include <vector>

namespace script = vantu::script;

namespace {

// Most entries of one data menu: a screen column of names.
constexpr std::size_t kMaxEntries = 200;

struct data_menu_state {
    int width = 0;
    std::vector<std::string> entries;
};

data_menu_state& state()
{
    static auto* s = new data_menu_state;
    return *s;
}

void reset_state() { state() = data_menu_state{}; }

const bool registered = vantu::register_component({"data_menu", reset_state, nullptr, nullptr, nullptr});

// "data menu", followed by its entries when it has any.
std::string menu_text()
{
    std::string text = "data menu";
    for (std::size_t i = 0; i < state().entries.size(); ++i)
        text += (i == 0 ? ": " : "@") + state().entries[i];
    return text;
}

// The entry a step picks, or false with the reason the host refuses it.
bool data_menu_item(const script::step& given, int& item, std::string& why)
{
    if (!given.choice.empty()) {
        why = "the data menu takes entry numbers, not \"" + given.choice + "\"";
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

void dminz5(int width)
{
    state() = data_menu_state{width < 1 ? 1 : width, {}};
    vantu::trace_call("dminz5", std::to_string(width), 0);
}

void dmdefc(std::string_view text)
{
    const int width = state().width;
    if (state().entries.size() < kMaxEntries)
        state().entries.emplace_back(width > 0 ? text.substr(0, static_cast<std::size_t>(width)) : text);
    vantu::trace_count("dmdefc");
}

void dmshow() { vantu::trace_call("dmshow", std::to_string(state().entries.size()), 0); }

namespace vantu::control {
const std::vector<std::string>& data_menu_entries() { return state().entries; }
}  // namespace vantu::control

void dminpt(int& item, [[maybe_unused]] int* values, int count, int mode)
{
    item = ask_data_menu();
    vantu::trace_call("dminpt", std::to_string(count) + "," + std::to_string(mode), item);
}
