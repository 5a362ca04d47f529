// Trace and call counts of the host stand-in.
#include "host/core/trace.hpp"

#include "host/control.hpp"
#include "host/core/component.hpp"

#include <string>
#include <unordered_map>

namespace vantu {

namespace {
// Counts are looked up on every host call, comparisons and word reads included, so the table is a
// hash map searched with the caller's string_view without building a string. Its nodes never
// move and are never erased (a reset zeroes the counts), so call_counter keeps their addresses.
struct name_hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
};
struct trace_state {
    bool on = false;
    std::vector<control::trace_entry> entries;
    std::unordered_map<std::string, long, name_hash, std::equal_to<>> counts;
};
// Never destroyed, so counter handles and calls made from static destructors stay valid.
trace_state& state()
{
    static trace_state* s = new trace_state;
    return *s;
}
long& counter_of(std::string_view name)
{
    auto& counts = state().counts;
    auto it = counts.find(name);
    if (it == counts.end()) it = counts.emplace(std::string(name), 0).first;
    return it->second;
}
void count(std::string_view name) { ++counter_of(name); }
void zero_counts()
{
    for (auto& entry : state().counts) entry.second = 0;
}
}  // namespace

void trace_call(std::string_view name, std::string_view arguments, int result)
{
    count(name);
    if (state().on) state().entries.push_back({std::string(name), std::string(arguments), result});
}

void trace_count(std::string_view name) { count(name); }

call_counter::call_counter(std::string_view name) : count_(&counter_of(name)) {}

namespace control {
void set_tracing(bool on) { state().on = on; }
bool tracing() { return state().on; }
const std::vector<trace_entry>& trace_entries() { return state().entries; }
long call_count(std::string_view name)
{
    auto it = state().counts.find(name);
    return it == state().counts.end() ? 0 : it->second;
}
void clear_trace()
{
    state().entries.clear();
    zero_counts();
}
std::vector<std::string> trace_names()
{
    std::vector<std::string> names;
    for (const trace_entry& e : state().entries) names.push_back(e.name);
    return names;
}
}  // namespace control

static void reset_trace()
{
    state().on = false;
    state().entries = {};
    zero_counts();
}
static const bool trace_registered = register_component({"trace", reset_trace, nullptr, nullptr, nullptr});

}  // namespace vantu
