// The data menu of the host stand-in, answered by the script engine as a menu whose entries are
// numbered only: the stand-in does not hold the entries' texts, so a step must give the entry by
// its number (1 and up) or leave (-1) or stop (-2); a step naming an entry by text is refused
// and the input asked again.
#include "host/vantu_datamenu.hpp"

#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

#include <string>

namespace script = vantu::script;

namespace {

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
    const script::event e{script::event_kind::menu, "dminpt", "data menu"};
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

void dminpt(int& item, [[maybe_unused]] int* values, int count, int mode)
{
    item = ask_data_menu();
    vantu::trace_call("dminpt", std::to_string(count) + "," + std::to_string(mode), item);
}
