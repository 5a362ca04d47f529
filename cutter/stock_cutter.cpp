// The current cutter grown by a stock (see the header).
#include "cutter/stock_cutter.hpp"

#include "cutter/drop_front.hpp"
#include "cutter/kernels/contact_geometry.hpp"
#include "cutter/kernels/xy_contact.hpp"
#include "nc_services/linnet_params_least.hpp"
#include "surfaces/tri_store_least.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

stock_cutter::stock_cutter(float stock)
    : stock_(stock), diameter_(linnet_params_block.diameter), corner_(linnet_params_block.corner_radius),
      cut_length_(linnet_params_block.cut_length), flank_rounding_(linnet_params_block.flank_rounding),
      type_(linnet_params_block.cutter_type)
{
    if (stock_ == 0.0f) return;
    linnet_params& lp = linnet_params_block;
    const bool tapered = lp.cutter_type > kCutterTapered;
    const float taper = tapered ? lp.taper : 0.0f;
    lp.diameter = diameter_ + 2.0f * stock_ * std::tan(0.5f * (0.5f * std::numbers::pi_v<float> - taper));
    lp.corner_radius = std::max(0.0f, corner_ + stock_);
    // A flat end grown by a stock has a corner of its radius: a bull-nose.
    const int base = tapered ? type_ - kCutterTapered : type_;
    if (base == kCutterFlat && lp.corner_radius > 0.0f) lp.cutter_type = type_ - kCutterFlat + kCutterBullNose;
    lp.cut_length = std::max(0.0f, cut_length_ + stock_ * (1.0f - std::sin(taper)));
    if (tapered) lp.flank_rounding = std::max(0.0f, flank_rounding_ + stock_);
}

stock_cutter::~stock_cutter()
{
    linnet_params& lp = linnet_params_block;
    lp.diameter = diameter_;
    lp.corner_radius = corner_;
    lp.cut_length = cut_length_;
    lp.flank_rounding = flank_rounding_;
    lp.cutter_type = type_;
}

void stock_drop(const char* caller, const float* point, float stock, float* tip, float* normal, float* contact,
                int& status)
{
    if (!tri_model_held()) {
        status = kStockNoModel;
        return;
    }
    const stock_cutter grown(stock);
    located_cutter cutter{};
    if (!located_cutter_get(caller, cutter)) {
        status = kStockFailed;
        return;
    }
    int dropped = 0;
    float touched[3];
    tool_drop_touching(point, tip, normal, touched, dropped);
    if (dropped != 0) {
        status = dropped < 0 ? kStockFailed : kStockNothing;
        return;
    }
    // Every point along a tapered flank has the same normal: the drop's own touched point stands
    // for it there; elsewhere the normal tells the point.
    int offset_status = 0;
    if (cutter.tapered)
        std::copy(touched, touched + 3, contact);
    else
        tool_tip_offset(cutter.diameter, cutter.corner, cutter.taper, tip, normal, contact, offset_status);
    const linnet_params& lp = linnet_params_block;
    const float up[3] = {0.0f, 0.0f, 1.0f};
    const float* axis = lp.tilted_axis != 0 ? lp.tool_axis : up;
    for (int k = 0; k < 3; ++k) tip[k] += grown.lift() * axis[k];
    status = kStockFound;
}
