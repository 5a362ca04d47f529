// The association check and its tree (see the header).
#include "listing/proc_assoc.hpp"

#include "host/vantu.hpp"
#include "listing/proc_summary.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <vector>

namespace {

constexpr int kWholeList = -1;
constexpr int kMarker = 2;
constexpr int kProcedureNode = 1, kGeometryNode = 2;
constexpr int kProcedureType = 12;
constexpr int kNoPairKind = 10012;
constexpr int kSuspended = 2;
constexpr int kToolClass = 20, kRecordClass = 22, kUcsClass = 8, kSolidClass = 4;
constexpr int kKeepFlag = 1, kChangedFlag = 32;
// The walk restarts after every edit found; each restart settles one procedure more, so this
// many rounds end it whatever the host answers.
constexpr int kMostRoundsPerProcedure = 4;

struct columns {
    int count;
    const int* numbers;
    const int* code47;
    int* g;
    int* state;
    int* u;

    bool all_settled() const
    {
        for (int i = 0; i < count; ++i)
            if (g[i] == 0 || state[i] != kSuspended) return false;
        return true;
    }
};

bool edited_kind(const assoc_step& s)
{
    return (s.entity_class == kSolidClass && s.type == 1) ||
           ((s.entity_class == 1 || s.entity_class == 2) && s.type == 15);
}

// Applies one step to procedure i; true when the walk restarts.
bool apply_step(int mode, const assoc_step& s, int i, const columns& c, bool tree_here)
{
    c.u[i] = 0;
    if (s.entity_class == kToolClass) {
        if (asedit(s.entity) == 0) return false;
        c.state[i] = kSuspended;
        c.u[i] = 1;
        if (tree_here)
            if (proc_summary_entry* e = proc_table_entry(c.numbers[i])) e->m = 0;
        return true;
    }
    if (s.entity_class == kRecordClass && s.type == 1) return false;
    if (s.entity_class == kUcsClass && s.type == 1 &&
        ((s.flags & kKeepFlag) != 0 || (s.status > 0 && eucs(s.entity) != 0)))
        return false;
    if (s.status != 0) {
        c.g[i] = 1;
        return false;
    }
    const bool edited = asedit(s.entity) != 0;
    if (edited && mode != 3) {
        if (edited_kind(s) || c.code47[i] == 1)
            c.state[i] = kSuspended;
        else
            c.g[i] = 1;
    } else if (aschge(s.entity) != 0 || (s.flags & kChangedFlag) != 0) {
        c.g[i] = 1;
    }
    return false;
}

// One walk of the association record; true when it has to start again.
bool walk(int mode, int searched, int procedure_id, const columns& c, bool tree_here)
{
    assoc_step step;
    int status = 0, current = -1;
    std::vector<int> blocks;
    for (asseqa(1, searched, step, status); status == 0; asseqa(0, searched, step, status)) {
        if (step.procedure != current) {
            current = step.procedure;
            int found = 0;
            ncn_assoc_find_geom_proc(current, blocks, found);
            if (found != 0) blocks.clear();
        }
        if (step.procedure != searched && blocks.empty()) continue;
        int block = blocks.empty() ? step.procedure : blocks.front();
        if (procedure_id > 0) get_set_blknum(1, procedure_id, block);
        const int i = int_list_index(c.count, c.numbers, block) - 1;
        if (i >= c.count) continue;
        if (apply_step(mode, step, i, c, tree_here)) return true;
    }
    return false;
}

}  // namespace

void proc_assoc_update(int mode, int procedure_id, int count, const int* numbers, const int* code47, int* g, int* state,
                       int* u)
{
    if (count < 1 || mode < 1 || mode > 3 || (count != 1 && mode != 1)) return;
    if (!numbers || !code47 || !g || !state || !u) return;
    word clp1[proc_colour_pen::kWords] = {};
    int status = 0;
    mdgetc("CLP1", proc_colour_pen::kWords, clp1, status);
    const bool whole =
        procedure_id == kWholeList || (procedure_id == clp1[proc_colour_pen::kToolPath] && lopnls() != 0);
    int root = 0;
    if (whole) {
        proc_assoc_tree_build(count, root, status);
        if (status != 0) {
            int deleted = 0;
            if (root > 0) ncn_assoc_delete_node(root, deleted);
            return;
        }
    }
    const columns c{count, numbers, code47, g, state, u};
    for (int i = 0; i < count; ++i) u[i] = 0;
    const int searched = whole ? kWholeList : procedure_id;
    for (int round = 0; round < kMostRoundsPerProcedure * count && !c.all_settled(); ++round)
        if (!walk(mode, searched, procedure_id, c, whole)) break;
    if (whole) ncn_assoc_delete_node(root, status);
}

void proc_assoc_tree_build(int count, int& root, int& status)
{
    int marked = 0;
    lmark(1, kMarker, marked);
    if (marked != 1) {
        status = -1;
        return;
    }
    int view = 0;
    gsvnum(1, view);
    ncn_assoc_create_tree(view, root, status);
    if (status != 0) return;
    ltop(status);
    int line = 0;
    lacces(2, line);
    for (int k = 0; k < count && status == 0; ++k) {
        tp_find_block_type(kProcedureType, status);
        if (status != 0) return;
        word number = 0;
        int n = 0, type = 0;
        TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, n, type, &number, 1, status);
        if (status < 0) return;
        int node = 0;
        ncn_assoc_add_node(root, kProcedureNode, number, node, status);
        if (status != 0) return;
        read_proc_flags(status);
        if (status < 0) return;
        const proc_geom_pairs& f = proc_flags();
        for (int p = 0; p < proc_geom_pairs::kPairs && status == 0; ++p) {
            const int id = f.pairs[static_cast<std::size_t>(2 * p + 1)];
            if (id <= 0) continue;
            int kind = 0, geometry = 0;
            get_geom_type(last_geom_temp_id(id), kind, status);
            if (status != 0) kind = 0;
            status = 0;
            if (kind != kNoPairKind) ncn_assoc_add_node(node, kGeometryNode, last_geom_temp_id(id), geometry, status);
        }
        if (status == 0) tp_list_jump(1, status);
        if (status > 0) status = 0;
    }
    int back = 0;
    tp_list_top_mark(kMarker, back);
    if (status == 0 && back < 0) status = back;
}
