// PRTBLK (see the header): the dispatch by block type and the origin shifts of the listing form.
#include "listing/prtblk.hpp"

#include "host/vantu.hpp"
#include "listing/block_printers.hpp"
#include "listing/list_lines.hpp"
#include "listing/lst_state.hpp"
#include "listing/prbt99.hpp"
#include "listing/print_proc_block.hpp"
#include "listing/prtbt0.hpp"
#include "listing/prtbt1.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kActivation = 30;
constexpr int kTopLevel = 1;

// Origin shifts of the listing form: points become relative to lst_state's origin.
void shift(point3& p)
{
    const auto& o = lst_state().origin;
    for (std::size_t i = 0; i < 3; ++i) p[i] -= o[i];
}

// The 2-D arc centre in its plane (1 xy, 2 xz, 3 yz).
void shift_centre(tp_arc_block& b)
{
    const auto& o = lst_state().origin;
    const int a = b.plane == 3 ? 1 : 0, c = b.plane == 1 ? 1 : 2;
    b.centre[0] -= o[static_cast<std::size_t>(a)];
    b.centre[1] -= o[static_cast<std::size_t>(c)];
}

// A model point into the MACSYS of view `view` (world, then turned by the view's matrix).
void into_macsys(point3& p, int view)
{
    float world[3];
    mapm2w(p.data(), world);
    float matrix[9];
    int status = 0;
    trget(view, matrix, status);
    if (status < 0)
        std::copy(world, world + 3, p.begin());
    else
        m3vec(matrix, world, p.data());
}

// The listing origin carried from the old MACSYS into the new one.
void origin_to_macsys(int old_view, int new_view)
{
    float old_m[9], new_m[9];
    int s1 = 0, s2 = 0;
    trget(old_view, old_m, s1);
    trget(new_view, new_m, s2);
    if (s1 < 0 || s2 < 0) return;
    auto& o = lst_state().origin;
    float world[3] = {};
    for (int i = 0; i < 3; ++i)  // the old matrix is orthonormal: its transpose turns back
        for (int j = 0; j < 3; ++j) world[i] += old_m[3 * j + i] * o[static_cast<std::size_t>(j)];
    m3vec(new_m, world, o.data());
}

struct dispatch {
    print_job job;
    int where = 2;
    int procedure_id = -1;
    bool list_form = false;
    int status = 0;
};

template <class Block, class Reader> bool read(dispatch& d, Reader reader, Block& b)
{
    reader(d.where, b, d.status);
    return d.status >= 0;
}

void print_lines(dispatch& d)
{
    tp_line_point p;
    tpread_lines(d.where, d.job.type, d.job.size, p, d.status);
    if (d.status < 0) return;
    if (d.list_form) shift(p.point);
    prt_line(d.job, p);
}

// The string header once, then every point up to the block's count.
void print_string(dispatch& d)
{
    tp_line_point p;
    tpread_lines(d.where, d.job.type, d.job.size, p, d.status);
    if (d.status < 0) return;
    prt_string_head(d.job, p.number, p.points);
    const int count = std::clamp(p.points, 1, std::max(d.job.size, 1));
    for (int i = 0; i < count; ++i) {
        if (i > 0) {
            tpread_lines(d.where, d.job.type, d.job.size, p, d.status);
            if (d.status < 0) return;
        }
        if (d.list_form) shift(p.point);
        prt_point(d.job, p);
    }
}

void print_param(dispatch& d, int& number)
{
    tp_param_block b;
    tpread_param(d.where, b, d.status);
    if (d.status < 0) return;
    number = b.number;
    if (b.is_real)
        b.int_value = static_cast<int>(b.real_value);
    else
        b.real_value = static_cast<float>(b.int_value);
    PRTBT1(d.job.form, d.job.unit, b.number, b.prmtyp, b.int_value, b.real_value, d.job.scale);
    if (d.job.form == kListForm) return;
    // The same block again, dumped raw.
    TPSKIP(d.where, -(d.job.size - 1), d.status);
    if (d.status < 0) return;
    tp_param_block raw;
    tpread_param_plain(d.where, raw, d.status);
    if (d.status < 0) return;
    const int unit = d.job.unit;
    lst_line(unit, {li_blanks(12), li_text("BLOCK SIZE = "), li_int(d.job.size)});
    lst_line(unit, {li_blanks(12), li_text("PARAM TYPE = "), li_int(raw.prmtyp)});
    lst_line(unit, {li_blanks(12), li_text("DEF. TYPE  = "), li_int(raw.deftyp)});
    lst_line(unit, {li_blanks(12), li_text("VAL. TYPE  = "), li_int(raw.is_real)});
    if (raw.is_real == 0)
        lst_line(unit, {li_blanks(12), li_text("PARAMETER  = "), li_int(raw.int_value)});
    else
        lst_line(unit, {li_blanks(12), li_text("PARAMETER  = "), li_real(raw.real_value)});
}

void print_header(dispatch& d)
{
    tp_header_block h;
    tpread_header(d.where, d.job.size, h, d.status);
    if (d.status < 0) return;
    if (d.list_form) {
        lst_state().origin = h.point1;
        shift(h.point2);
    }
    PRTBT0(d.job.form, d.procedure_id, d.job.unit, d.job.size, h, d.job.scale);
}

void print_procedure(dispatch& d)
{
    int id = d.procedure_id, entity = 0;
    if (d.where == kWhereEntity) {
        gs_proc_id(1, id);
        entity = id;
    }
    int type = 0, number = 0;
    print_proc_block(d.where, id, entity, d.job.form, d.job.unit, d.job.size, type, number, d.status);
}

