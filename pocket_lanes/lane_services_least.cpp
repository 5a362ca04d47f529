// Services of the pocket moves, least versions (see the header).
#include "pocket_lanes/lane_services_least.hpp"


void MRGGST(int join_mode, int data_kind, point_string_set& first, point_string_set& second, int& status)
{
    static_cast<void>(join_mode);
    static_cast<void>(data_kind);
    static_cast<void>(first);
    static_cast<void>(second);
    status = -1;
}

void twirl_spline_points(const pocket_link_words& link)
{
    static_cast<void>(link);
    reset_work_flags();
}
