// The NC state blocks: one instance each for the whole time the module is loaded, zero until the
// first restore, and the word lookups of the wire modal values.
#include "nc_services/nc_state_blocks.hpp"

namespace {
constexpr word kNoEntity = -1;
}  // namespace

void plane_state::clear_for_save()
{
    at(kCount) = 0;
    at(kFirstEntity) = kNoEntity;
    at(kSecondEntity) = kNoEntity;
    at(kThirdEntity) = kNoEntity;
}

proc_colour_pen& CLP1()
{
    static proc_colour_pen block;
    return block;
}

edit_state& EDA2()
{
    static edit_state block;
    return block;
}

plane_state& PLN1()
{
    static plane_state block;
    return block;
}

tpfo_state& TPFO()
{
    static tpfo_state block;
    return block;
}

int wire_modal_values::word_of_type(int prmtyp)
{
    if (prmtyp >= kFirstType && prmtyp <= kLastFirstRunType) return prmtyp - kFirstType;
    if (prmtyp >= kSecondRunType && prmtyp <= kLastType) return prmtyp - kSecondRunType + kSecondRunWord;
    return -1;
}

cycle_state& GCY4()
{
    static cycle_state block;
    return block;
}

modal_values& DSM4()
{
    static modal_values block;
    return block;
}

wire_modal_values& WRMB()
{
    static wire_modal_values block;
    return block;
}

tp_transform_state& TRS1()
{
    static tp_transform_state block;
    return block;
}

rotation_axes_state& RAXN()
{
    static rotation_axes_state block;
    return block;
}

tp_header_state& NPT1()
{
    static tp_header_state block;
    return block;
}

heights_state& HEI8()
{
    static heights_state block;
    return block;
}

tool_display_state& TLER()
{
    static tool_display_state block;
    return block;
}

service_words& UPW2()
{
    static service_words block;
    return block;
}

word wrmb_word(int index) { return index >= 0 && index < wire_modal_values::kWords ? WRMB().at(index) : 0; }
