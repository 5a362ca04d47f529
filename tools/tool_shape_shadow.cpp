// The shape shadow: the fields that define a tool's shape, kept before an edit and compared after
// it, so that the tool dialog warns only when a tool used by tool paths really changed.
// Reads current_tool, tool_shape_records, holder_set and drill_cycle_record.
#include "tools/current_tool.hpp"
#include "tools/module_block.hpp"
#include "tools/tool_library.hpp"

#include "host/vantu.hpp"

#include <vector>

namespace {

struct shape_values {
    std::vector<float> reals;
    std::vector<int> integers;
};

struct shadow_block {
    shape_values kept;
};

void add_holders(shape_values& v)
{
    const holder_set& h = tool_holders();
    v.integers.insert(v.integers.end(), {h.count, h.shank_mode, h.second_mode, tool_block().holder_mode});
    for (const auto* list : {&h.bottom_diameter, &h.top_diameter, &h.cone_height, &h.total_height})
        v.reals.insert(v.reals.end(), list->begin(), list->end());
}

shape_values values_of(int tool_class)
{
    const tool_shape_records& s = tool_shapes();
    shape_values v;
    switch (tool_class) {
    case kDrill: v.reals = {s.drill.DIAMTR, s.drill.TIPANG}; break;
    case kLatheDrill: v.reals = {s.lathe_drill.DIAMTR, s.lathe_drill.TIPANG}; break;
    case kMill:
        v.reals = {s.mill.DIAMTR, s.mill.CRNRRD, s.mill.SPARE1};
        if (tool_block().holder_mode == 2) {
            v.reals.push_back(s.mill.CLRLNG);
            add_holders(v);
        }
        break;
    case kLathe: v.reals = {s.lathe.TWIDTH, s.lathe.EDGRAD, s.lathe.FACANG, s.lathe.TANGLE, s.lathe.SPARE1}; break;
    case kPunch:
        v.integers = {s.punch.TSHAPE};
        v.reals = {s.punch.DIAMTR, s.punch.LENGTH, s.punch.TWIDTH, s.punch.SCALOP, s.punch.TANGLE, s.punch.OVRLAP};
        break;
    case kAgie: v.integers = {s.agie.GNRTOR, s.agie.SFLUSH, s.agie.REGSTR, s.agie.OFFSET, s.agie.PANGLE}; break;
    case kCharmille:
        v.integers = {s.chrm.GCODE[0], s.chrm.GCODE[1], s.chrm.GCODE[2],
                      s.chrm.GCODE[3], s.chrm.GCODE[4], s.chrm.OFFSET};
        v.reals = {s.chrm.CREGST, s.chrm.KREGST, s.chrm.XREGST, s.chrm.YREGST, s.chrm.RREGST, s.chrm.AREGST};
        break;
    case kMakino: v.integers = {s.mkno.OFFSET, s.mkno.CUTCND}; break;
    case kThread:
        v.integers = {s.thread.TRDTYP};
        v.reals = {s.thread.TLBASE, s.thread.TLRADS, s.thread.TANGLE, s.thread.TAXANG};
        break;
    case kGroove:
        v.reals = {s.groove.LEDANG, s.groove.CRNRRD, s.groove.SPARE1, s.groove.CUTWTH, s.groove.TAXANG};
        break;
    case kCycle: {
        const drill_cycle_record& y = cycle_block();
        v.integers = {y.IDCYTL, y.DRTYPE, y.PEKSPC, y.DWLSPC, y.SFTSPC, y.CCOLNT, y.CYSPIN};
        v.reals = {y.CCLEAR, y.PEKSTP, y.PEKRDC, y.CDWELL, y.CSHFTI, y.CSHFTJ, y.CYFEED};
        break;
    }
    default: break;
    }
    return v;
}

bool differ(const shape_values& a, const shape_values& b)
{
    if (a.integers != b.integers || a.reals.size() != b.reals.size()) return true;
    for (std::size_t i = 0; i < a.reals.size(); ++i)
        if (neval(a.reals[i], b.reals[i]) != 0) return true;
    return false;
}

}  // namespace

void tool_shape_shadow(int mode, int tool_class, int& changed)
{
    shadow_block& shadow = module_block<shadow_block>();
    if (mode == 1) {
        shadow.kept = values_of(tool_class);
    } else if (mode == 2) {
        changed = differ(shadow.kept, values_of(tool_class)) ? 1 : 0;
    }
}
