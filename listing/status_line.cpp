// The machine status line (see the header). Every field is 12 characters; a label stands at its
// start and the value follows from a fixed character on.
#include "listing/status_line.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/modal_setters.hpp"
#include "tools/current_tool.hpp"
#include "tools/tool_accessors.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

namespace {

constexpr int kField = 12;
constexpr int kBlockField = 14, kCounterField = 13, kToolField = 7, kPathField = 11, kMachineField = 12;
constexpr int kFieldGroup = 1, kCounterGroup = 2;
constexpr int kNoNameWindow = 1, kUnmarkedToolWindow = 4;
constexpr int kValueDigits = 10, kFeedChars = 7, kSpinChars = 7, kBlockDigits = 7, kCounterDigits = 3;
constexpr int kLabelChars = 8, kToolNameChars = 10;
constexpr int kLatheMachine = 31, kFiveAxis = 26, kFourAxis = 25, kPunchMachine = 12, kIndexPunch = 13;
constexpr float kFeetPerMetre = 3.28084f;
// PRM9 words of the spin mode and of the nibbling and punch states (machine-table items 3, 12, 13).
constexpr int kPrmSpinMode = 2, kPrmNibble = 14, kPrmPunch = 13;

// The labels of the fields.
const char* const kCoolantLabels[] = {" COOLNT OFF ", " F L O O D  ", " M I S T    ", " THROUGH    ", "  A I R     "};
constexpr const char* kFast = " F A S T    ";
constexpr const char* kMaxFeed = "MAX.FEED    ";
constexpr const char* kRapidFeed = "RAPID FEED  ";
constexpr const char* kPunchOn = "  PUNCH_ON  ";
constexpr const char* kPunchOff = "  PUNCH_OFF ";
constexpr const char* kNibbleOn = "NIBBLING_ON ";
constexpr const char* kNibbleOff = "NIBBLING_OFF";

bool wire_machine(int type) { return type >= 61 && type <= 79; }
bool punch_machine(int type) { return type == kPunchMachine || type == kIndexPunch; }
bool shows_axis(int type) { return type == kFourAxis || type == kFiveAxis || type == 62 || type == 63 || type == 65; }

void show(int window, int field, const std::string& text, int flag)
{
    bmshow(window, field == kCounterField ? kCounterGroup : kFieldGroup, field, text, flag, kField);
}

// A label at the start of the field and the value from character `from` (1-based) on.
std::string labelled(std::string_view label, const std::string& value, int from)
{
    std::string text(label);
    text.resize(static_cast<std::size_t>(from - 1), ' ');
    text += value;
    text.resize(kField, ' ');
    return text;
}

std::string blank() { return std::string(kField, ' '); }

int machine_type() { return NPT1().machine_type(); }

// The kind of machine by its type (field 12); blanks for an unknown type.
std::string machine_kind(int type)
{
    switch (type) {
    case 12: return "PUNCH       ";
    case 13: return "PUNCH+INDX  ";
    case 22: return "MILL2.5X    ";
    case 23: return "MILL 3X     ";
    case 24: return "MILL+POS    ";
    case kFourAxis: {
        const int kind = RAXN().at(rotation_axes_state::kKind);
        return kind == 1 ? "MILL 4X  (X)" : kind == 2 ? "MILL 4X  (Y)" : "MILL 4X  (Z)";
    }
    case kFiveAxis: return "MILL 5X     ";
    case kLatheMachine: return "LATHE       ";
    case 62: return "AGIE        ";
    case 63: return "CHARMILLES  ";
    case 65: return "MAKINO      ";
    default: return blank();
    }
}

// One number after its two-character label; false after the failure message.
bool position_field(int window, int field, const char* label, float value, int decimals, int flag)
{
    std::string text;
    int length = 0;
    cvr2td(value, kValueDigits, decimals, text, length);
    if (length < 0) {
        eroutc("MUTPOS, ERROR IN CVR2TD", 0);
        return false;
    }
    show(window, field, labelled(label, text, 3), flag);
    return true;
}

// The position fields of MUTPOS; false after a failed conversion.
bool position_fields(int window, const status_vec& v, const status_vec& axis)
{
    int general = 0, lengths = 0, axis_decimals = 0;
    gtdgts(general, lengths, axis_decimals);
    const int type = machine_type();
    if (type == kLatheMachine) {
        show(window, 1, "MACHINE COOR", 1);
        if (!position_field(window, 2, "X=", v[1], lengths, 1) || !position_field(window, 3, "Z=", v[0], lengths, 1))
            return false;
        show(window, 8, "MACSYS COOR ", 0);
        return position_field(window, 10, "Y=", v[1], lengths, 0) && position_field(window, 9, "X=", v[0], lengths, 0);
    }
    const char* labels[] = {"X=", "Y=", "Z="};
    for (int i = 0; i < 3; ++i)
        if (!position_field(window, 1 + i, labels[i], v[static_cast<std::size_t>(i)], lengths, 1)) return false;
    const char* axis_labels[] = {"I=", "J=", "K="};
    for (int i = 0; i < 3; ++i) {
        if (!shows_axis(type))
            show(window, 8 + i, blank(), 0);
        else if (!position_field(window, 8 + i, axis_labels[i], axis[static_cast<std::size_t>(i)], axis_decimals, 0))
            return false;
    }
    return true;
}

// Field 13 from a label of at most 8 characters.
void counter_field(int window, std::string_view label, int value)
{
    std::string text = blank();
    if (value > 0) {
        std::string digits = std::to_string(value);
        // More digits than the field holds show as "*": a cut number would be a wrong one.
        if (static_cast<int>(digits.size()) > kCounterDigits) digits.assign(kCounterDigits, '*');
        std::string shown(label.substr(0, kLabelChars));
        shown.resize(kLabelChars, ' ');
        text = labelled(shown, "=" + digits, kLabelChars + 1);
    }
    show(window, kCounterField, text, 0);
}

modal_values& modal() { return DSM4(); }

void tool_field(int window)
{
    const int tool = modal().at(modal_values::kTool);
    std::string name;
    if (window != kNoNameWindow && tool > 0) {
        tool_get_name(tool, name);
        name.resize(kToolNameChars, ' ');
    }
    show(window, kToolField, labelled("T=", name, 3), window == kUnmarkedToolWindow ? 0 : 1);
}

void coolant_field(int window)
{
    const int type = machine_type(), coolant = modal().at(modal_values::kCoolant);
    // A coolant code outside 1 to 5 has no label: the field stays blank.
    const bool labelled_code = coolant >= 1 && coolant <= 5 && !punch_machine(type) && !wire_machine(type);
    show(window, 6, labelled_code ? kCoolantLabels[coolant - 1] : blank(), 0);
}

void machine_fields(int window)
{
    char name[9] = {};
    std::memcpy(name, &NPT1().at(tp_header_state::kMacsysName), 8);
    show(window, kPathField, labelled("TP=", std::string(name, 8), 4), 0);
    show(window, kMachineField, machine_kind(machine_type()), 0);
}

status_vec position_of(int first) { return DSP8().vec(first); }

status_vec macsys_origin()
{
    const tp_header_state& h = NPT1();
    return {h.real(tp_header_state::kMacsysOrigin), h.real(tp_header_state::kMacsysOrigin + 1),
            h.real(tp_header_state::kMacsysOrigin + 2)};
}

void push_machine_blocks()
{
    push_nc_state_blocks();
    gsrtxs(2, RAXN().words.data(), rotation_axes_state::kWords);
}

}  // namespace

