// The small callbacks of the pocket procedure: defaults and clean-up, the contour records, the
// pre-execution hook and the parameter translations. Define, execute, the parameter records and
// the change test have files of their own.
#include "pocket/pocket_callbacks.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_entr.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "pocket/contour_records.hpp"
#include "pocket/contour_table.hpp"
#include "pocket/drelan_params.hpp"
#include "pocket/engine_steps.hpp"
#include "pocket/entry_pnt_tables.hpp"
#include "pocket/n0_lvls.hpp"
#include "pocket/pocket_words.hpp"
#include "pocket/polbuf.hpp"
#include "pocket/region_table.hpp"
#include "pocket_arrays/pokmain.hpp"
#include "toolpath/proc_flags.hpp"

namespace {

constexpr int kGoOn = 0;
constexpr int kSetDefaults = 1;
constexpr int kReadRecords = 1, kStoreRecords = 2, kTestRecords = 3;
constexpr int kDeleteSymbols = 1;
constexpr int kCloseArrays = 1;
constexpr int kOpenReset = 2;
constexpr int kGeometryKind = 10003;

// A step's failure is kept and the next steps still run.
void keep(int& status, int step_status)
{
    if (status == kGoOn && step_status != kGoOn) status = step_status;
}

// Polygon buffers and levels that a previous run left open are given back before they are
// opened again, so that a second set of defaults leaves nothing behind.
void release_packages(int& status)
{
    int released = kGoOn;
    if (polbuf_block.buffers[0].handle != kPolbufNotInitialised) {
        polbuf_release_all(kCloseArrays, released);
        keep(status, released);
    }
    if (n0_lvls_block.initialised) {
        n0_lvls_release(released);
        keep(status, released);
    }
}

void set_defaults(int& status)
{
    const float top_z = tool_path_origin_z();
    drelan_params_defaults(top_z, drelan_params_current);
    HEI8().set_real(heights_state::kClearance, top_z);
    HEI8().set_real(heights_state::kAbsolute, top_z);
    pocket_words_block.outer_contour = 1;
    contour_table_empty();
    int step = kGoOn;
    POKREL(kCloseArrays, step);
    keep(status, step);
    del_pnt_symbols(kDeleteSymbols);
    release_packages(status);
    polbuf_open_all(kOpenReset, kPolbufStepWords, step);
    keep(status, step);
    pocket_engine().clrcls(0, step);
    keep(status, step);
    n0_lvls_reset(kLevelsUsable);
}

void clean_up(int& status)
{
    int step = kGoOn;
    del_pnt_symbols(kDeleteSymbols);
    POKREL(kCloseArrays, step);
    keep(status, step);
    region_table_free();
    if (polbuf_block.buffers[0].handle != kPolbufNotInitialised) {
        polbuf_release_all(kCloseArrays, step);
        keep(status, step);
    }
    if (n0_lvls_block.initialised) {
        n0_lvls_release(step);
        keep(status, step);
    }
    nc_entr_rel(step);
    keep(status, step);
}

// The procedure's contour geometry entity (-1 when it has none).
int geometry_entity()
{
    int id = kNoEntity, flag = 0;
    geom_pair_get(kGeometryKind, proc_flags().pairs, id, flag);
    return id > 0 ? id : kNoEntity;
}

// The pocket's parameter translations: host message, parameter code, kind (1 real, 2 choice,
// 3 angle) and the choice list's message (-1 none).
struct translation {
    int message, code, kind, choices;
};
constexpr translation kTranslations[] = {
    {459, 224, 2, 45}, {452, 211, 2, 485}, {458, 68, 2, 62},  {63, 225, 1, -1},   {311, 205, 1, -1},
    {76, 26, 1, -1},   {87, 44, 3, -1},    {457, 200, 2, 97}, {460, 238, 2, 104}, {455, 28, 2, 107},
    {109, 25, 1, -1},  {447, 24, 2, 21},   {463, 23, 2, 258}, {479, 30, 2, 482},  {480, 223, 2, 334},
    {336, 257, 1, -1}, {337, 221, 2, 341}, {479, 29, 2, 268}, {141, 15, 1, -1},   {145, 16, 1, -1},
};

}  // namespace

void param_init_drelan(int& mode, int& status)
{
    status = kGoOn;
    if (mode == kSetDefaults)
        set_defaults(status);
    else
        clean_up(status);
}

void contour_rec_drelan(int& mode, int& /*word*/, int& flag, int& status)
{
    status = kGoOn;
    contour_table& t = contour_table_block;
    int* geometry = contour_buffers_block.geometry.data();
    switch (mode) {
    case kReadRecords: {
        int second = 0;
        contour_records_read(geometry_entity(), geometry, contour_count(), t.by_criteria.data(), t.contours_valid,
                             second);
        return;
    }
    case kStoreRecords:
        if (pocket_words_block.store_geometry)
            contour_assoc_write(geometry_entity(), 1, contour_count(), t.by_criteria.data(), geometry);
        contour_plane_fix(t.gathered_count, contour_buffers_block.gathered.data());
        return;
    case kTestRecords: contour_records_all_real(contour_count(), geometry, t.by_criteria.data(), flag); return;
    default: return;
    }
}

void display_hook_drelan(int& /*capacity*/, int& count, float* /*points*/, int& /*show_arrows*/, float* /*directions*/,
                         int& /*has_axes*/, float* /*axes*/, int& status)
{
    count = 0;
    status = kGoOn;
}

void trns_add_drelan(int& status)
{
    status = kGoOn;
    for (const translation& row : kTranslations) {
        nu_trns_add(row.message, row.code, row.kind, row.choices, status);
        if (status != kGoOn) return;
    }
}
