// Solid check (proc_check_solid): decides whether store and execute follow (the go word). A
// procedure whose solid geometry was updated is offered an update; an edited procedure whose
// criteria geometry changed is asked once; then the questions before execution. Reads EDA2.
#include "driver/pre_exec.hpp"
#include "driver/proc_run_state.hpp"
#include "driver/proc_status.hpp"
#include "driver/proc_steps.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/template_flags.hpp"

namespace {

constexpr int kYes = 1;
constexpr int kQuestionGroup = 319, kCriteriaQuestion = 42;
constexpr int kSolidUpdate = 1;

void redo(int& status, int& go)
{
    status = kRedo;
    go = kRedo;
}

// The solid geometry was updated since the procedure was stored. Answers true when the
// step ends here.
bool offer_solid_update(int& status, int& go)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    int table_status = 0;
    if (!run.solid_geometry || e.word_no(edit_state::kSuspend) != 0 || ncs_table_ok(table_status) != 0) return false;
    usmsgc("ATTENTION: SOLID GEOMETRY IS UPDATED FOR THIS PROCEDURE.");
    if (e.word_no(edit_state::kNoQuestions) == 0) {
        int answer = 0;
        irepyc("UPDATE PROCEDURE?", answer);
        if (answer == kBack) {
            run.back = 1;
            redo(status, go);
            return true;
        }
        if (answer != kYes) {
            proc_end(status);
            status = kCancel;
            go = kCancel;
            return true;
        }
    }
    int mode = kSolidUpdate, result = 0;
    proc_type_registration().solid_update(mode, result);
    redo(status, go);
    return true;
}

// The criteria question, once per run. Answers true when the step ends here.
bool ask_criteria_once(int& status, int& go)
{
    proc_run_state& run = proc_run;
    const edit_state& e = EDA2();
    if (!run.once_ask || !run.solid_geometry || e.word_no(edit_state::kSuspend) != 0 ||
        e.word_no(eda2::kCriteriaChanged) == 0 || e.word_no(edit_state::kEditing) == 0 ||
        e.word_no(edit_state::kNoQuestions) != 0)
        return false;
    if (run.criteria_check) {
        go = kGoOn;
        return true;
    }
    if (is_template_active()) return false;
    int answer = 0;
    msg_quest(kQuestionGroup, kCriteriaQuestion, answer);
    status = answer;
    if (answer == kBack) {
        run.back = 1;
        redo(status, go);
        return true;
    }
    if (answer == kYes) {
        run.once_ask = 0;
        run.once_asked = 1;
        redo(status, go);
        return true;
    }
    return false;
}

}  // namespace

void proc_check_solid(int& status, int& go)
{
    if (offer_solid_update(status, go) || ask_criteria_once(status, go)) return;
    proc_run_state& run = proc_run;
    if (!run.criteria_check) {
        edit_state& e = EDA2();
        proc_pre_exec(proc_type_registration().pre_exec, run.interactive, run.update, run.contour_result,
                      e.word_no(eda2::kWasSuspended), e.word_no(edit_state::kNoQuestions),
                      e.word_no(eda2::kManuallyChanged), run.old_version, e.word_no(eda2::kWasInterrupted),
                      run.recompute, e.word_no(edit_state::kSuspend), run.change_result, run.optimizer,
                      e.word_no(eda2::kCriteriaChanged), status);
    }
    go = kGoOn;
}
