// The working model's updates (updtwa): a changed tool path noted, or the part saved. The save
// is the part file's text as save_part_text gives it, kept for the run's checks.
#include "host/vantu_mdata.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"
#include "host/core/trace.hpp"

namespace {

struct work_model_state {
    long changes = 0;
    long saves = 0;
    std::string saved;
};

work_model_state& state()
{
    static work_model_state s;
    return s;
}

void reset_work_model() { state() = work_model_state{}; }

[[maybe_unused]] const bool work_model_registered =
    vantu::register_component({"work_model", reset_work_model, nullptr, nullptr, nullptr});

}  // namespace

void updtwa(int mode)
{
    vantu::trace_call("updtwa", "", mode);
    if (mode == kWorkModelChanged) ++state().changes;
    if (mode == kWorkModelSave) {
        state().saved = vantu::control::save_part_text();
        ++state().saves;
    }
}

namespace vantu::control {

long work_model_changes() { return state().changes; }
long work_model_saves() { return state().saves; }
const std::string& work_model_saved_text() { return state().saved; }

}  // namespace vantu::control
