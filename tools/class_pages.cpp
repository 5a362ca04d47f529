// The class pages of the drill, lathe, punch, wire-EDM, thread and groove tools, with the
// follow-ups of their choices. The mill's page is in tools/mill_page.cpp. Reads and writes
// tool_shape_records, current_tool.HOLDER and the page choices.
#include "tools/module_block.hpp"
#include "tools/tool_pages.hpp"

#include "host/vantu.hpp"

#include <algorithm>

namespace {

// Host lists of the choices.
constexpr int kLatheSideList = 686, kGrooveDirectionList = 691, kPunchShapeList = 708, kThreadTypeList = 730,
              kChrmGcodeLists[5] = {739, 743, 747, 751, 755}, kAxisList = 761;
constexpr float kHolderLow = 1, kHolderHigh = 9999;
constexpr int kChrmCircleCode = 7;  // GCODE1 7: the register fields are shown
constexpr int kThreadFreeAngleFrom = 4, kFlatThread = 5, kWhitworthThread = 1;
constexpr float kThreadAngle = 60, kWhitworthAngle = 55;
// SPARE1 of a groove by its direction choice 1..5.
constexpr float kGrooveDirections[5] = {0.0f, -1.0f, 1.0f, -2.0f, 2.0f};

void holder_field(form_builder& form, int label)
{
    form.integer(label, kIntField, -1, tool_block().HOLDER, kHolderLow, kHolderHigh);
}

void drill_page(drill_fields& d, form_builder& form)
{
    form.real(1, kRealField, d.DIAMTR, 0, 10000, kWatch);
    form.real(2, kSecondReal, d.TIPANG, 0.01f, 180, kWatch);
    form.blank();
    holder_field(form, 3);
    form.column();
    form.real(4, kRealField, d.CUTLNG, 0.01f, 10000);
    if (d.CLRLNG < d.CUTLNG) d.CLRLNG = d.CUTLNG;
    form.real(5, kRealField, d.CLRLNG, 0.01f, 10000);
    form.real(6, kRealField, d.GUGLNG, 0.01f, 10000);
    form.blank();
}

void lathe_page(form_builder& form)
{
    lathe_fields& l = tool_shapes().lathe;
    tool_page_choices& c = page_choices();
    if (c.lathe_side == 0) c.lathe_side = l.SPARE1 > 0 ? 2 : 1;
    form.real(1, kRealField, l.HLENTH, 0.01f, 1000);
    form.real(2, kRealField, l.HWIDTH, 0.01f, 1000);
    form.integer(3, kListChoice, kLatheSideList, c.lathe_side, 0, 0, kWatch | kFollow);
    holder_field(form, 4);
    form.column();
    form.real(5, kRealField, l.TWIDTH, 0.01f, 1000, kWatch);
    form.real(6, kRealField, l.EDGRAD, 0, 1000, kWatch);
    form.real(7, kSecondReal, l.FACANG, 0, 405, kWatch);
    form.real(8, kSecondReal, l.TANGLE, 0, 405, kWatch);
}

void punch_page(form_builder& form)
{
    punch_fields& p = tool_shapes().punch;
    const bool round = p.TSHAPE == 3;
    form.integer(1, kListInt, kPunchShapeList, p.TSHAPE, 0, 0, kWatch | kFollow);
    if (round)
        form.real(2, kRealField, p.DIAMTR, 0.001f, 10000, kWatch);
    else
        form.real(3, kRealField, p.LENGTH, 0.001f, 10000, kWatch);
    if (round)
        form.blank();
    else
        form.real(4, kRealField, p.TWIDTH, 0.001f, 10000, kWatch);
    holder_field(form, 5);
    form.column();
    if (p.TSHAPE == 1)
        form.blank();
    else
        form.real(6, kRealField, p.SCALOP, 0.001f, 1000, kWatch);
    if (round) {
        form.blank(2);
        return;
    }
    form.real(7, kSecondReal, p.TANGLE, 0, 180, kWatch);
    form.real(8, kRealField, p.OVRLAP, -999, 1000, kWatch);
}

void agie_page(form_builder& form)
{
    agie_fields& a = tool_shapes().agie;
    form.integer(1, kIntField, -1, a.REGSTR, 1, 255, kWatch | kFollow);
    form.blank(3);
    form.column();
    form.integer(2, kIntField, -1, a.GNRTOR, 1, 255, kWatch);
    form.integer(3, kIntField, -1, a.SFLUSH, 1, 255, kWatch);
    form.integer(4, kIntField, -1, a.OFFSET, 1, 255, kWatch);
    form.integer(5, kIntField, -1, a.PANGLE, 1, 255, kWatch);
}

void charmille_page(form_builder& form)
{
    chrm_fields& h = tool_shapes().chrm;
    const bool registers = h.GCODE[0] == kChrmCircleCode;
    auto shown_real = [&](bool shown, int label, int kind, float& value, float low, float high) {
        if (shown)
            form.real(label, kind, value, low, high, kWatch);
        else
            form.blank();
    };
    form.integer(1, kListInt, kChrmGcodeLists[0], h.GCODE[0], 0, 0, kWatch | kFollow);
    shown_real(registers, 2, kSecondReal, h.CREGST, -180, 180);
    shown_real(registers, 3, kSecondReal, h.KREGST, 0.001f, 1000);
    shown_real(registers, 4, kSecondReal, h.XREGST, -999, 1000);
    form.column();
    shown_real(registers, 5, kRealField, h.YREGST, -999, 1000);
    shown_real(registers, 6, kRealField, h.RREGST, 0.001f, 1000);
    shown_real(h.GCODE[1] == 1 || h.GCODE[1] == 2, 7, kSecondReal, h.AREGST, -180, 180);
    form.integer(8, kIntField, -1, h.OFFSET, 1, 255, kWatch);
    form.column();
    form.integer(9, kListInt, kChrmGcodeLists[1], h.GCODE[1], 0, 0, kWatch | kFollow);
    for (int g = 2; g < 5; ++g)
        form.integer(8 + g, kListInt, kChrmGcodeLists[g], h.GCODE[static_cast<std::size_t>(g)], 0, 0, kWatch);
}

void makino_page(form_builder& form)
{
    mkno_fields& k = tool_shapes().mkno;
    form.integer(1, kIntField, -1, k.CUTCND, -9999, 9999, kWatch);
    form.integer(2, kIntField, -1, k.OFFSET, -9999, 9999, kWatch);
    form.blank(2);
}

// The axis choice of thread and groove, taken from TAXANG when not set.
int axis_choice_of(float taxang)
{
    if (eqval0(taxang)) return 1;
    if (eqval(taxang, 180)) return 3;
    if (eqval(taxang, 270)) return 4;
    return 2;
}

void thread_page(form_builder& form)
{
    thread_fields& t = tool_shapes().thread;
    tool_page_choices& c = page_choices();
    if (c.axis_choice == 0) c.axis_choice = axis_choice_of(t.TAXANG);
    form.real(1, kRealField, t.HLENTH, 0.01f, 999);
    form.real(2, kRealField, t.HWIDTH, 0.01f, 999);
    form.integer(3, kListInt, kThreadTypeList, t.TRDTYP, 0, 0, kWatch | kFollow);
    holder_field(form, 4);
    form.column();
    form.real(5, kRealField, t.CUTLNG, 0.01f, 9999);
    if (t.TRDTYP >= kThreadFreeAngleFrom && t.TRDTYP <= kFlatThread) {
        form.real(6, kSecondReal, t.TANGLE, 1, 120, kWatch);
    } else {
        t.TANGLE = t.TRDTYP == kWhitworthThread ? kWhitworthAngle : kThreadAngle;
        form.real(6, kSecondReal, t.TANGLE, t.TANGLE, t.TANGLE, kWatch);
    }
    if (t.TRDTYP == kFlatThread)
        form.real(7, kRealField, t.TLBASE, 0.01f, 999, kWatch);
    else
        form.real(8, kRealField, t.TLRADS, 0.01f, 999, kWatch);
    form.integer(9, kListInt, kAxisList, c.axis_choice, 0, 0, kWatch | kFollow);
}

int groove_direction_of(float spare1)
{
    for (int k = 0; k < 5; ++k)
        if (eqval(spare1, kGrooveDirections[k])) return k + 1;
    return 1;
}

void groove_page(form_builder& form)
{
    groove_fields& g = tool_shapes().groove;
    tool_page_choices& c = page_choices();
    if (c.groove_direction == 0) c.groove_direction = groove_direction_of(g.SPARE1);
    if (c.axis_choice == 0) c.axis_choice = axis_choice_of(g.TAXANG);
    form.real(1, kRealField, g.HLENTH, 0.01f, 999);
    form.real(2, kRealField, g.HWIDTH, 0.01f, 999);
    form.integer(3, kListInt, kGrooveDirectionList, c.groove_direction, 0, 0, kWatch | kFollow);
    holder_field(form, 4);
    form.column();
    form.real(5, kSecondReal, g.LEDANG, 0, 89.99f, kWatch);
    form.real(6, kRealField, g.CRNRRD, 0, 999, kWatch);
    form.blank(2);
    form.column();
    form.real(7, kRealField, g.CUTLNG, 0.01f, 9999);
    form.real(8, kRealField, g.CUTWTH, 0.01f, 999, kWatch);
    form.blank();
    form.integer(9, kListInt, kAxisList, c.axis_choice, 0, 0, kWatch | kFollow);
}

float axis_angle(int choice) { return static_cast<float>((std::clamp(choice, 1, 4) - 1) * 90); }

}  // namespace

