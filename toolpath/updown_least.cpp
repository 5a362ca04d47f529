// The UP/DOWN motion-output words, least version (see the header).
#include "toolpath/updown_least.hpp"

#include "host/vantu.hpp"
#include "surfaces/proc_geometry_words_least.hpp"
#include "toolpath/move_writer_state.hpp"

namespace {
constexpr int kGet = 1, kSet = 2;
constexpr int kPartSurfaces = 0, kCheckSurfaces = 1;
}  // namespace

updown_state& updown()
{
    static updown_state s;
    return s;
}

void motion_state_reset(int mode, float angle, int second_mode, int word1, int word2)
{
    const int zshift_flag = updown().zshift_flag;
    updown() = updown_state{};
    updown_state& s = updown();
    s.mode = mode;
    s.slope_angle = angle;
    s.second_mode = second_mode;
    s.caller_words[0] = word1;
    s.caller_words[1] = word2;
    s.zshift_flag = zshift_flag;
    LSP2().set_vec(move_writer_state::kLastPoint, {kNoPoint, kNoPoint, kNoPoint});
}

void proc_reset_flag() { updown().count = 0; }

void updown_close(int& status)
{
    updown().count = 0;
    updown().z_shift = 0.0f;
    status = 0;
}

void zshift_flag_getset(int mode, int& flag)
{
    if (mode == kGet) flag = updown().zshift_flag;
    else if (mode == kSet) updown().zshift_flag = flag;
}

void clear_proc_surfaces()
{
    slclr();
    proc_geometry_words& g = proc_geometry();
    bool part = false, check = false;
    for (surface_pair& pair : g.surface_pairs) {
        pair = surface_pair{0, -1};
    }
    for (int id : g.selection[kPartSurfaces]) part = part || id != 0;
    for (int id : g.selection[kCheckSurfaces]) check = check || id != 0;
    if (part) nc_surf_dela(kPartSurfaces);
    if (check) nc_surf_dela(kCheckSurfaces);
    g.selection[kPartSurfaces].fill(0);
    g.selection[kCheckSurfaces].fill(0);
}