void MUTPOS(int window, const status_vec& position, const status_vec& axis, const status_vec& origin)
{
    float factor = 1.0f;
    gtmesu(factor);
    if (!(factor > 0.0f)) factor = 1.0f;
    status_vec v{};
    for (std::size_t i = 0; i < 3; ++i) v[i] = (position[i] - origin[i]) / factor;
    position_fields(window, v, axis);
    grpupd(0);
}

void MUFEED(int window, int punch, float feed, int type)
{
    if (wire_machine(type)) return show(window, 4, blank(), 0);
    if (punch_machine(type)) return show(window, 4, punch == 1 ? kPunchOff : kPunchOn, 0);
    if (feed == -1.0f) return show(window, 4, kFast, 0);
    if (feed == -2.0f) return show(window, 4, kMaxFeed, 0);
    if (feed < -2.0f) return show(window, 4, kRapidFeed, 0);
    float factor = 1.0f;
    int general = 0, lengths = 0, axis = 0;
    gtmesu(factor);
    gtdgts(general, lengths, axis);
    const float shown = static_cast<int>(factor) == 1 || !(factor > 0.0f) ? feed : feed / factor;
    std::string text;
    int length = 0;
    cvr2t(shown, lengths, kFeedChars, text, length);
    if (length < 0) return eroutc("MUFEED, ERROR IN CVR2T", 0);
    show(window, 4, labelled("FEED=", text, 6), 0);
}

