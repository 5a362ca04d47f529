// The machine status line and the host's copies of the NC state blocks
// (host/vantu_statusline.hpp). Display state of the session, not saved in the part.
#include "host/vantu_statusline.hpp"

#include "host/control/status_line.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <string>

namespace {

struct field_text {
    std::string text = std::string(kStatusFieldChars, ' ');
    bool flag = false;
};

struct status_state {
    std::map<int, std::array<field_text, kStatusFields + 1>> windows;
    int paints = 0, open = 0;
    std::map<std::string, std::vector<word>> blocks;
    int name_length = 0;
};

status_state& state()
{
    static auto* s = new status_state;
    return *s;
}

void reset_state() { state() = status_state{}; }

const bool status_line_registered = vantu::register_component({"status_line", reset_state, nullptr, nullptr, nullptr});

void hand_block(const char* call, const char* name, int mode, word* words, int count)
{
    vantu::trace_count(call);
    if (!words || count <= 0) return;
    std::vector<word>& kept = state().blocks[name];
    if (mode == 2)
        kept.assign(words, words + count);
    else if (mode == 1)
        std::copy_n(kept.begin(), std::min(count, static_cast<int>(kept.size())), words);
}

}  // namespace

void bmshow(int window, int group, int field, std::string_view text, int flag, int length)
{
    vantu::trace_count("bmshow");
    (void)group;
    if (field < 1 || field > kStatusFields) return;
    std::string shown(text.substr(0, static_cast<std::size_t>(std::clamp(length, 0, kStatusFieldChars))));
    shown.resize(kStatusFieldChars, ' ');
    field_text& f = state().windows[window][static_cast<std::size_t>(field)];
    f.text = shown;
    f.flag = flag == 1;
}

void win_start_paint_on_main_wnd()
{
    ++state().paints;
    ++state().open;
    vantu::trace_count("win_start_paint_on_main_wnd");
}

void win_end_paint_on_main_wnd()
{
    if (state().open > 0) --state().open;
    vantu::trace_count("win_end_paint_on_main_wnd");
}

void grpupd(int mode) { vantu::trace_count(mode == 0 ? "grpupd" : "grpupd later"); }

void gsncpt(int mode, word* words, int count) { hand_block("gsncpt", "NPT1", mode, words, count); }
void gsdisp(int mode, word* words, int count) { hand_block("gsdisp", "DSP8", mode, words, count); }
void gsdism(int mode, word* words, int count) { hand_block("gsdism", "DSM4", mode, words, count); }
void gsmach(int mode, word* words, int count) { hand_block("gsmach", "PRM9", mode, words, count); }
void gstlpr(int mode, word* words, int count) { hand_block("gstlpr", "TOOL", mode, words, count); }
void gsrtxs(int mode, word* words, int count) { hand_block("gsrtxs", "RAXN", mode, words, count); }

void gstlgn2(int mode, int& length)
{
    if (mode == 2)
        state().name_length = length;
    else if (mode == 1)
        length = state().name_length;
    vantu::trace_count("gstlgn2");
}

namespace vantu::control {

std::string status_field(int window, int field)
{
    auto it = state().windows.find(window);
    if (it == state().windows.end() || field < 1 || field > kStatusFields) return std::string(kStatusFieldChars, ' ');
    return it->second[static_cast<std::size_t>(field)].text;
}

bool status_field_flag(int window, int field)
{
    auto it = state().windows.find(window);
    return it != state().windows.end() && field >= 1 && field <= kStatusFields &&
           it->second[static_cast<std::size_t>(field)].flag;
}

std::vector<int> status_windows()
{
    std::vector<int> windows;
    for (const auto& [window, fields] : state().windows) windows.push_back(window);
    return windows;
}

std::string status_line_text()
{
    std::string text;
    for (const auto& [window, fields] : state().windows) {
        text += "status line " + std::to_string(window) + ": |";
        for (int f = 1; f <= kStatusFields; ++f) text += fields[static_cast<std::size_t>(f)].text + "|";
        text += '\n';
    }
    return text;
}

int status_paints() { return state().paints; }
int status_paints_open() { return state().open; }

std::vector<word> nc_block_copy(const std::string& name)
{
    auto it = state().blocks.find(name);
    return it == state().blocks.end() ? std::vector<word>{} : it->second;
}

}  // namespace vantu::control
