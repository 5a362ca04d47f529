// The association records of procedures and their tree (host/vantu_assoc_records.hpp). The steps
// and the edited and changed entities come from the tests; the tree lasts for the session.
#include "host/vantu_assoc_records.hpp"

#include "host/control/assoc_records.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/flags.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int kUcsClass = 8, kWholeTree = -1, kProcedureNode = 1;

struct assoc_state {
    std::vector<assoc_step> steps;
    std::set<int> edited, changed;
    std::map<int, int> block_of;
    std::vector<vantu::control::assoc_node> tree;
    int next_node = 1;
    std::size_t walk_at = 0;
};

assoc_state& state()
{
    static auto* s = new assoc_state;
    return *s;
}

void reset_state() { state() = assoc_state{}; }

const bool assoc_records_registered =
    vantu::register_component({"assoc_records", reset_state, nullptr, nullptr, nullptr});

bool in_tree(int procedure)
{
    const auto& tree = state().tree;
    return std::any_of(tree.begin(), tree.end(),
                       [&](const auto& n) { return n.kind == kProcedureNode && n.value == procedure; });
}

bool node_exists(int node)
{
    const auto& tree = state().tree;
    return std::any_of(tree.begin(), tree.end(), [&](const auto& n) { return n.id == node; });
}

}  // namespace

void asseqa(int first, int procedure, assoc_step& step, int& status)
{
    assoc_state& s = state();
    if (first == 1) s.walk_at = 0;
    status = 1;
    while (s.walk_at < s.steps.size()) {
        const assoc_step& candidate = s.steps[s.walk_at++];
        if (procedure == kWholeTree ? in_tree(candidate.procedure) : candidate.procedure == procedure) {
            step = candidate;
            status = 0;
            break;
        }
    }
    vantu::trace_count("asseqa");
}

int asedit(int entity) { return state().edited.count(entity) != 0 ? 1 : 0; }
int aschge(int entity) { return state().changed.count(entity) != 0 ? 1 : 0; }

int eucs(int entity)
{
    const vantu::entity* e = vantu::find_entity(entity);
    return e && e->entity_class == kUcsClass ? 1 : 0;
}

void ncn_assoc_find_geom_proc(int procedure, std::vector<int>& blocks, int& status)
{
    blocks.clear();
    if (state().tree.empty() || in_tree(procedure)) blocks.push_back(procedure);
    status = blocks.empty() ? -1 : 0;
    vantu::trace_count("ncn_assoc_find_geom_proc");
}

void ncn_assoc_create_tree(int view, int& root, int& status)
{
    assoc_state& s = state();
    status = 0;
    if (auto fault = vantu::fault_hit("ncn_assoc_create_tree")) {
        status = *fault;
    } else {
        s.tree.clear();
        root = s.next_node++;
        s.tree.push_back({root, 0, 0, view});
    }
    vantu::trace_call("ncn_assoc_create_tree", std::to_string(view), status);
}

void ncn_assoc_add_node(int parent, int kind, int id, int& node, int& status)
{
    assoc_state& s = state();
    status = node_exists(parent) ? 0 : -1;
    if (status == 0) {
        node = s.next_node++;
        s.tree.push_back({node, parent, kind, id});
    }
    vantu::trace_call("ncn_assoc_add_node", std::to_string(kind) + "," + std::to_string(id), status);
}

void ncn_assoc_delete_node(int node, int& status)
{
    assoc_state& s = state();
    status = node_exists(node) ? 0 : -1;
    std::set<int> gone{node};
    // Parents come before their children, so one pass in order collects the whole subtree.
    for (const auto& n : s.tree)
        if (gone.count(n.parent) != 0) gone.insert(n.id);
    std::erase_if(s.tree, [&](const auto& n) { return gone.count(n.id) != 0; });
    vantu::trace_call("ncn_assoc_delete_node", std::to_string(node), status);
}

void get_set_blknum(int mode, int procedure_id, int& block_number)
{
    if (mode != 1) return;
    auto it = state().block_of.find(procedure_id);
    block_number = it == state().block_of.end() ? -1 : it->second;
}

int last_geom_temp_id(int id) { return id; }

void gs_check_movmnt(int mode, int& value)
{
    if (mode == 1) value = vantu::flag_get("check_movmnt");
}

namespace vantu::control {

void set_assoc_steps(const std::vector<assoc_step>& steps) { state().steps = steps; }
void set_entity_edited(int entity, bool edited)
{
    if (edited)
        state().edited.insert(entity);
    else
        state().edited.erase(entity);
}
void set_entity_changed(int entity, bool changed)
{
    if (changed)
        state().changed.insert(entity);
    else
        state().changed.erase(entity);
}
void set_procedure_block(int procedure_id, int block_number) { state().block_of[procedure_id] = block_number; }
const std::vector<assoc_node>& assoc_tree() { return state().tree; }

}  // namespace vantu::control
