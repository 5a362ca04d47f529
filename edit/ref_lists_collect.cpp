// ref_lists_collect: the current procedure's two lists of reference surfaces, read from the
// parameters of its geometry buffers and handed to the triangulation cache.
#include "edit/edit_ref_params.hpp"

#include "driver/proc_read_existing.hpp"
#include "edit/trim/trig_cache.hpp"
#include "host/vantu_geom.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_nc.hpp"
#include "host/vantu_ncs_table.hpp"
#include "toolpath/proc_geom_entities.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kGeomClass = 9, kGeomType = 7;
constexpr int kAbsent = 1;

// Where a geometry kind keeps its list: the count, the identifiers as they are now and as they
// were stored, and the companion words.
struct list_source {
    int kind;
    int list;  // 1 or 2
    int count_code, current_code, stored_code, aux_code;
};
constexpr list_source kSources[] = {
    {10001, 1, 43, 308, 246, 247},
    {10004, 1, 43, 308, 45, 46},
    {10002, 2, 44, 309, 245, 248},
};

struct surface_list {
    std::vector<int> ids, aux;
};

// An array parameter of the geometry, at most `most` words: empty when it is absent.
bool read_array(int geometry, int code, int most, std::vector<int>& values)
{
    int held = 0, status = 0;
    gs_param(kParamGetArray, geometry, kGeomClass, kGeomType, code, nullptr, 0, held, status);
    if (status != 0) return false;
    values.assign(static_cast<std::size_t>(std::clamp(held, 0, most)), 0);
    gs_param(kParamGetArray, geometry, kGeomClass, kGeomType, code, values.data(), static_cast<int>(values.size()),
             held, status);
    return status == 0;
}

// The list of one geometry. The identifiers of the current parameter are brought up to date;
// without them the stored ones are taken, and without both the list stays as read (empty).
surface_list read_list(int geometry, const list_source& source)
{
    surface_list list;
    word count = 0;
    int held = 0, status = 0;
    gs_param(kParamGetInteger, geometry, kGeomClass, kGeomType, source.count_code, &count, 1, held, status);
    if (status != 0 || count < 1) return list;
    if (read_array(geometry, source.current_code, count, list.ids)) {
        std::vector<int> current(list.ids.size());
        ncs_update_surfaces(list.ids.data(), static_cast<int>(list.ids.size()), current.data(), status);
        if (status == 0) list.ids = std::move(current);
    } else if (!read_array(geometry, source.stored_code, count, list.ids)) {
        userrc("problem with surfaces");
    }
    // A companion word the geometry does not hold is 0.
    read_array(geometry, source.aux_code, static_cast<int>(list.ids.size()), list.aux);
    list.aux.resize(list.ids.size(), 0);
    return list;
}

}  // namespace

void ref_lists_collect()
{
    surface_list lists[2];
    int status = 0, count = 0;
    geom_id_list geometries{};
    proc_flags_read(status);
    if (status >= 0) find_geom_buf(proc_flags().pairs, count, geometries, status);
    for (int g = 0; status >= 0 && g < std::min(count, static_cast<int>(geometries.size())); ++g) {
        int kind = 0, found = 0;
        get_geom_type(geometries[static_cast<std::size_t>(g)], kind, found);
        const auto source = std::find_if(std::begin(kSources), std::end(kSources),
                                         [kind](const list_source& s) { return s.kind == kind; });
        // A later geometry of the same list replaces the earlier one.
        if (found >= 0 && source != std::end(kSources))
            lists[source->list - 1] = read_list(geometries[static_cast<std::size_t>(g)], *source);
    }
    ref_lists_set(static_cast<int>(lists[0].ids.size()), static_cast<int>(lists[1].ids.size()), lists[1].ids.data(),
                  lists[0].ids.data(), lists[0].aux.data(), lists[1].aux.data());
}
