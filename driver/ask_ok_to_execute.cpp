// The question whether to execute, update, replace or suspend a procedure, with its menus and
// the prompts that follow the answer.
#include "driver/pre_exec.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"

namespace {

constexpr int kQuestionModule = 319;
constexpr int kExecuteOptimizationMessage = 10, kSuspendOptimizationMessage = 12, kReplaceMessage = 100;
constexpr int kOptimizeOnly = 1;
constexpr int kMaxRounds = 100;  // a host that never gives a usable answer still ends the loop

constexpr std::string_view kYesNo = "YES    @NO     ";
constexpr std::string_view kYesNoForce = "YES    @NO     @force  ";
constexpr std::string_view kYesNoSuspend = "YES    @NO     @SUSPEND";
constexpr std::string_view kYesNoSuspendForce = "YES    @NO     @SUSPEND@force  ";
constexpr std::string_view kYesNoUpdate = "YES   @NO    @UPDATE";
constexpr std::string_view kSuspendWarning = "WARNING: SUSPENDING PROCEDURE WILL DELETE ALL MOTIONS";

struct question {
    int g, suspend_allowed, r, u, s, direct, q, optimizer, c;
    bool force;
    bool editing;
};

int menu(std::string_view text)
{
    int choice = 0;
    menuc(text, choice);
    return choice;
}

// A YES/NO menu, with the force choice when it is offered (its third item means 4).
int yes_no(const question& k)
{
    const int choice = menu(k.force ? kYesNoForce : kYesNo);
    return k.force && choice == 3 ? kAnswerForce : choice;
}

int execute_question(const question& k)
{
    if (k.q == kOptimizeOnly)
        msg_prompt(kQuestionModule, kExecuteOptimizationMessage);
    else
        prmptc("OK TO EXECUTE?");
    if (k.direct) return tamsa_flag_get() && execute_flag_get() ? kAnswerYes : kAnswerSuspend;
    if (!k.suspend_allowed) return yes_no(k);
    if (k.force && k.q != kOptimizeOnly) return menu(kYesNoSuspendForce);
    return menu(k.q == kOptimizeOnly ? kYesNoUpdate : kYesNoSuspend);
}

// Update or replace of a procedure that is not to be executed; updating answers whether the
// procedure is being updated.
int update_question(const question& k, bool& updating)
{
    if (k.u) {
        int answer = kAnswerYes;
        if (!k.direct) {
            prmptc("OK TO UPDATE?");
            answer = yes_no(k);
        }
        updating = answer != kAnswerForce;
        return answer;
    }
    if (k.direct) return tamsa_flag_get() && replace_flag_get() ? kAnswerYes : kAnswerCancel;
    msg_prompt(kQuestionModule, kReplaceMessage);
    const int choice = yes_no(k);
    return choice == kAnswerYes ? kAnswerCancel : choice;
}

int suspend_question(const question& k)
{
    if (k.direct) return kAnswerSuspend;
    if (k.editing && !k.optimizer && k.q != kOptimizeOnly) usmsgc(kSuspendWarning);
    if (k.q == kOptimizeOnly)
        msg_prompt(kQuestionModule, kSuspendOptimizationMessage);
    else
        prmptc("OK TO SUSPEND?");
    const int choice = menu(kYesNo);
    return choice == kAnswerYes ? kAnswerSuspend : choice;
}

int ask_once(const question& k, bool& updating)
{
    if (k.g && !k.s && (k.r || k.q) && !k.c) return execute_question(k);
    const bool without_geometry_recompute = !k.g && k.r;
    if (!without_geometry_recompute && (!k.s || !k.r || !k.g) && (!k.g || !k.r || !k.c) && (!k.s || !k.q))
        return update_question(k, updating);
    return suspend_question(k);
}

}  // namespace

void ask_ok_to_execute(int geometry_defined, int suspend_allowed, int recompute, int update, int suspend, int direct,
                       int result, int optimizer, int criteria_changed, int& answer)
{
    answer = kAnswerCancel;
    if (suspend && !suspend_allowed) return;
    const bool editing = EDA2().word_no(edit_state::kEditing) != 0;
    question k{geometry_defined, suspend_allowed,
               recompute,        update,
               suspend,          direct,
               result,           optimizer,
               criteria_changed, !suspend && indbug() && geometry_defined && !criteria_changed,
               editing};
    bool updating = false;
    int rounds = 0;
    do {
        answer = ++rounds > kMaxRounds ? kAnswerCancel : ask_once(k, updating);
    } while (answer == 0 || answer < kAnswerBack || answer > kAnswerForce);

    if (answer == kAnswerYes && updating) {
        prmptc("U P D A T I N G");
    } else if (answer == kAnswerYes || answer == kAnswerForce) {
        prexec();
    } else if (answer == kAnswerSuspend && result != kOptimizeOnly) {
        prmptc("S U S P E N D I N G");
        if (editing && !optimizer) usmsgc(kSuspendWarning);
    }
}
