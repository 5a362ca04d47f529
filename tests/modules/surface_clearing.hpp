// The surface clearing of the caller module testmod_surface_pocket: the region that the lane
// engine's single offset leaves is cleared by hatch passes that follow the part surface. The hatch
// clearing runs under machining type 11, so that its pass walks hand every finished pass to the
// surface pass engine, with the touch strings as the string method (2) and hatch lines spaced by
// the allowed scallop height (the variable step), or with the strings over the procedure's first
// parametric part surface (method 1) and hatch lines one side step apart. The surface function
// holds a mill of its own for the time of the run (a ball, a flat end or a bull-nose of diameter
// 2). Test code only: never part of the module.
#pragma once

#include "clearing/hatch/clear_block.hpp"
#include "clearing/hatch/hatch_clearing.hpp"
#include "clearing/surface_passes/deferred_strings.hpp"
#include "clearing/surface_passes/hatch_step.hpp"
#include "clearing/surface_passes/link_arrays.hpp"
#include "nc_services/connect_params.hpp"
#include "nc_services/machining_type.hpp"
#include "nc_services/proc_geometry_words_least.hpp"
#include "nc_services/unwind_guard.hpp"
#include "pocket/polbuf.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/updown_buffers.hpp"
#include "tools/current_tool.hpp"

namespace surface_clearing {

inline constexpr int kSurfaceClearing = 11;
inline constexpr int kLineStrings = 1, kTouchStrings = 2;
inline constexpr int kVariableStep = 1;
inline constexpr int kEntryAtPassStart = 1;
// The mills of the surface function (the ball, the flat end and the bull-nose of its menu), the
// scallop they may leave between passes and the least step of the hatch lines where the surface
// is steep.
struct clearing_mill {
    int cutter_type;  // of the cutter location: 1 ball, 2 flat end, 3 bull-nose
    float diameter;
    float corner;
};
inline constexpr float kBallDiameter = 2.0f;
inline constexpr clearing_mill kMills[] = {
    {1, kBallDiameter, 0.5f * kBallDiameter}, {2, kBallDiameter, 0.0f}, {3, kBallDiameter, 0.25f * kBallDiameter}};
inline constexpr const char* kMillMenu = "BALL@FLAT END@BULL-NOSE";
inline constexpr float kScallopHeight = 0.05f;
inline constexpr float kLeastStep = 0.05f;
// The radius of the arcs by which a linked pass leaves and meets the surface.
inline constexpr float kLinkRadius = 0.5f;
// A lifted pass is left and approached by Z-up moves of this height.
inline constexpr int kZUpApproach = 1;
inline constexpr float kZUpHeight = 2.0f;
// Hatch lines along X, their points by rising abscissa; every hatch segment a pass of its own,
// started anew (region linking), the contours walked between neighbours.
inline constexpr float kHatchAngle = 0.0f;
inline constexpr int kRisingAbscissa = 1, kRegionLinking = 2, kContourLink = 1;
inline constexpr int kCloseList = 1;
inline constexpr int kOpenReset = 2;

// The words of curve_approx_common the pass engine reads, as the surface function sets them:
// no Z band, no lateral shift, passes not linked end to start. The step between hatch lines
// follows the scallop over the triangle model with the touch strings; method 1 has no model and
// keeps the side step.
inline void set_clearing_words(float tolerance, int method)
{
    curve_approx_words& ca = proc_geometry().curve_approx;
    ca.tolerance = tolerance;
    ca.link_tolerance = tolerance;
    ca.side_step = 0.5f * kBallDiameter;
    ca.method = method;
    ca.variable_step = method == kTouchStrings ? kVariableStep : 0;
    ca.entry_point_mode = kEntryAtPassStart;
    ca.link_radius = kLinkRadius;
    ca.minimum_step = kLeastStep;
    scallop_step_block.allowed = kScallopHeight;
    connect_params_block().approach_kind = kZUpApproach;
    connect_params_block().approach_distance = kZUpHeight;
}

// The current tool made the given mill (the id the machine parameters name), the tool and its
// mill sizes given back on every way out.
class held_mill {
public:
    explicit held_mill(const clearing_mill& mill) : tool_(tool_block()), mill_(tool_shapes().mill)
    {
        tool_block().IDTOOL = PRM9().words[machine_params::kToolId];
        tool_block().tool_class = kMill;
        tool_shapes().mill.DIAMTR = mill.diameter;
        tool_shapes().mill.CRNRRD = mill.corner;
    }
    ~held_mill()
    {
        tool_block() = tool_;
        tool_shapes().mill = mill_;
    }
    held_mill(const held_mill&) = delete;
    held_mill& operator=(const held_mill&) = delete;

private:
    current_tool tool_;
    mill_fields mill_;
};

// Hatches the region of the lane engine's single offset (in the lane table) over the part
// surface by the string method (kLineStrings or kTouchStrings) with the mill; the motions go into
// the open sub-list. Status 0 or the first failure.
inline void clear_region(float tolerance, int method, const clearing_mill& cutter, int& status)
{
    polbuf_open_all(kOpenReset, kPolbufStepWords, status);
    if (status != 0) return;
    const held_mill mill(cutter);
    const int kept_type = machining_type();
    const connect_params kept_connection = connect_params_block();
    const give_back release([kept_type, kept_connection] {
        machining_type() = kept_type;
        connect_params_block() = kept_connection;
        int released = 0;
        clrcls(kCloseList, released);
        deferred_strings_flush(0, released);
        link_arrays_close();
        polbuf_release_all(kCloseList, released);
    });
    set_clearing_words(tolerance, method);
    machining_type() = kSurfaceClearing;
    tkpolg(kHatchAngle, 0.0f, kRisingAbscissa, kRegionLinking, kContourLink, status);
    int flushed = 0;
    updown_flush(flushed);
    if (status == 0) status = flushed;
}

}  // namespace surface_clearing
