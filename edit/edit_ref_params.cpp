// The editor's reference-surface parameters (see the header).
#include "edit/edit_ref_params.hpp"

#include "edit/editor/machining_state.hpp"
#include "edit/trim/trim_state.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tool_accessors.hpp"

#include <array>

namespace {

constexpr int kParamGroup = 25;
// A step of a third of the tool diameter, in single precision as it has always been stored.
constexpr float kStepFraction = 0.33333334f;

// Item code of the procedure's parameter group read as a value; false when it is missing. Every
// item read here is optional (a pocket procedure writes none of the surface items), so the search
// is the quiet one: a missing item keeps the caller's default without a line to the user.
bool item_value(int code, float& value)
{
    int count = 0, type = 0, status = 0;
    std::array<word, 4> words{};
    TPGETC(kWhereList, kParamGroup, code, count, type, words.data(), static_cast<int>(words.size()), status);
    if (status != 0 || count < 1) return false;
    value = type == kTypeReal ? word_to_real(words[0]) : static_cast<float>(words[0]);
    return true;
}

bool item_integer(int code, int& value)
{
    float read = 0.0f;
    if (!item_value(code, read)) return false;
    value = static_cast<int>(read);
    return true;
}

int procedure_function()
{
    int count = 0, type = 0, status = 0;
    word function = 0;
    TPGETN(kWhereList, kGroupHead, kHeadProcType, count, type, &function, 1, status);
    return status == 0 ? function : 0;
}

float current_mill_diameter()
{
    float diameter = -1.0f;
    tool_get_mill_diameter(PRM9().words[machine_params::kToolId], diameter);
    return diameter;
}

// The items of one family of surface functions: approach kind, SRF. APPROACH, SRF. ARC RADIUS.
struct approach_items {
    int kind, approach, arc_radius;
};

const approach_items* items_by_function(int function)
{
    static constexpr approach_items kPocketing{17, 48, 49}, kSurfaceLanes{230, 266, 234}, kLevels{349, 353, 354};
    switch (function) {
    case 5:
    case 9:
    case 14:
    case 35:
    case 36:
    case 37: return &kPocketing;
    case 27:
    case 48:
    case 56: return &kSurfaceLanes;
    case 34:
    case 38: return &kLevels;
    default: return nullptr;
    }
}

}  // namespace

void edit_ref_params_by_fn()
{
    trim_state& t = trim_words();
    t.srf_approach_kind = 1;
    t.srf_approach = 1.0f;
    const approach_items* items = items_by_function(t.nc_function);
    if (!items) return;
    item_integer(items->kind, t.srf_approach_kind);
    if (t.srf_approach_kind < 1 || t.srf_approach_kind > 7) t.srf_approach_kind = 1;
    item_value(items->approach, t.srf_approach);
    item_value(items->arc_radius, t.srf_arc_radius);
}

int proc_table_flags_surface(int procedure)
{
    constexpr int kStateShownS = 4, kSecondStateShownS = 2;
    if (procedure < 1 || procedure > proc_summary_table::kProcedures) return 0;
    const proc_summary_entry& e = *proc_table_entry(procedure);
    return e.column17 != 0 || e.state == kStateShownS || e.state2 == kSecondStateShownS ? 1 : 0;
}

int proc_is_surface_kind(int read_item)
{
    trim_state& t = trim_words();
    switch (t.nc_function) {
    case 5:
    case 14:
    case 27:
    case 34:
    case 38:
    case 48:
    case 56: return 1;
    case 9:
    case 35:
    case 36:
    case 37:
        if (read_item) {
            t.surface_item = 0;
            item_integer(82, t.surface_item);
        }
        return t.surface_item == 1 ? 1 : 0;
    default: return 0;
    }
}

void edit_ref_params_load(int procedure, int& status)
{
    trim_state& t = trim_words();
    t.nc_function = procedure_function();
    t.del_z_up = 2.0f;
    t.ref_srf_tol = 0.1f;
    t.contour_tol = 0.1f;
    item_value(16, t.del_z_up);
    if (!item_value(58, t.ref_srf_tol)) item_value(57, t.ref_srf_tol);
    item_value(25, t.contour_tol);

    const float diameter = current_mill_diameter();
    if (diameter > 0.0f) t.srf_arc_radius = diameter;
    edit_ref_params_by_fn();
    t.srf_approach_offered = proc_is_surface_kind(1) && !proc_table_flags_surface(procedure) ? 1 : 0;
    if (!t.srf_approach_offered) t.srf_approach_kind = 1;

    t.step = diameter > 0.0f ? diameter * kStepFraction : 0.0f;
    item_value(298, t.step);
    t.second_step = t.step;
    item_value(59, t.second_step);
    t.integer_word = 1;
    item_integer(63, t.integer_word);
    t.surface_offsets[0] = t.surface_offsets[1] = 0.0f;
    item_value(55, t.surface_offsets[0]);
    item_value(56, t.surface_offsets[1]);
    ref_lists_collect();
    status = 0;
}