void MUSPIN(int window, int nibble, int spin_mode, float cutting_speed, int spin, int type, int tool_class)
{
    if (wire_machine(type)) return show(window, 5, blank(), 0);
    if (punch_machine(type)) return show(window, 5, nibble == 1 ? kNibbleOff : kNibbleOn, 0);
    if (type == kLatheMachine && tool_class != kLatheDrill && spin_mode == 1 && cutting_speed != 0.0f) {
        word unit = 0;
        int status = 0;
        mdgetc("USUN", 1, &unit, status);
        const bool feet = status == 0 && (unit == 4 || unit == 5);
        std::string text;
        int length = 0;
        cvr2t(feet ? cutting_speed * kFeetPerMetre : cutting_speed, feet ? 2 : 1, kSpinChars, text, length);
        if (length < 0) return eroutc("MUSPIN, ERROR IN CVR2T", 0);
        return show(window, 5, labelled("VC=", text, 6), 0);
    }
    std::string text = std::to_string(spin);
    if (static_cast<int>(text.size()) > kSpinChars) text.assign(kSpinChars, '*');
    show(window, 5, labelled("SPIN=", text, 6), 0);
}

void MUTBLN(int window, int block_number)
{
    if (block_number < 0) return show(window, kBlockField, blank(), 0);
    std::string digits;
    int length = 0;
    cvi2t(block_number, digits, length);
    if (length < 0) return eroutc("MUTBLN, ERROR IN CVI2T", 0);
    // A number cut to its first seven digits would name another block: it shows as "*".
    if (length > kBlockDigits) digits.assign(kBlockDigits, '*');
    show(window, kBlockField, labelled("BLK=", digits, 5), 0);
}

void status_show_label_int(int window, std::string_view label, int value) { counter_field(window, label, value); }

void status_show_text8(int window, std::string_view label, int value)
{
    counter_field(window, label.substr(0, std::min(label.find('\0'), label.size())), value);
}

void push_nc_state_blocks()
{
    gsncpt(2, NPT1().words.data(), tp_header_state::kWords);
    gsdisp(2, DSP8().words.data(), tool_position_state::kWords);
    gsdism(2, DSM4().words.data(), modal_values::kWords);
    gsmach(2, PRM9().words.data(), machine_params::kWords);
    const current_tool& t = tool_block();
    word tool[] = {t.IDTOOL, t.tool_class, t.condition, t.symbol_master};
    gstlpr(2, tool, 4);
    int name_length = kToolText;
    gstlgn2(2, name_length);
}

void status_show_feed(int window)
{
    push_nc_state_blocks();
    const modal_values& m = modal();
    MUFEED(window, m.at(modal_values::kPunch), m.real(modal_values::kFeed), machine_type());
}

void status_show_spin(int window)
{
    push_nc_state_blocks();
    const modal_values& m = modal();
    MUSPIN(window, m.at(modal_values::kNibble), PRM9().words[kPrmSpinMode], m.real(modal_values::kCuttingSpeed),
           m.at(modal_values::kSpin), machine_type(), tool_block().tool_class);
}

void status_show_coolant(int window)
{
    push_nc_state_blocks();
    coolant_field(window);
}

void status_show_tool(int window)
{
    push_nc_state_blocks();
    tool_field(window);
}

void status_show_machine_type(int window)
{
    push_machine_blocks();
    machine_fields(window);
}

void status_repaint(int window)
{
    push_nc_state_blocks();
    win_start_paint_on_main_wnd();
    MUTPOS(window, position_of(tool_position_state::kPosition), position_of(tool_position_state::kAxis),
           macsys_origin());
    win_end_paint_on_main_wnd();
}

void status_refresh_all(int window)
{
    win_start_paint_on_main_wnd();
    status_repaint(window);
    status_show_feed(window);
    status_show_spin(window);
    status_show_coolant(window);
    status_show_tool(window);
    status_show_machine_type(window);
    counter_field(window, "", 0);
    MUTBLN(window, -1);
    win_end_paint_on_main_wnd();
}

void status_show_machine(int window)
{
    status_repaint(window);
    const machine_params& p = PRM9();
    if (punch_machine(machine_type())) {
        set_cur_nibbling(window, p.words[kPrmNibble]);
        set_cur_punch(window, p.words[kPrmPunch]);
    } else {
        set_cur_feed(window, p.real(machine_params::kBaseFeed));
        set_cur_spin(window, p.words[machine_params::kSpindleSpeed]);
    }
    set_cur_coolant(window, p.words[machine_params::kCoolant]);
    set_cur_tool(window, p.words[machine_params::kToolId]);
    status_show_machine_type(window);
    counter_field(window, "", 0);
    MUTBLN(window, -1);
}
