// Surface buffer access, least version (see the header).
#include "surfaces/surface_buffer_least.hpp"

#include "host/vantu_proc_run.hpp"
#include "surfaces/surface_select_least.hpp"

#include <vector>

namespace {

// The most surfaces one procedure buffer holds.
constexpr int kMostProcedureSurfaces = 200;

bool well_formed(const surface_buffer& buffer) { return buffer.words[0] == kSurfaceBufferTag; }

}  // namespace

void surface_buffer_of_procedure(int index, surface_buffer& buffer, int& status)
{
    std::vector<int> ids(kMostProcedureSurfaces);
    int count = 0;
    nc_surf_ids(kSurfacePart, kMostProcedureSurfaces, ids.data(), count, status);
    if (status != 0 || index < 0 || index >= count) {
        status = -1;
        return;
    }
    surface_buffer loaded;
    surface_buffer_load(ids[static_cast<std::size_t>(index)], loaded.words, status);
    if (status != 0) {
        status = -1;
        return;
    }
    buffer = loaded;
}

void srfbuf_access_real(int mode, const surface_buffer& buffer, float* record, int& status)
{
    status = -1;
    if (mode != kSrfbufRangeRecord || !well_formed(buffer)) return;
    for (int k = 0; k < 6; ++k) record[k] = word_to_real(buffer.words[kSurfaceBufferRange + k]);
    status = 0;
}

void srfbuf_get_id(const surface_buffer& buffer, int& id, int& type_word)
{
    const bool ok = well_formed(buffer);
    id = ok ? static_cast<int>(buffer.words[kSurfaceBufferId]) : 0;
    type_word = ok ? static_cast<int>(buffer.words[kSurfaceBufferType] & 0xffffu) : 0;
}

void srf_flags_access(int mode, int id, int& first, int& second, int& status)
{
    status = -1;
    if (mode != kSrfFlagsGet) return;
    surface_flag_words(id, first, second, status);
}