tool_page_choices& page_choices() { return module_block<tool_page_choices>(); }

void page_choices_reset()
{
    tool_page_choices& c = page_choices();
    c = tool_page_choices{};
    c.holder_actions.fill(1);
}

void tool_class_page(int tool_class, form_builder& form)
{
    form.label_page = tool_class;
    switch (tool_class) {
    case kDrill: drill_page(tool_shapes().drill, form); break;
    case kLatheDrill: drill_page(tool_shapes().lathe_drill, form); break;
    case kMill: mill_page(form); break;
    case kLathe: lathe_page(form); break;
    case kPunch: punch_page(form); break;
    case kAgie: agie_page(form); break;
    case kCharmille: charmille_page(form); break;
    case kMakino: makino_page(form); break;
    case kThread: thread_page(form); break;
    case kGroove: groove_page(form); break;
    default: break;
    }
}

void class_choice_sync(int tool_class)
{
    tool_shape_records& s = tool_shapes();
    const tool_page_choices& c = page_choices();
    switch (tool_class) {
    case kAgie: s.agie.GNRTOR = s.agie.SFLUSH = s.agie.OFFSET = s.agie.PANGLE = s.agie.REGSTR; break;
    case kThread: s.thread.TAXANG = axis_angle(c.axis_choice); break;
    case kGroove:
        s.groove.TAXANG = axis_angle(c.axis_choice);
        s.groove.SPARE1 = kGrooveDirections[std::clamp(c.groove_direction, 1, 5) - 1];
        break;
    case kLathe: s.lathe.SPARE1 = c.lathe_side == 2 ? 1.0f : 0.0f; break;
    default: break;
    }
}
