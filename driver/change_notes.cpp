// The notes shown before the question whether to execute: what the change analysis found, what
// will not be available for a rerun, and why a procedure will be executed again.
#include "driver/pre_exec.hpp"
#include "host/vantu.hpp"
#include "nc_services/msg_window.hpp"
#include "nc_services/nc_state_blocks.hpp"

#include <string>
#include <vector>

namespace {

constexpr int kQuestionModule = 319, kWarningsMessage = 550, kNoGeometryMessage = 560;
constexpr int kOptimizerModule = 339, kOptimizationOnlyMessage = 90;
constexpr int kOptimizeOnly = 1, kMachineOptimize = 3;
constexpr std::size_t kNoteChars = kTextBufferChars;

// A note of two pieces, joined by the host's text assembly.
std::string note(std::string_view first, std::string_view second)
{
    std::string text;
    maktxt(first, second, text);
    return text;
}

std::size_t shown_length(const std::string& text)
{
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string::npos ? 0 : end + 1;
}

// "RE-EXECUTION WILL BE DUE TO PROCEDURE BEING" and its reasons; empty when a reason would take
// the line past 80 characters (the note is then left out as a whole).
std::string rerun_reasons(int was_suspended, int was_interrupted, int old_version, int manually_changed)
{
    std::vector<std::string_view> reasons;
    if (was_suspended)
        reasons.push_back("SUSPENDED");
    else if (was_interrupted)
        reasons.push_back("INTERRUPTED");
    if (old_version) reasons.push_back("FROM OLD VERSION");
    if (manually_changed) reasons.push_back("MANUALLY CHANGED");
    std::string line = "RE-EXECUTION WILL BE DUE TO PROCEDURE BEING";
    for (std::size_t i = 0; i < reasons.size(); ++i) {
        line += i == 0 ? " " : ", ";
        line += reasons[i];
        if (line.size() > kNoteChars) return std::string();
    }
    return line;
}

void show(const std::string& first, const std::string& second)
{
    const std::size_t a = shown_length(first), b = shown_length(second);
    if (a < 2) {
        if (b > 1) usrmsg(second.substr(0, b));
    } else if (b < 2) {
        usrmsg(first.substr(0, a));
    } else {
        usrms4(first.substr(0, a), "|" + second.substr(0, b));
    }
}

}  // namespace

void proc_change_notes(int geometry_defined, int geometry_kept, int old_version, int was_suspended,
                       int manually_changed, int was_interrupted, int update, int suspend, int& result,
                       int criteria_changed, int& recompute)
{
    std::string first, second;
    const bool rerun_cause = old_version || was_suspended || manually_changed || was_interrupted;
    const bool notes_wanted = result != kOptimizeOnly && result != kMachineOptimize;
    bool changes_known = false;  // steps 3 to 6 decided nothing more is to be said
    if (notes_wanted && !geometry_defined) {
        const bool editing = EDA2().word_no(edit_state::kEditing) != 0;
        if (tamsa_flag_get() == 0 || (!is_some_template_operation() && editing)) {
            msg_window_state& window = msg_window_data();
            if (window.count != 0) {
                msg_mdls(kQuestionModule, kWarningsMessage);
                window.count = 0;
            } else {
                msg_mdls(kQuestionModule, kNoGeometryMessage);
            }
        }
        changes_known = recompute || update;
    } else if (notes_wanted && !geometry_kept) {
        second = note("WARNING: GEOMETRIC ENTITIES WILL NOT BE", "AVAILABLE FOR RERUN");
    } else if (notes_wanted && criteria_changed && !is_some_template_CreateRead_operation()) {
        first = "NOTE:  GEOMETRY BY CRITERIA CAN NOT BE UPDATED";
    }

    if (notes_wanted && !changes_known && !recompute) {
        if (!update && result == 0) {
            const std::string text =
                msg_window_data().count != 0
                    ? note("NOTE: NO CHANGES IN", "PROCEDURE'S PARAMETERS. ATTENTION: WARNINGS ISSUED")
                    : note("NOTE: NO CHANGES IN", "PROCEDURE'S PARAMETERS");
            (first.empty() ? first : second) = text;
        } else if (!suspend && result == 0) {
            first = note("NOTE: CHANGES DO NOT REQUIRE", "RE-EXECUTION");
        }
        if (rerun_cause) recompute = 1;
        if (geometry_defined && !suspend && rerun_cause) {
            if (std::string reasons = rerun_reasons(was_suspended, was_interrupted, old_version, manually_changed);
                !reasons.empty())
                second = reasons;
        }
    }

    if (result == kOptimizeOnly) first = note("NOTE: ONLY OPTIMIZATION WILL BE CALCULATED", "FOR THIS PROCEDURE");
    modinz();
    if (result == kMachineOptimize) {
        result = kOptimizeOnly;
        msg_mdls(kOptimizerModule, kOptimizationOnlyMessage);
        return;
    }
    show(first, second);
}