void print_by_type(dispatch& d)
{
    print_job& job = d.job;
    const bool lf = d.list_form;
    switch (job.type) {
    case 0: return print_header(d);
    case 1: {
        int number = 0;
        return print_param(d, number);
    }
    case 2:
    case 22:
    case 222: return print_lines(d);
    case 7:
    case 27:
    case 227: return print_string(d);
    case 3:
    case 23:
    case 223: {
        tp_arc_block b;
        if (!read(
                d, [&](int w, tp_arc_block& x, int& s) { tpread_arc(w, job.type, x, s); }, b))
            return;
        if (lf) {
            shift_centre(b);
            shift(b.end);
        }
        return prt_arc(job, b);
    }
    case 4: {
        tp_text_block b;
        if (!read(d, tpread_text, b)) return;
        int level = kTopLevel, st = 0;
        gtlstn(1, level, st);
        return prt_text(job, b, d.where == kWhereEntity ? kTopLevel + 1 : level);
    }
    case 5: return prt_nurbs(job, d.where, d.status);
    case 6: {
        tp_home_block b;
        if (!read(d, tpread_home, b)) return;
        if (lf) shift(b.first);
        return prt_home(job, b);
    }
    case 8:
        userrc("WARNING! OLD DRILL FORMAT NO LONGER EXISTS!");
        tpskip_args(d.where, job.size - 1, d.status);
        d.status = 0;
        return;
    case 9: {
        tp_macsys_rot_block b;
        if (!read(d, tpread_macsys_rot, b)) return;
        if (lf) {
            into_macsys(b.point, b.value1);
            shift(b.point);
            origin_to_macsys(b.value1, b.value2);
            shift(b.end);
        }
        return prt_macsys_rot(job, b);
    }
    case 10: {
        tp_rotaxes_block b;
        if (!read(d, tpread_rotaxes, b)) return;
        if (lf) {
            for (point3* p : {&b.first, &b.second}) {
                into_macsys(*p, b.value);
                shift(*p);
            }
        }
        return prt_rotaxes(job, b);
    }
    case 11: {
        tp_lathe_drill_block b;
        if (!read(d, tpread_lathe_drill, b)) return;
        if (lf) shift(b.point);
        return prt_lathe_drill(job, b);
    }
    case 12: return print_procedure(d);
    case 13: {
        tp_thread_block b;
        if (!read(d, tpread_thread, b)) return;
        if (lf) {
            shift(b.start);
            shift(b.end);
        }
        return prt_thread(job, b);
    }
    case 14: {
        tp_groove_block b;
        if (!read(d, tpread_groove, b)) return;
        if (lf) {
            shift(b.start);
            shift(b.end);
        }
        return prt_groove(job, b);
    }
    case 30:
    case 35: {
        tp_cycle_block b;
        if (job.type == kActivation)
            tpread_cycle_activation(d.where, b, d.status);
        else
            tpread_cycle_cancel(d.where, b, d.status);
        if (d.status < 0) return;
        if (job.type == kActivation && b.value1 == 0) b.real2 = 0.0f;
        return prt_cycle(job, b);
    }
    case 31: {
        tp_drill_loc_block b;
        tpread_drill_loc(d.where, job.size, b, d.status);
        if (d.status < 0) return;
        if (lf) shift(b.point);
        return prt_drill_loc(job, b);
    }
    case 32:
        // Reserved: reported, its words skipped, and the listing goes on.
        erou1c("PRTBLK - ERROR IN BLOCK. BTYPE =", job.type);
        tpskip_args(d.where, job.size - 1, d.status);
        d.status = 0;
        return;
    case 33: {
        tp_z_pair_block b;
        tpread_delz_setting(d.where, job.size, b, d.status);
        if (d.status < 0) return;
        return prt_delz(job, b);
    }
    case 34: {
        tp_retract_mode_block b;
        if (!read(d, tpread_retract_mode, b)) return;
        return prt_retract_mode(job, b);
    }
    case 36: {
        tp_z_pair_block b;
        if (!read(d, tpread_depth_setting, b)) return;
        return prt_depth(job, b);
    }
    case 40: {
        tp_transform_block b;
        if (!read(d, tpread_transform, b)) return;
        return prt_transform(job, b);
    }
    case 99: {
        tp_marker_block b;
        tpread_marker(d.where, job.size, b, d.status);
        if (d.status < 0) return;
        return PRBT99(job.form, job.unit, b.number, b.code, job.scale, b.z, b.value, d.status);
    }
    default:
        erou1c("PRTBLK - UNEXPECTED BLOCK TYPE", job.type);
        tpskip_args(d.where, job.size - 1, d.status);
        d.status = 0;
        return;
    }
}

}  // namespace

void PRTBLK(int form, int unit, int where, int procedure_id, float scale, int& block_type, int& status)
{
    dispatch d;
    int block_class = 0;
    d.job.form = form;
    d.job.unit = unit;
    d.job.scale = scale;
    d.where = where;
    d.procedure_id = procedure_id;
    d.list_form = form == kListForm;
    block_type = 0;
    tp_block_head_read(where, d.job.size, d.job.type, block_class, status);
    block_type = d.job.type;
    if (status < 0 && block_class >= 0) {
        erou1c("PRTBLK - ERROR IN BLOCK. BTYPE =", block_type);
        return;
    }
    print_by_type(d);
    status = d.status;
    if (status < 0) {
        erou1c("PRTBLK - ERROR IN BLOCK. BTYPE =", block_type);
        if (status > kFailed) status = kFailed;
    }
}
