// PRTBT1, the printer of machine-parameter blocks (type 1): the parameter's label and its value
// as text, in the full form through the MACH.PAR. records and in the listing form after the
// proc-block column.
#include "listing/prtbt1.hpp"

#include "host/vantu.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/listing_fields.hpp"
#include "listing/lst_state.hpp"
#include "nc_services/rec8.hpp"
#include "toolpath/machine_table.hpp"
#include "tools/tool_accessors.hpp"

#include <cmath>
#include <cstring>
#include <numbers>

namespace {

// Parameter types.
constexpr int kFeed = 1, kSpin = 2, kCool = 3, kDwell = 4, kCutcom = 5, kSpinBy = 9, kVc = 10, kWire = 15,
              kStopPoint = 16, kIndex = 54, kUcs = 55, kStepBy = 56, kRapidFeed = 59, kTool = 100;
constexpr float kFast = -1.0f, kMaxFeed = -2.0f;
constexpr float kListRapid = -2.0f, kFullRapid = -2.5f;  // the rapid threshold of the two forms
constexpr float kFeetPerMetre = 3.28084f;
constexpr int kFeetUnits = 3;                          // "USUN" codes above this show feet
constexpr int kParamType = 101, kToolNameType = 1106;  // recorded as lst_state's last type
constexpr std::size_t kUcsNameChars = 6;

const char* const kCoolant[] = {"OFF", "FLOOD  ", "MIST   ", "THROUGH", "AIR    "};
const char* const kStepByList[] = {"PITCH",          "LEAD",          "THREAD PER INCH",
                                   "VARIABLE PITCH", "VARIABLE LEAD", "VARIABLE THREAD PER INCH"};
const char* const kStepByFull[] = {"PITCH",         "LEAD",         "THREAD PER INCH",
                                   "VARIBLE PITCH", "VARIBLE LEAD", "VARIABLE THREAD PER INCH"};

// What the parameter shows: nothing, its label alone, a text, a real or an integer (each with an
// optional text after it), or the unknown-parameter line.
struct shown {
    enum kind_t { kNone, kLabel, kText, kReal, kLength, kInteger, kUnknown } kind = kNone;
    std::string label, text;
    float real = 0.0f;
    int integer = 0;
};

std::string label_of(int type)
{
    std::string label;
    DEFPNM(type, label);
    return label;
}

shown of(shown::kind_t kind, std::string label, float real = 0.0f, int integer = 0, std::string text = {})
{
    shown s;
    s.kind = kind;
    s.label = std::move(label);
    s.text = std::move(text);
    s.real = real;
    s.integer = integer;
    return s;
}

shown text_value(std::string label, std::string text)
{
    return of(shown::kText, std::move(label), 0.0f, 0, std::move(text));
}

shown from_table(const std::string& label, const char* const* names, int count, int value)
{
    if (value < 1 || value > count) return {};
    return text_value(label, names[value - 1]);
}

bool is_feed_like(int type, bool full)
{
    return type == 51 || type == 57 || type == 58 || type == kRapidFeed || (full && type == kIndex);
}

shown feed_value(int type, std::string label, float value, float scale, bool full)
{
    const float rapid = full ? kFullRapid : kListRapid;
    const std::string max_feed = full ? "MAXIMUM FEED" : "MAX_FEED";
    if (type == kFeed) {
        if (value == kFast) return text_value(label, "FAST");
        if (value == kMaxFeed) return text_value(label, max_feed);
    } else if (value == kMaxFeed) {
        return text_value(label_of(kFeed), max_feed);
    }
    if (value < rapid) return of(shown::kLength, label_of(kRapidFeed), -value * scale);
    if (type == kRapidFeed) label = label_of(kFeed);
    return of(shown::kLength, std::move(label), value * scale);
}

// A signed speed: 0 STOP, positive CW, negative CCW.
shown turning(std::string label, float value, bool integer)
{
    if (value == 0.0f) return text_value(std::move(label), "STOP");
    return of(integer ? shown::kInteger : shown::kReal, std::move(label), std::fabs(value),
              static_cast<int>(std::fabs(value)), value > 0.0f ? " CW" : " CCW");
}

int unit_code()
{
    word unit = 0;
    int status = 0;
    mdgetc("USUN", 1, &unit, status);
    return status == 0 ? static_cast<int>(unit) : 0;
}

// The UCS's name; its origin, turned by its matrix, becomes the listing origin.
shown ucs_value(const std::string& label, int id)
{
    if (id < 1) return text_value(label, std::string(kUcsNameChars, ' '));
    ucs_record ucs;
    int status = 0;
    rec8_get_put(1, id, ucs, status);
    if (status < 0) {
        eroutc("PRTBT1,ERRORS IN OPENING UCS", 0);
        return {};
    }
    auto& origin = lst_state().origin;
    for (int i = 0; i < 3; ++i)
        origin[static_cast<std::size_t>(i)] = ucs.matrix[static_cast<std::size_t>(3 * i)] * ucs.origin[0] +
                                              ucs.matrix[static_cast<std::size_t>(3 * i + 1)] * ucs.origin[1] +
                                              ucs.matrix[static_cast<std::size_t>(3 * i + 2)] * ucs.origin[2];
    char name[8];
    std::memcpy(name, ucs.name.data(), sizeof name);
    return text_value(label, std::string(name, kUcsNameChars));
}

shown value_of(int form, int type, int integer, float real, float scale)
{
    const bool full = form == kFullForm;
    if (type == kFeed || is_feed_like(type, full)) return feed_value(type, label_of(type), real, scale, full);
    switch (type) {
    case kSpin: return turning(label_of(type), static_cast<float>(integer), true);
    case kCool:
        if (full && integer == 1) return text_value(label_of(type), "OFF    ");
        return from_table(label_of(type), kCoolant, 5, integer);
    case kDwell:
    case 11:
    case 12:
    case 13:
    case 14: return of(shown::kInteger, label_of(type), 0.0f, integer);
    case kCutcom:
        if (PRM9().words[machine_params::kCutterComp] == 0) return text_value(label_of(type), "NOT IN USE");
        if (integer == -1) return text_value(label_of(type), "LEFT");
        if (integer == 1) return text_value(label_of(type), "RIGHT");
        if (integer == 0) return text_value(label_of(type), "OFF");
        return {};
    case kSpinBy: {
        const char* const names[] = {"Vc", "SPIN"};
        return from_table(label_of(type), names, 2, integer);
    }
    case kVc: return turning(label_of(type), unit_code() > kFeetUnits ? real * kFeetPerMetre : real, false);
    case kWire: {
        const char* const names[] = {"THREAD", "CUT"};
        return from_table(label_of(type), names, 2, integer);
    }
    case 52:
    case 53: {
        const char* const names[] = {"OFF", "ON"};
        return from_table(label_of(type), names, 2, integer);
    }
    case kIndex: return of(shown::kReal, label_of(type), real * 180.0f / std::numbers::pi_v<float>);
    case kUcs: return ucs_value(label_of(type), integer);
    case kStepBy: return from_table(label_of(type), full ? kStepByFull : kStepByList, 6, integer);
    case kTool: {
        std::string name;
        tool_get_name(integer, name);
        return text_value(label_of(type), name);
    }
    default: break;
    }
    if (type == kStopPoint || (type >= 20 && type <= 33)) return of(shown::kLabel, label_of(type));
    if (type >= 34 && type <= 40) return of(shown::kReal, label_of(type), real);
    return of(shown::kUnknown, label_of(type), real, integer);
}

void write_full(int unit, const shown& s)
{
    const std::string head = "(6x,'MACH.PAR. - ',a10";
    const bool suffix = !s.text.empty();
    switch (s.kind) {
    case shown::kLabel: return lst_format(unit, head + ")", {s.label});
    case shown::kText: return lst_format(unit, head + ",a)", {s.label, s.text});
    case shown::kReal:
    case shown::kLength:
        if (suffix) return lst_format(unit, head + ",f11.4,a)", {s.label, s.real, s.text});
        return lst_format(unit, head + ",f11.4)", {s.label, s.real});
    case shown::kInteger:
        if (suffix) return lst_format(unit, head + ",i4,a)", {s.label, s.integer, s.text});
        return lst_format(unit, head + ",i4)", {s.label, s.integer});
    default: return;
    }
}

void write_listed(int unit, int number, const shown& s)
{
    std::vector<fl_item> items{li_text(lst_proc_block(number)), li_text("      MACHINE PARAMS: "), li_text(s.label)};
    if (s.kind == shown::kReal) items.push_back(li_real(s.real));
    if (s.kind == shown::kLength) items.push_back(li_length(s.real));
    if (s.kind == shown::kInteger) items.push_back(li_int(s.integer));
    if (!s.text.empty()) items.push_back(li_text(s.text));
    lst_line(unit, items);
}

}  // namespace

void PRTBT1(int form, int unit, int number, int prmtyp, int int_value, float real_value, float scale)
{
    const shown s = value_of(form, prmtyp, int_value, real_value, scale);
    lst_state().last_type = prmtyp == kTool ? kToolNameType : kParamType;
    if (s.kind == shown::kNone) return;
    if (s.kind == shown::kUnknown) {
        lst_format(unit, "(6x,'UNKNOWN PARAMETER---------',a8,4x,i4,4x,f12.4)", {s.label, s.integer, s.real});
    } else if (form == kFullForm) {
        write_full(unit, s);
    } else {
        write_listed(unit, number, s);
        return;
    }
    if (form == kFullForm) lst_format(unit, "(6x,'BLOCK NUMBER =',i5)", {number});
}
