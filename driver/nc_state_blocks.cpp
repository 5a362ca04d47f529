// The driver's NC state blocks: one instance each for the whole time the module is loaded, zero
// until the first restore.
#include "driver/nc_state_blocks.hpp"

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

int& go_motion_choice()
{
    static int choice = kGoAtFeed;
    return choice;
}
