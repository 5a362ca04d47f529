// The step before storing a procedure: the template and no-questions roads, the display of the
// procedure's points with the tool, the notes and the question, and the clean-up of the display.
// Reads proc_run.geometry_defined, PRM9 (tool id) and DSP8 (current position and axis).
#include "driver/pre_exec.hpp"

#include "driver/proc_run_state.hpp"
#include "host/vantu.hpp"
#include "host/vantu_ncstate.hpp"
#include "listing/tool_display.hpp"
#include "nc_services/tool_position.hpp"
#include "surfaces/tool_symbol.hpp"
#include "toolpath/machine_table.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kWritingTemplate = 2, kTemplateNoQuestions = 5;  // managed and tool-path flags
constexpr int kManagedDirect = 1, kTemplateDirect[] = {4, 6};
constexpr int kQueryInstance = -1, kReleaseInstance = -2;
constexpr int kToolSymbol = 1;
constexpr float kDefaultAxis[3] = {0.0f, 0.0f, 1.0f};

// The points the display hook gave and what was shown for them.
struct shown_points {
    std::vector<float> points, directions, axes;
    int count = 0;
    int show_arrows = 0, has_axes = 0;
    std::vector<int> figures;  // one per point shown
};

void point_of(const std::vector<float>& run, int i, float (&out)[3])
{
    for (int k = 0; k < 3; ++k) out[k] = run[static_cast<std::size_t>(3 * i + k)];
}

// Each point with its arrow and the tool; false when the tool could not be shown.
bool display_points(pre_exec_hook hook, shown_points& shown)
{
    constexpr int kRoom = 3 * kPreExecPoints;
    shown.points.assign(kRoom, 0.0f);
    shown.directions.assign(kRoom, 0.0f);
    shown.axes.assign(kRoom, 0.0f);
    int capacity = kRoom, hook_status = 0;
    hook(capacity, shown.count, shown.points.data(), shown.show_arrows, shown.directions.data(), shown.has_axes,
         shown.axes.data(), hook_status);
    // The hook's count is not trusted past the room it was given.
    shown.count = hook_status < 0 ? 0 : std::clamp(shown.count, 0, kPreExecPoints);
    for (int i = 0; i < shown.count; ++i) {
        float point[3], axis[3] = {kDefaultAxis[0], kDefaultAxis[1], kDefaultAxis[2]};
        point_of(shown.points, i, point);
        if (shown.has_axes) point_of(shown.axes, i, axis);
        shown.figures.push_back(-1);
        int status = 0;
        if (shown.show_arrows) {
            float direction[3];
            point_of(shown.directions, i, direction);
            darrow(1, point, direction, status);
        }
        const int instance = tm_inst_id(kQueryInstance);
        if (instance >= 0) {
            edele1(instance, status);
            tm_inst_id(kReleaseInstance);
        }
        SHOWTL(kToolSymbol, point, axis, shown.figures.back(), status);
        if (status != 0) return false;
    }
    return true;
}

// What the display left on the screen goes, and the tool is back at the current position.
void clean_up(const shown_points& shown)
{
    for (std::size_t i = 0; i < shown.figures.size(); ++i) {
        int status = 0;
        if (shown.show_arrows) {
            float point[3], direction[3];
            point_of(shown.points, static_cast<int>(i), point);
            point_of(shown.directions, static_cast<int>(i), direction);
            darrow(0, point, direction, status);
        }
        if (shown.figures[i] != -1) {
            figdel(shown.figures[i], status);
            edele1(shown.figures[i], status);
        }
    }
    if (!shown.figures.empty()) {
        const tool_position_state& p = DSP8();
        int instance = -1;
        DISPT1(PRM9().words[machine_params::kToolId], p.vec(tool_position_state::kPosition),
               p.vec(tool_position_state::kAxis), instance);
        if (instance >= 0) tm_inst_id(instance);
    }
    modinz();
}

}  // namespace

void proc_pre_exec(pre_exec_hook hook, int suspend_allowed, int update, int geometry_kept, int was_suspended,
                   int no_questions, int manually_changed, int old_version, int was_interrupted, int& recompute,
                   int& suspend, int& result, int optimizer, int criteria_changed, int& status)
{
    const int managed = get_ManageTp_TemplateFlag(), tool_path = get_TP_TemplateFlag();
    if (managed == kWritingTemplate || tool_path == kTemplateNoQuestions) {
        status = kAnswerCancel;
        return;
    }
    const int geometry = proc_run.geometry_defined;
    const bool by_template =
        managed == kManagedDirect || tool_path == kTemplateDirect[0] || tool_path == kTemplateDirect[1];
    const bool direct = by_template || (tamsa_flag_get() && no_questions == 0);
    shown_points shown;
    status = 0;
    if (!direct && no_questions) {
        if (geometry && !criteria_changed)
            prexec();
        else
            status = kAnswerCancel;
        return;
    }
    if (!direct && geometry && !criteria_changed && hook && !display_points(hook, shown)) {
        status = kAnswerCancel;
        clean_up(shown);
        return;
    }

    modinz();
    proc_change_notes(geometry, geometry_kept, old_version, was_suspended, manually_changed, was_interrupted, update,
                      suspend, result, criteria_changed, recompute);
    int answer = kAnswerCancel;
    ask_ok_to_execute(geometry, suspend_allowed, recompute, update, suspend, direct ? 1 : 0, result, optimizer,
                      criteria_changed, answer);
    switch (answer) {
    case kAnswerYes:
        if (was_suspended == 0 && recompute == 0) suspend = 0;
        break;
    case kAnswerNo: status = kAnswerBack; break;
    case kAnswerSuspend: suspend = 1; break;
    case kAnswerForce: recompute = 1; break;
    default: status = answer; break;
    }
    if (by_template) {
        modinz();
        return;
    }
    clean_up(shown);
}
