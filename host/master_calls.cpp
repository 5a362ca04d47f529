// Stand-in of the host's master resolution and symbol placement calls (host/vantu_masters.hpp):
// the part file name, the part-context stack, external masters resolved from a table given by
// the control interface, views read from their entities, the drawing mode and the list menu.
#include "host/control/masters.hpp"
#include "host/vantu_datafiles.hpp"
#include "host/vantu_entity.hpp"
#include "host/vantu_interact.hpp"
#include "host/vantu_masters.hpp"

#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cctype>
#include <map>
#include <utility>

namespace {

constexpr int kMasterClass = 14, kReferenceType = 2, kViewMasterType = 3, kPatternType = 5;
constexpr int kViewClass = 15;
constexpr int kViewWords = 15;
// Deeper nesting of saved contexts means a caller never restores; refuse rather than grow.
constexpr std::size_t kMaxContexts = 16;

struct master_state {
    std::string part_file;
    std::map<std::pair<std::string, std::string>, int> external;
    bool two_d = false;
    std::array<float, 9> view{1, 0, 0, 0, 1, 0, 0, 0, 1};
    std::vector<std::string> contexts;
};

master_state& state()
{
    static master_state s;
    return s;
}

void reset_state() { state() = master_state{}; }
void report_state(std::vector<std::string>& lines)
{
    if (!state().contexts.empty())
        lines.push_back("svcrpr: " + std::to_string(state().contexts.size()) + " part contexts were never restored");
}
const bool master_calls_registered =
    vantu::register_component({"masters", reset_state, nullptr, nullptr, report_state});

std::string upper(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

// Text of `characters` characters from words [first, first + ceil(characters / 4)); false when
// the words run out.
bool read_text(const std::vector<word>& words, std::size_t& at, int characters, std::string& text)
{
    if (characters < 0 || characters > 512) return false;
    std::size_t count = static_cast<std::size_t>((characters + 3) / 4);
    if (at + count > words.size()) return false;
    text.clear();
    for (std::size_t i = 0; i < count; ++i) text += word_to_text4(words[at + i]);
    text.resize(static_cast<std::size_t>(characters));
    at += count;
    return true;
}

// The file and name a reference master (type 2 or 5) or a view master (type 3) refers to.
bool referred_names(const vantu::entity& e, std::string& file, std::string& name)
{
    std::size_t at = 0;
    if (e.words.empty()) return false;
    int length = e.words[at++];
    if (e.type == kViewMasterType) {
        if (length > 0 && !read_text(e.words, at, length, file)) return false;
        if (at + 3 > e.words.size()) return false;
        ++at;
        return read_text(e.words, at, 6, name);
    }
    if (!read_text(e.words, at, length, file) || at >= e.words.size()) return false;
    int name_length = e.words[at++];
    if (length == 0) {
        std::swap(file, name);
        return true;
    }
    return read_text(e.words, at, name_length, name);
}

const vantu::entity* view_entity(int id)
{
    const vantu::entity* e = vantu::find_entity(id);
    if (!e || e->entity_class != kViewClass || (e->type != 3 && e->type != 4 && e->type != 8)) return nullptr;
    if (e->words.size() < static_cast<std::size_t>(kViewWords)) return nullptr;
    return e;
}

}  // namespace

namespace vantu::control {

void set_part_file_name(std::string name) { state().part_file = std::move(name); }
void add_external_master(const std::string& file, const std::string& name, int resolved_id)
{
    state().external[{upper(file), upper(name)}] = resolved_id;
}
void set_2d_mode(bool on) { state().two_d = on; }
void set_view_matrix(const std::array<float, 9>& matrix) { state().view = matrix; }
int part_context_depth() { return static_cast<int>(state().contexts.size()); }

}  // namespace vantu::control

void gtpfnm(std::string& name)
{
    name = state().part_file;
    vantu::trace_count("gtpfnm");
}

void svcrpr(int& status)
{
    status = 0;
    if (state().contexts.size() >= kMaxContexts)
        status = -1;
    else
        state().contexts.push_back(state().part_file);
    vantu::trace_call("svcrpr", "", status);
}

void rtcrpr(int& status)
{
    status = -1;
    if (!state().contexts.empty()) {
        state().contexts.pop_back();
        status = 0;
    }
    vantu::trace_call("rtcrpr", "", status);
}

void opncat(std::string_view part_file, int& status)
{
    status = fexist(part_file) ? 0 : -1;
    if (auto fault = vantu::fault_hit("opncat")) status = *fault;
    vantu::trace_call("opncat", part_file, status);
}

void setnpf(int master_id, int& resolved_id, int& status)
{
    status = -1;
    const vantu::entity* e = vantu::find_entity(master_id);
    std::string file, name;
    if (e && e->entity_class == kMasterClass &&
        (e->type == kReferenceType || e->type == kPatternType || e->type == kViewMasterType) &&
        referred_names(*e, file, name)) {
        auto found = state().external.find({upper(file), upper(name)});
        if (found != state().external.end()) {
            resolved_id = found->second;
            status = 0;
        }
    }
    if (auto fault = vantu::fault_hit("setnpf")) status = *fault;
    vantu::trace_call("setnpf", std::to_string(master_id), status);
}

void viewtr(int view_id, float (&matrix)[9], float (&origin)[3], int& status)
{
    status = -1;
    if (const vantu::entity* e = view_entity(view_id)) {
        for (int i = 0; i < 9; ++i) matrix[i] = word_to_real(e->words[static_cast<std::size_t>(3 + i)]);
        for (int i = 0; i < 3; ++i) origin[i] = word_to_real(e->words[static_cast<std::size_t>(12 + i)]);
        status = 0;
    }
    vantu::trace_call("viewtr", std::to_string(view_id), status);
}

void gvvnmt(int view_id, std::string& name, int& view_kind, int& status)
{
    status = -1;
    if (const vantu::entity* e = view_entity(view_id)) {
        view_kind = e->words[0];
        name = (word_to_text4(e->words[1]) + word_to_text4(e->words[2])).substr(0, 6);
        status = 0;
    }
    vantu::trace_call("gvvnmt", std::to_string(view_id), status);
}

int d2mode() { return state().two_d ? 1 : 0; }

void wvgetc(std::string_view name, float (&matrix)[9], int& status)
{
    status = -1;
    if (name == "WVPTR") {
        std::copy(state().view.begin(), state().view.end(), matrix);
        status = 0;
    }
    vantu::trace_call("wvgetc", name, status);
}

void slclr() { vantu::trace_count("slclr"); }

void bell() { vantu::trace_call("bell", "", 0); }

void dmsmnu(std::string_view lines, std::string_view status_item, int& choice)
{
    std::string text(lines);
    int line_count = lines.empty() ? 0 : static_cast<int>(std::count(lines.begin(), lines.end(), '@')) + 1;
    if (!status_item.empty()) text += (text.empty() ? "" : "@") + std::string(status_item);
    menuc(text, choice);
    if (!status_item.empty() && choice == line_count + 1) choice = -3;
    vantu::trace_call("dmsmnu", status_item, choice);
}

void gsappl(int mode, int& application)
{
    if (mode == 1) application = vantu::flag_get("application");
    vantu::trace_count("gsappl");
}

void msg_modal(int number, std::string_view text)
{
    vantu::trace_call("msg_modal", std::to_string(number) + " " + std::string(text), 0);
}
