// The pocket's own parameter records written into a procedure block or a template (put
// parameters) in the order of the table of param_records.hpp, and its contour geometry entity (put
// geometry). Reads drelan_params_current, the contour table and its geometry buffer, the entry
// points, PRM9 and pocket_words_block.store_geometry.
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/param_records.hpp"
#include "pocket/pocket_words.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/proc_geom_entities.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <vector>

namespace {

using P = drelan_params;
using S = param_source;

constexpr int kGoOn = 0;
constexpr int kGeometryKind = 10003;
constexpr int kGeometryCode = 305, kCountCode = 35;
constexpr int kGeometryHeadWords = 6;
constexpr int kLastTemplateCode = 262;

contour_table& t = contour_table_block;
P& params() { return drelan_params_current; }

// The values of one row as they are written.
std::vector<word> row_values(const param_row& row)
{
    const P& p = params();
    const int n = contour_count();
    std::vector<word> values;
    switch (row.source) {
    case S::block: values.assign(p.words + row.index, p.words + row.index + row.count); break;
    case S::approach_retract: values = {p.at(P::kApproachLength), p.at(P::kRetractLength)}; break;
    case S::contour_offset:
        for (int k = 1; k <= n; ++k) values.push_back(real_to_word(t.offset[static_cast<std::size_t>(k)]));
        break;
    case S::contour_draft:
        for (int k = 1; k <= n; ++k) values.push_back(real_to_word(t.draft[static_cast<std::size_t>(k)]));
        break;
    case S::contour_type: values.assign(t.type.begin() + 1, t.type.begin() + 1 + n); break;
    case S::entry_count: values = {get_n_entry_pnts()}; break;
    case S::entry_points: {
        std::vector<float> points(3 * static_cast<std::size_t>(get_n_entry_pnts()));
        if (!points.empty()) copy_entry_pnts(points.data());
        for (const float v : points) values.push_back(real_to_word(v));
        break;
    }
    case S::tool_id: values = {PRM9().words[machine_params::kToolId]}; break;
    }
    return values;
}

// Entry points are written only when they are used; their points only when there are some.
bool row_written(const param_row& row)
{
    if (row.source == S::entry_count) return params().at(P::kEntryMode) > 1;
    if (row.source == S::entry_points) return params().at(P::kEntryMode) > 1 && get_n_entry_pnts() > 0;
    return true;
}

}  // namespace

void param_put_drelan(int& /*procedure_type*/, int& where, int& counter, int& status)
{
    status = kGoOn;
    const bool template_write = where == kWhereTemplateWrite;
    bool past_262 = false;
    for (const param_row& row : pocket_param_rows()) {
        if ((template_write && !param_row_in_template(row)) || !row_written(row)) continue;
        const std::vector<word> values = row_values(row);
        tpptntl(where, row.code, static_cast<int>(values.size()), row.real ? kTypeReal : kTypeInteger, values.data(),
                counter, status);
        if (status < 0 || (past_262 && status != kGoOn)) return;
        if (row.code == kLastTemplateCode) past_262 = true;
    }
}

void geom_put_drelan(int& /*procedure_type*/, int& where, int& counter, int& status)
{
    status = kGoOn;
    if (where == kWhereTemplateWrite) return;
    counter = 0;
    if (pocket_words_block.store_geometry == 0) return;
    int new_id = kNoEntity, old_id = kNoEntity;
    create_geom_ent(kGeometryKind, "        ", new_id, old_id, status);
    if (status < 0) return;
    int total = 0;
    for (int k = 1; k <= contour_count(); ++k) {
        int length = 0, measured = 0;
        dfdgld(geometry_record(k), length, measured);
        if (measured == kGoOn && length > 0) total += length;
    }
    total = std::min(total, contour_entries());
    tpptntl(where, kGeometryCode, kChainEntryWords * total, kTypeGeometry, contour_buffers_block.geometry.data(),
            counter, status);
    const word count = contour_count();
    if (status == kGoOn) tpptntl(where, kCountCode, 1, kTypeInteger, &count, counter, status);
    int closed = 0;
    eclose(closed);
    if (status != kGoOn) return;
    geom_length_update(kGeometryKind, new_id, old_id, kGeometryHeadWords + counter, status);
}
