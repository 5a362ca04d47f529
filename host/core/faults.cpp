// Fault injection. An armed fault names a call, the number of its first failing call (counted
// from when it was armed) and how many calls in a row fail.
#include "host/core/faults.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"

#include <string>
#include <vector>

namespace vantu {

namespace {
struct armed_fault {
    std::string call;
    long first;  // 1-based call number, counted from arming
    long count;  // how many calls fail from the first on
    int status;
    long seen = 0;  // calls made since arming
    long fired = 0;
};
std::vector<armed_fault>& armed()
{
    static std::vector<armed_fault> faults;
    return faults;
}
std::vector<std::string>& fired_log()
{
    static std::vector<std::string> log;
    return log;
}
}  // namespace

std::optional<int> fault_hit(std::string_view call)
{
    for (armed_fault& f : armed()) {
        if (f.call != call) continue;
        ++f.seen;
        if (f.seen >= f.first && f.seen < f.first + f.count) {
            ++f.fired;
            fired_log().push_back(f.call + " call " + std::to_string(f.seen) + " failed with status " +
                                  std::to_string(f.status));
            return f.status;
        }
    }
    return std::nullopt;
}

namespace control {
void inject_fault(std::string_view call, long first_call, long count, int status)
{
    armed().push_back({std::string(call), first_call < 1 ? 1 : first_call, count < 1 ? 1 : count, status});
}
void clear_faults() { armed().clear(); }
const std::vector<std::string>& faults_fired() { return fired_log(); }
}  // namespace control

static void reset_faults()
{
    armed().clear();
    fired_log().clear();
}
static const bool faults_registered = register_component({"faults", reset_faults, nullptr, nullptr, nullptr});

}  // namespace vantu
