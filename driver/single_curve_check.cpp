// The single-curve contour check and the redefine question.
#include "driver/single_curve_check.hpp"

#include "driver/proc_run_state.hpp"
#include "host/vantu.hpp"
#include "nc_services/interaction_modes.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/proc_dialog_words.hpp"
#include "pocket/contour_table.hpp"
#include "surfaces/curve_limits.hpp"
#include "tools/tool_utilities.hpp"

namespace {

constexpr int kQuestionModule = 319, kNoGeometryMessage = 560;
constexpr int kWithExtra = 2;
constexpr int kNoCheckCurve = -2;  // what a side without an end check curve answers

// One curve of the plain kind with no end check curve, closed on itself when the contour is.
// The contour's descriptor is its record at the position (an entry of the geometry buffer).
bool single_closed_curve(int position)
{
    const int* record = buffer_entry(contour_buffers_block.geometry, position);
    if (record == nullptr) return false;
    int groups = 0, curves = 0, open = 0, status = 0;
    dfdgng(record, groups, curves, status);
    if (status != 0 || groups != 1 || curves != 1) return false;
    dfdgoc(record, open, status);
    if (status != 0) return false;
    if (open != 0) {
        for (int side = 1; side <= 2; ++side) {
            int check = kNoCheckCurve;
            double parameter = 0.0;
            dfdgcc(record, side, check, parameter, status);
            if (status != 0 || check > 0 || check == -1) return false;
        }
    }
    int entity = 0;
    double data[3] = {};
    dfdget(record, 1, entity, data, status);
    if (status != 0 || !is_type15_entity(1, entity, 0)) return false;
    if (open != 0) return true;
    float limits[6];
    LMCRV(entity, limits, status);
    if (status != 0) return false;
    const float* start = limits;
    float end[3] = {limits[3], limits[4], limits[5]};
    // Limits kept in the reverse sense hold the end with x and y exchanged and z negated.
    if (eqval(end[2], -start[2])) {
        const float x = end[0];
        end[0] = end[1];
        end[1] = x;
        end[2] = -end[2];
    }
    return eqpt3(start, end) != 0;
}

bool all_contours_single(int mode)
{
    const contour_descriptor_table table = contour_descriptors();
    const long long contours = mode < 0 ? -static_cast<long long>(mode) : 1;
    int position = 1;
    for (long long i = 0; i < contours; ++i) {
        int length = 0, status = 0;
        dfdgld(buffer_entry(contour_buffers_block.geometry, position), length, status);
        // Each step moves on by at least one item, so the walk ends within the table's items.
        if (status != 0 || length < 1 || length > table.items - position + 1) return false;
        if (!single_closed_curve(position)) return false;
        position += length;
    }
    return mode != kWithExtra || (table.extra > 0 && single_closed_curve(table.extra));
}

}  // namespace

void chk_single_curve_contours(int mode)
{
    single_curve_contours_flag() = 0;
    if (all_contours_single(mode)) single_curve_contours_flag() = 1;
}

void ask_redefine_geometry(int flag, int& answer)
{
    const edit_state& e = EDA2();
    const bool view_only = e.word_no(edit_state::kViewOnly) != 0;
    const bool editing = e.word_no(edit_state::kEditing) != 0;
    const bool solid = proc_run.solid_geometry != 0;
    if (view_only || answer == kGeometryLeave) {
        answer = kGeometryLeave;
    } else if (answer == kGeometryUnchanged) {
        if (editing && !solid) {
            int reply = 0;
            irepyc("REDEFINE GEOMETRY?", reply);
            if (reply == 1 || reply == -2)
                answer = kGeometryRedefine;
            else if (reply == 0)
                answer = kGeometryKeep;
        }
    } else if (answer == 0) {
        if (flag == 0 && tamsa_flag_get() == 0 && !solid) msg_mdls(kQuestionModule, kNoGeometryMessage);
    } else {
        answer = kGeometryKeep;
    }
    if (!view_only) reset_interaction_mode();
}
