// The host's dialogs other than the parameter page: menus, yes/no questions, entity picks,
// indicated points, key polls and text input, each answered by the script engine. A scripted
// answer the host would not take (an item outside the menu, a text longer than the input) is
// refused and the dialog is asked again.
#include "host/vantu_interact.hpp"
#include "host/vantu_pick_menus.hpp"
#include "host/vantu_selection.hpp"
#include "host/vantu_textfiles.hpp"

#include "host/control/ncd_file.hpp"
#include "host/core/catalogue.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/trace.hpp"

namespace script = vantu::script;

namespace {

std::string answer_code_text(int code)
{
    switch (code) {
    case script::kYes: return "1 (yes)";
    case script::kNo: return "0 (no)";
    case script::kCancel: return "-1 (cancel)";
    case script::kBack: return "-2 (back)";
    default: return std::to_string(code);
    }
}

// The item a menu step chooses, or false with the reason the host refuses it.
bool menu_item(const script::step& given, const std::vector<std::string>& choices, int& item, std::string& why)
{
    const int count = static_cast<int>(choices.size());
    if (!given.choice.empty()) {
        for (int i = 0; i < count; ++i) {
            if (script::choice_name(choices[i]) == script::choice_name(given.choice)) {
                item = i + 1;
                return true;
            }
        }
        why = "\"" + given.choice + "\" is not one of the menu's choices";
        return false;
    }
    item = given.code;
    if (item == script::kCancel || item == script::kBack) return true;
    if (item < 1 || item > count) {
        why = "item " + std::to_string(item) + " is not in the menu (" + std::to_string(count) + " items)";
        return false;
    }
    if (script::choice_name(choices[item - 1]).empty()) {
        why = "item " + std::to_string(item) + " is empty";
        return false;
    }
    return true;
}

int ask_menu(std::string_view call, std::string_view text)
{
    const script::event e{script::event_kind::menu, call, std::string(text)};
    const std::vector<std::string> choices = script::split_choices(text);
    for (;;) {  // each pass uses up a step, or ends
        const script::step* given = script::find_answer(e);
        if (!given) {
            script::answered(e, nullptr, answer_code_text(script::kCancel));
            return script::kCancel;
        }
        int item = 0;
        std::string why;
        if (menu_item(*given, choices, item, why)) {
            const std::string shown = item > 0
                                          ? std::to_string(item) + " (" + script::choice_name(choices[item - 1]) + ")"
                                          : answer_code_text(item);
            script::answered(e, given, shown);
            return item;
        }
        script::refused(e, *given, why);
    }
}

// Yes/no questions take every scripted answer (the script reader allows only the four codes).
int ask_question(std::string_view call, std::string text, int exit_answer)
{
    const script::event e{script::event_kind::question, call, std::move(text)};
    const script::step* given = script::find_answer(e);
    const int answer = given ? given->code : exit_answer;
    script::answered(e, given, answer_code_text(answer));
    return answer;
}

}  // namespace

void menuc(std::string_view text, int& choice)
{
    choice = ask_menu("menuc", text);
    vantu::trace_call("menuc", text, choice);
}

void topopc(std::string_view text, int& choice)
{
    choice = ask_menu("topopc", text);
    vantu::trace_call("topopc", text, choice);
}

void topopt(std::string_view text, int& choice)
{
    choice = ask_menu("topopt", text);
    vantu::trace_call("topopt", text, choice);
}

void pdmenc(std::string_view text, int& choice)
{
    choice = ask_menu("pdmenc", text);
    vantu::trace_call("pdmenc", text, choice);
}

void pdmpac(const char* text, int& choice)
{
    const std::string_view shown = text ? text : "";
    choice = ask_menu("pdmpac", shown);
    vantu::trace_call("pdmpac", shown, choice);
}

void irepyc(std::string_view question, int& answer)
{
    answer = ask_question("irepyc", std::string(question), script::kNo);
    vantu::trace_call("irepyc", question, answer);
}

void inqflw(std::string_view name, int& answer)
{
    const std::string text = "FILE " + std::string(name) + " EXISTS. OVERWRITE?";
    answer = ask_question("inqflw", text, script::kNo);
    vantu::trace_call("inqflw", text, answer);
}

void irply1(std::string_view question, std::string_view choice, int& answer)
{
    std::string_view shown = choice;
    if (!shown.empty() && shown.back() == '@') shown.remove_suffix(1);
    const std::string text = std::string(question) + " " + std::string(shown);
    answer = ask_question("irply1", text, script::kNo);
    vantu::trace_call("irply1", text, answer);
}

void rplyal(std::string_view question, int& answer)
{
    answer = ask_question("rplyal", std::string(question), script::kNo);
    vantu::trace_call("rplyal", question, answer);
}

void msg_quest(int group, int number, int& answer)
{
    const std::string key = std::to_string(group) + "/" + std::to_string(number);
    const std::string_view text = vantu::catalogue_text(group, number);
    answer = ask_question("msg_quest", "question " + key + (text.empty() ? "" : " " + std::string(text)), script::kNo);
    vantu::trace_call("msg_quest", key, answer);
}

void pick(int& choice, int& entity)
{
    const script::event e{script::event_kind::pick, "pick", "pick an entity"};
    const script::step* given = script::find_answer(e);
    if (given && given->block) {
        const auto [procedure_block, block] = *given->block;
        choice = 0;
        entity = 0;
        vantu::control::set_picked_key_block(procedure_block, 2, block);
        script::answered(e, given, "block " + std::to_string(procedure_block) + "/" + std::to_string(block));
    } else if (given && given->code > 0) {
        choice = 0;
        entity = given->code;
        script::answered(e, given, "entity " + std::to_string(entity));
    } else {
        choice = given ? given->code : script::kCancel;
        script::answered(e, given, answer_code_text(choice));
    }
    vantu::trace_call("pick", "", choice);
}

void setir() { vantu::trace_call("setir", "", 0); }
void enatpo() { vantu::trace_call("enatpo", "", 0); }
void setatn(int on) { vantu::trace_call("setatn", std::to_string(on), 0); }

void getpt(float (&point)[3], int mode, int& status)
{
    const script::event e{script::event_kind::point, "getpt", "indicate a point (mode " + std::to_string(mode) + ")"};
    const script::step* given = script::find_answer(e);
    status = given ? given->code : script::kCancel;
    if (status == 0) {
        for (int i = 0; i < 3; ++i) point[i] = static_cast<float>(given->point[i]);
        script::answered(e, given,
                         "(" + script::real_text(point[0]) + ", " + script::real_text(point[1]) + ", " +
                             script::real_text(point[2]) + ")");
    } else {
        script::answered(e, given, answer_code_text(status));
    }
    vantu::trace_call("getpt", std::to_string(mode), status);
}

void gupdat(int& key)
{
    // Polls come after every displayed motion: counted, not recorded, unless a key is pressed.
    const int pressed = script::poll_key("gupdat");
    if (pressed > 0) key = pressed;
    vantu::trace_count("gupdat");
}

void modkey(int& key)
{
    key = script::poll_key("modkey");
    vantu::trace_count("modkey");
}

void rtexts(int capacity, std::string& text, int& count)
{
    script::read_text(
        "rtexts", capacity,
        [](std::size_t length, int limit) {
            return "the text has " + std::to_string(length) + " characters, the input takes at most " +
                   std::to_string(limit);
        },
        text, count);
    vantu::trace_call("rtexts", std::to_string(capacity), count);
}
