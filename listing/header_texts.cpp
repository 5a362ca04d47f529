// The tool-path header fields and the procedure status text (see the header).
#include "listing/header_texts.hpp"

#include "host/vantu.hpp"
#include "nc_services/fnc_names.hpp"
#include "nc_services/mch_type_name.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/optimizer_params.hpp"
#include "toolpath/tp_size.hpp"

#include <cstring>
#include <vector>

namespace {

constexpr int kField = 22, kGap = 1, kSizeDigits = 15;
constexpr int kFourAxis = 25;
constexpr int kStatusChars = 19;
constexpr int kSuspended = 2, kInterrupted = 3, kShownSmall = 4;

std::string field(std::string_view label, std::string_view value)
{
    std::string out;
    int length = 0;
    maktx5(kGap, label, "=", value, kField, out, length);
    return out;
}

std::string name_of_words(word first, word second)
{
    char chars[8];
    std::memcpy(chars, &first, 4);
    std::memcpy(chars + 4, &second, 4);
    return std::string(chars, 8);
}

std::string type_field(int machine_type, int axes_kind)
{
    std::string name;
    mch_type_name(machine_type, name);
    if (machine_type != kFourAxis) return field("TYPE", name);
    std::string text = "TYPE = " + name.substr(0, name.find_last_not_of(' ') + 1);
    text += axes_kind == 1 ? "(A-AXIS)" : axes_kind == 2 ? "(Y-AXIS)" : "(Z-AXIS)";
    text.resize(kField, ' ');
    return text;
}

std::string size_field(int size, bool known)
{
    if (!known) return std::string(kField, ' ');
    std::string digits, out;
    int length = 0;
    cvi2ts(size, kSizeDigits, digits, length);
    maktx6(kGap, "TP SIZE", "=", digits, "BYTES", kField, out, length);
    return out;
}

// The name, machine type and rotation-axes kind of the tool path.
void path_identity(int tool_path, int current, std::string& name, int& machine_type, int& axes_kind)
{
    const tp_header_state& n = NPT1();
    axes_kind = RAXN().at(rotation_axes_state::kKind);
    if (current != 0) {
        name = name_of_words(n.at(tp_header_state::kMacsysName), n.at(tp_header_state::kMacsysName + 1));
        machine_type = n.machine_type();
        return;
    }
    std::vector<word> header;
    int status = 0;
    get_set_tp_header(1, tool_path, header, status);
    name = std::string(8, ' ');
    machine_type = 0;
    if (status != 0 || header.size() < 4) return;
    name = name_of_words(header[1], header[2]);
    machine_type = header[3];
}

}  // namespace

void tp_header_text(int tool_path, int current, tp_header_fields& fields)
{
    std::string name;
    int machine_type = 0, axes_kind = 0;
    path_identity(tool_path, current, name, machine_type, axes_kind);
    fields.name = field("TP NAME", name);
    fields.type = type_field(machine_type, axes_kind);
    int size = 0, status = 0;
    if (current != 0)
        GTTPSZ(size, status);
    else
        tp_entity_size(tool_path, size, status);
    fields.size = size_field(size, status >= 0);
    int bytes = 0;
    gtdas(bytes, status);
    fields.bytes_left = field("BYTES LEFT", std::to_string(status == 0 ? bytes : 0));
    int view = 0, level = CLP1().at(proc_colour_pen::kLevel);
    if (tool_path < 1) {
        gsvnum(1, view);
    } else {
        eattc(tool_path, 1, "VN", view, status);
        eattc(tool_path, 1, "LE", level, status);
    }
    std::string text;
    gvtdat(view, text);
    fields.macsys = field("MACSYS", text);
    gsname(level + 1, text);
    fields.level = field("LEVEL", text);
}

void tp_header_text_c(int tool_path, int current, tp_header_fields& fields)
{
    tp_header_text(tool_path, current, fields);
    for (std::string* f :
         {&fields.name, &fields.size, &fields.bytes_left, &fields.type, &fields.level, &fields.macsys}) {
        const std::size_t last = f->find_last_not_of(' ');
        f->erase(last == std::string::npos ? 0 : last + 1);
    }
}

void proc_status_text(int procedure, std::string& text)
{
    text = "-----" + std::string(kStatusChars - 5, ' ');
    const proc_summary_entry* e = proc_table_entry(procedure);
    if (!e) return;
    if (e->state == kShownSmall || e->state2 == 2) text[0] = 's';
    if (e->state == kSuspended) text[0] = 'S';
    if (e->state == kInterrupted) text[0] = 'I';
    if (e->g != 0) text[1] = 'G';
    if (e->m != 0) text[2] = 'M';
    if (e->b == 2) text[3] = 'B';
    if (e->b == 3) text[3] = 'b';
    if (e->o > 0) text[4] = test_bit128(e->options) ? 'T' : 'O';
    if (e->o == 3) text[4] = 'r';
    if (e->o == 4) text[4] = 'R';
    if (e->transformation > 0) {
        if (e->transform_flag == 0) text.replace(5, 6, "(    )");
        std::string name;
        proc_text_field(kTextGet, procedure, name);
        text.replace(6, 4, name.substr(0, 4));
    }
    if (e->nc_function > 0) {
        std::string name;
        get_nc_function_name(e->nc_function, name);
        name.resize(8, ' ');
        text.replace(11, 8, name);
    }
}
