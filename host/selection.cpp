// The host's selection list (sllen, sldelr, slpsh3, pickm_push), the box and point inputs
// (draw_box, get_box_coor, ncs_get_point), point patterns (drppts) and the associativity table
// of picked entities (ncs_table_insert, ncs_table_delete). Session state, reset with the host.
#include "host/vantu_selection.hpp"

#include "host/control/selection.hpp"
#include "host/core/component.hpp"
#include "host/core/entity_store.hpp"
#include "host/core/faults.hpp"
#include "host/core/script_engine.hpp"
#include "host/core/selection_runs.hpp"
#include "host/core/trace.hpp"

#include <algorithm>
#include <cmath>
#include <string>

namespace vantu {

namespace {

constexpr int kEdgeKind = 4;

struct selection_state {
    selection_runs list;
    float box[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    std::vector<std::pair<int, int>> associations;
};

selection_state& state()
{
    static selection_state s;
    return s;
}

void reset_selection() { state() = selection_state{}; }

const bool selection_registered = register_component({"selection", reset_selection, nullptr, nullptr, nullptr});

// One point event of the script: 0 with the point, or the exit code.
int ask_point(std::string_view call, const std::string& text, float* point)
{
    const script::event e{script::event_kind::point, call, text};
    const script::step* given = script::find_answer(e);
    const int status = given ? given->code : script::kCancel;
    if (status == 0) {
        for (int i = 0; i < 3; ++i) point[i] = static_cast<float>(given->point[i]);
        script::answered(e, given,
                         "(" + script::real_text(point[0]) + ", " + script::real_text(point[1]) + ", " +
                             script::real_text(point[2]) + ")");
    } else {
        script::answered(e, given, std::to_string(status));
    }
    return status;
}

}  // namespace

namespace control {
// The entries in order, made on asking (the list keeps them in runs) and kept until asked again.
const std::vector<selection_entry>& selection_list()
{
    static std::vector<selection_entry> entries;
    entries = state().list.entries();
    return entries;
}
const std::vector<std::pair<int, int>>& associations() { return state().associations; }
}  // namespace control

}  // namespace vantu

int sllen() { return static_cast<int>(vantu::state().list.size()); }

void sldelr(int first, int last, int& status)
{
    auto& list = vantu::state().list;
    status = -1;
    if (first >= 1 && first <= last && last <= static_cast<int>(list.size())) {
        list.erase(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last));
        status = 0;
    }
    vantu::trace_call("sldelr", std::to_string(first) + "," + std::to_string(last), status);
}

void slrjct(int& status)
{
    auto& list = vantu::state().list;
    status = -1;
    if (list.size() > 0) {
        list.pop_back();
        status = 0;
    }
    vantu::trace_call("slrjct", std::to_string(list.size()), status);
}

namespace vantu {

std::optional<control::selection_entry> checked_curve_entry(int entity, const float* point, int& status)
{
    std::optional<control::selection_entry> e;
    status = 0;
    if (auto fault = fault_hit("slpsh3")) {
        status = *fault;
    } else if (find_entity(entity) == nullptr) {
        status = -5;
    } else {
        e = control::selection_entry{entity, 0, {}};
        if (point) std::copy(point, point + 3, e->point.begin());
    }
    trace_call("slpsh3", std::to_string(entity), status);
    return e;
}

void push_selection_loop(std::vector<control::selection_entry> entries) { state().list.push_loop(std::move(entries)); }

}  // namespace vantu

void slpsh3(int entity, const float* point, int& status)
{
    if (const auto e = vantu::checked_curve_entry(entity, point, status)) vantu::state().list.push(*e);
}

void pickm_push(int kind, int unique_id, int /*type*/, int& status)
{
    status = kind == vantu::kEdgeKind ? 0 : -1;
    if (status == 0) vantu::state().list.push({unique_id, kind, {}});
    vantu::trace_call("pickm_push", std::to_string(kind) + "," + std::to_string(unique_id), status);
}

void draw_box(int& status)
{
    float a[3] = {0, 0, 0}, b[3] = {0, 0, 0};
    status = vantu::ask_point("draw_box", "drag a box: first corner", a);
    if (status == 0) status = vantu::ask_point("draw_box", "drag a box: second corner", b);
    if (status == 0) {
        float* box = vantu::state().box;
        box[0] = std::min(a[0], b[0]);
        box[1] = std::min(a[1], b[1]);
        box[2] = std::max(a[0], b[0]);
        box[3] = std::max(a[1], b[1]);
    }
    vantu::trace_call("draw_box", "", status);
}

void get_box_coor(float* box)
{
    if (box) std::copy(vantu::state().box, vantu::state().box + 4, box);
}

void ncs_get_point(int mode, float* point, int& entity, int& status)
{
    float p[3] = {0, 0, 0};
    status = vantu::ask_point("ncs_get_point", "indicate a point (mode " + std::to_string(mode) + ")", p);
    if (status == 0 && point) {
        std::copy(p, p + 3, point);
        entity = -1;
    }
    vantu::trace_call("ncs_get_point", std::to_string(mode), status);
}

void drppts(int pattern, int room, float* points, int& count, int& status)
{
    const vantu::entity* e = vantu::find_entity(pattern);
    count = 0;
    status = -1;
    if (e && e->entity_class == kPatternClass && e->type == kPatternType && !e->words.empty()) {
        const int n = e->words[0];
        if (n >= 0 && static_cast<std::size_t>(n) * 3 + 1 <= e->words.size()) {
            count = n;
            status = (n > room || (n > 0 && points == nullptr)) ? -2 : 0;
            for (int i = 0; status == 0 && i < 3 * n; ++i)
                points[i] = word_to_real(e->words[static_cast<std::size_t>(i) + 1]);
        }
    }
    vantu::trace_call("drppts", std::to_string(pattern), status);
}

int ncs_obj_uid(int entity) { return entity; }

int ncs_get_generation_number(int entity) { return vantu::find_entity(entity) ? 1 : 0; }

void ncs_table_insert(int type, int entity, int /*unique_id*/, int /*generation*/, int& status)
{
    status = vantu::find_entity(entity) ? 0 : -1;
    if (status == 0) vantu::state().associations.emplace_back(type, entity);
    vantu::trace_call("ncs_table_insert", std::to_string(type) + "," + std::to_string(entity), status);
}

void ncs_table_delete(int type, int entity, int& status)
{
    auto& a = vantu::state().associations;
    const auto it = std::find(a.begin(), a.end(), std::make_pair(type, entity));
    status = it == a.end() ? 1 : 0;
    if (it != a.end()) a.erase(it);
    vantu::trace_call("ncs_table_delete", std::to_string(type) + "," + std::to_string(entity), status);
}
