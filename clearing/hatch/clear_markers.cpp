// The LAYER markers of the clearing passes and the first move of a level.
#include "clearing/hatch/clear_markers.hpp"

#include "nc_services/tool_position.hpp"
#include "toolpath/markers.hpp"
#include "toolpath/motion_writers.hpp"
#include "toolpath/move_writer_state.hpp"

namespace {

constexpr int kAxisDimension = 3;
// The value word the LAYER markers carry.
constexpr int kMarkerValue = 0;

}  // namespace

void clr_mrkr_start_move(int dimension, float level_z, int& status)
{
    tp_mrkr_write(kMarkerOpen, kLayerBracket, kLayerOpen, level_z, kMarkerValue, status);
    if (status != 0) return;
    clr_tp_flag();
    const tool_position_state& at = DSP8();
    const int vector = dimension == kAxisDimension ? tool_position_state::kAxis : tool_position_state::kNormal;
    PLINE_entry(dimension, at.position(), at.vec(vector), status);
}

void clr_mrkr_end(int& status) { tp_mrkr_write(kMarkerClose, kLayerBracket, kLayerClose, 0.0f, kMarkerValue, status); }
