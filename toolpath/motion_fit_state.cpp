// The fit buffer's block and the records kept beside it: the cached point, the fit tolerance,
// the flag word and the last move (see motion_fit.hpp).
#include "toolpath/motion_fit.hpp"

#include "host/vantu_memory.hpp"

namespace {

constexpr int kGet = 1;
constexpr int kNothingCached = -1;

struct fit_records {
    last_move_record last_move;
    int flag = 0;
};

fit_records& records()
{
    static fit_records r;
    return r;
}

}  // namespace

fit_buffer& fit_state()
{
    static fit_buffer buffer;
    return buffer;
}

void fit_buffer_release()
{
    fit_buffer& f = fit_state();
    int status = 0;
    if (f.handle != -1 && mmcptr(f.handle)) MM_CLOSE(f.handle, status);
    f = fit_buffer{};
    records() = fit_records{};
}

void apr_point_cached(point3& point, int& status)
{
    const fit_buffer& f = fit_state();
    if (f.cached_valid == 0) {
        status = kNothingCached;
        return;
    }
    point = f.cached;
    status = 0;
}

void fit_tol_getset(int mode, float& value)
{
    if (mode == kGet)
        value = static_cast<float>(fit_state().tolerance);
    else
        fit_state().tolerance = value;
}

void motion_flag_getset(int mode, int& value)
{
    if (mode == kGet)
        value = records().flag;
    else
        records().flag = value;
}

void last_move_get(point3& point, point3& direction, int& count)
{
    const last_move_record& m = records().last_move;
    point = m.point;
    direction = m.direction;
    count = m.count;
}

void last_move_set(const point3* point, const point3* direction, const int* count)
{
    last_move_record& m = records().last_move;
    if (point) m.point = *point;
    if (direction) m.direction = *direction;
    if (count) m.count = *count;
}
