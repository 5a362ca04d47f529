// conv_sub_list: one reader, transformation and writer per block type.
#include "toolpath/conv_sub_list.hpp"

#include "host/vantu.hpp"
#include "nc_services/display_services.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/copy_transform.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/proc_block_xform.hpp"
#include "toolpath/proc_copy.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_coords.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_read_proc.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kSwitchOff = -1;
constexpr int kOldVersion = 600;
constexpr int kMaxTextChars = 80;
constexpr int kTopLevel = 1;
constexpr int kGet = 1;

bool is_list(int where) { return where == kWhereList || where == kWhereListNumbered || where == kWhereListWorld; }
bool from_entity(int where) { return where == kWhereEntity || where == kWhereParamLine; }
bool to_world(int where) { return where == kWhereListWorld || where == kWhereParamLine; }
int plain_where(int where)
{
    return where == kWhereListWorld ? kWhereList : where == kWhereParamLine ? kWhereEntity : where;
}

// One block's copy: where it comes from and goes to, and the copy transformation.
struct copy_job {
    int from;
    int to;
    int type;
    int size;
    copy_transformation& t;

    bool moving() const { return t.active != 0; }
};

void copy_lines(const copy_job& j, int& status)
{
    tp_line_point p;
    tpread_lines(j.from, j.type, j.size, p, status);
    if (status < 0) return;
    auto moved = [&] {
        if (j.moving()) xform_pnts(p.point.data(), p.direction.data(), j.t.matrix, j.t.translation);
    };
    moved();
    if (p.points <= 1) return put_line_block(j.to, j.type, p.number, p.point, p.direction, status);
    BLKOPN(j.to, j.type, j.size, status);
    for (int i = 0; i < p.points && status >= 0; ++i) {
        if (i > 0) {
            tpread_lines(j.from, j.type, j.size, p, status);
            if (status < 0) break;
            moved();
        }
        put_line_point(j.to, j.type, p.number, p.point, p.direction, status);
    }
    BLKCLS(j.to);
}

void copy_arc(const copy_job& j, int& status)
{
    tp_arc_block a;
    tpread_arc(j.from, j.type, a, status);
    if (status < 0) return;
    if (j.moving()) xform_arc(a, j.t.matrix, j.t.translation);
    put_arc_block(j.to, j.type, a, status);
}

void copy_text(const copy_job& j, int& status)
{
    tp_text_block b;
    tpread_text(j.from, b, status);
    // Only the first 80 characters were kept by the reader.
    if (status >= 0) PUTBT4(j.to, 4, std::min(b.count, kMaxTextChars), b.text, b.number, status);
}

// A NURBS move: block number, k, n, n groups of a value and a point, k values.
void copy_nurbs(const copy_job& j, int& status)
{
    const int from = plain_where(j.from);
    word head[3] = {};
    tpget(from, 3, kTypeInteger, head, status);
    if (status < 0) return;
    const int k = head[1], n = head[2];
    if (k < 0 || n < 0 || 4 + static_cast<long long>(k) + 4LL * n > j.size) {
        erou1c("conv_sub_list, WRONG BLOCK SIZE ", j.size);
        status = kFailed;
        return;
    }
    std::vector<float> values(static_cast<std::size_t>(k + n)), points(static_cast<std::size_t>(3 * n));
    for (int i = 0; i < k + n && status >= 0; ++i) {
        word w[4] = {};
        const int count = i < n ? 4 : 1;
        tpget(from, count, kTypeReal, w, status);
        values[static_cast<std::size_t>(i)] = word_to_real(w[0]);
        if (i >= n) continue;
        float* p = points.data() + 3 * i;
        for (int c = 0; c < 3; ++c) p[c] = word_to_real(w[c + 1]);
        if (to_world(j.from)) macsys_to_world_pnt(p, p);
        if (j.moving()) xform_pnts(p, nullptr, j.t.matrix, j.t.translation);
    }
    if (status >= 0) put_nurbs_block(j.to, head[0], k, n, values.data(), points.data(), status);
}

void copy_header(const copy_job& j, int& status)
{
    tp_header_block b;
    // In an entity the header has no type word: the word read as its type was its number.
    if (from_entity(j.from)) TPSKIP(kWhereEntity, -1, status);
    if (status >= 0) tpread_header(j.from, j.size, b, status);
    if (status < 0) return;
    if (from_entity(j.from) && b.version < kOldVersion) userrc("TOOLPATH WAS CREATED IN VER. 5.0!");
    j.t.active = 0;
    b.version = prgvrs();
    if (j.to == kWhereEntity) {
        int counter = 0, counted = 0;
        gsblkn(kGet, kTopLevel, counter, counted);
        b.value4 = counter;
    }
    put_header_block(j.to, b, status);
}

void copy_param(const copy_job& j, int& status)
{
    tp_param_block b;
    tpread_param_plain(j.from, b, status);
    if (status < 0) return;
    if (j.moving()) mirror_cutcom_side(b, j.t.matrix);
    if (b.deftyp == 0) return put_param_block(j.to, b, status);
    int is_real = 0, value = 0;
    float real_value = 0.0f;
    MCHVAL(b.int_value, is_real, value, real_value, status);
    if (status >= 0) put_param_sub_block(j.to, b, status);
}

void copy_procedure(const copy_job& j, int& status)
{
    // From a stored sub-list the block is rebuilt from the host's procedure record.
    int size = j.size;
    int from = from_entity(j.from) ? kWhereEntity : j.from, to = j.to;
    cpbt12(from, to, size, status);
    if (status < 0 || !is_list(j.to)) return;
    if (from_entity(j.from)) proc_block_mark_copied(status);
    if (status >= 0 && j.moving()) proc_block_xform(j.to, j.t.matrix, j.t.translation, status);
    if (status < 0) return;
    int head_size = 0, type = 0, block_class = 0, here = 0;
    lacces(0, here);
    tp_block_head_read(kWhereList, head_size, type, block_class, status);
    tp_proc_block block;
    if (status >= 0) tpread_proc(kWhereList, block, status);
    if (status > 0) status = 0;
}

// Cycle activation and cancellation: both depths shifted unless the cycle's depths are absolute.
void copy_cycle(const copy_job& j, int& status)
{
    tp_cycle_block b;
    if (j.type == 30)
        tpread_cycle_activation(j.from, b, status);
    else
        tpread_cycle_cancel(j.from, b, status);
    if (status < 0) return;
    j.t.depth_z = {b.real1, b.real4};
    j.t.depths_absolute = b.value2 != 0 ? 1 : 0;
    if (j.moving() && !j.t.depths_absolute) shift_z_pair(b.real1, b.real4, j.t.translation);
    if (j.type == 30)
        put_cycle_act_block(j.to, b, status);
    else
        put_cycle_cancel_block(j.to, b, status);
}

void copy_drill_loc(const copy_job& j, int& status)
{
    tp_drill_loc_block b;
    tpread_drill_loc(j.from, j.size, b, status);
    if (status < 0) return;
    if (j.moving()) xform_pnt_dir(b.point, b.direction, j.t.matrix, j.t.translation);
    put_drill_loc_block(j.to, b, status);
    if (status >= 0) j.t.depth_z[1] -= b.point[2];
}

void copy_z_pair(const copy_job& j, int& status)
{
    tp_z_pair_block b;
    if (j.type == 32) {
        tpread_blk32(j.from, b, status);
        if (status >= 0 && j.moving()) shift_z_pair(b.first, b.second, j.t.translation);
        if (status >= 0) put_blk32_block(j.to, b, status);
        return;
    }
    tpread_delz_setting(j.from, j.size, b, status);
    if (status < 0) return;
    j.t.depth_z[0] = b.first;
    if (j.moving() && !j.t.depths_absolute) shift_z_pair(b.first, b.second, j.t.translation);
    put_delz_block(j.to, b, status);
    if (status >= 0) j.t.depth_z[0] -= b.second;
}

void copy_transform_block(const copy_job& j, int& status)
{
    tp_transform_block b;
    tpread_transform(j.from, b, status);
    if (status < 0) return;
    if (from_entity(j.from) && is_list(j.to)) {
        // The transformation moves every block copied after it and is not itself written.
        j.t.active = 1;
        j.t.matrix = b.matrix;
        j.t.translation = b.translation;
        return;
    }
    put_transform_block(j.to, b, status);
}

void copy_marker(const copy_job& j, int& status)
{
    tp_marker_block b;
    tpread_marker(j.from, j.size, b, status);
    if (status < 0) return;
    if (j.moving() && marker_has_z(b.code)) {
        point3 layer{0.0f, 0.0f, b.z};
        xform_pnts(layer.data(), nullptr, j.t.matrix, j.t.translation);
        b.z = layer[2];
    }
    put_marker_block(j.to, b.code, b.z, b.value, b.number, status);
}

// Reads a block of a type without transformation and writes it as it was read.
template <typename Block>
void copy_plain(const copy_job& j, int& status, void (*read)(int, Block&, int&), void (*write)(int, const Block&, int&))
{
    Block b;
    read(j.from, b, status);
    if (status >= 0) write(j.to, b, status);
}

// Blocks whose points move as a pair.
template <typename Block>
void copy_two_points(const copy_job& j, int& status, void (*read)(int, Block&, int&),
                     void (*write)(int, const Block&, int&))
{
    Block b;
    read(j.from, b, status);
    if (status < 0) return;
    if (j.moving()) xform_2pnts(b.start, b.end, j.t.matrix, j.t.translation);
    write(j.to, b, status);
}

void copy_lathe_drill(const copy_job& j, int& status)
{
    tp_lathe_drill_block b;
    tpread_lathe_drill(j.from, b, status);
    if (status < 0) return;
    if (j.moving()) xform_pnts(b.point.data(), nullptr, j.t.matrix, j.t.translation);
    put_lathe_drill_block(j.to, b, status);
}

// The old drill block is reported and its words passed over.
void skip_old_drill(const copy_job& j, int& status)
{
    userrc("WARNING! OLD DRILL FORMAT NO LONGER EXISTS!");
    if (from_entity(j.from) && j.size > 1) TPSKIP(kWhereEntity, j.size - 1, status);
}

// Copies the block; false for a type no stored block has.
bool copy_block(const copy_job& j, int& status)
{
    switch (j.type) {
    case 0: copy_header(j, status); return true;
    case 1: copy_param(j, status); return true;
    case 2:
    case 22:
    case 222:
    case 7:
    case 27:
    case 227: copy_lines(j, status); return true;
    case 3:
    case 23:
    case 223: copy_arc(j, status); return true;
    case 4: copy_text(j, status); return true;
    case 5: copy_nurbs(j, status); return true;
    case 6: copy_plain<tp_home_block>(j, status, tpread_home, put_home_block); return true;
    case 8: skip_old_drill(j, status); return true;
    case 9: copy_plain<tp_macsys_rot_block>(j, status, tpread_macsys_rot, put_macsys_rot_block); return true;
    case 10: copy_plain<tp_rotaxes_block>(j, status, tpread_rotaxes, put_rotaxes_block); return true;
    case 11: copy_lathe_drill(j, status); return true;
    case 12: copy_procedure(j, status); return true;
    case 13: copy_two_points<tp_thread_block>(j, status, tpread_thread, put_thread_block); return true;
    case 14: copy_two_points<tp_groove_block>(j, status, tpread_groove, put_groove_block); return true;
    case 30:
    case 35: copy_cycle(j, status); return true;
    case 31: copy_drill_loc(j, status); return true;
    case 32:
    case 33: copy_z_pair(j, status); return true;
    case 34: copy_plain<tp_retract_mode_block>(j, status, tpread_retract_mode, put_retract_mode_block); return true;
    case 36: copy_plain<tp_z_pair_block>(j, status, tpread_depth_setting, put_depth_block); return true;
    case 40: copy_transform_block(j, status); return true;
    case 99: copy_marker(j, status); return true;
    default: return false;
    }
}

// Blocks that are written nowhere: the obsolete drill block and a transformation that only
// switched the copy transformation on.
bool written(const copy_job& j) { return j.type != 8 && !(j.type == 40 && from_entity(j.from) && is_list(j.to)); }

}  // namespace

void conv_sub_list(int from, int to, int type, int size, int& status)
{
    status = 0;
    if (from == kSwitchOff) {
        copy_xform().active = 0;
        return;
    }
    // WHERE 7 reads nothing: there is no block to write or show.
    if (from == kWhereNowhere) return;
    if (from_entity(from)) {
        int block_class = 0;
        tp_block_head_read(kWhereEntity, size, type, block_class, status);
        if (status < 0) return;
    }
    if (size < 1 || size > vantu::kListMaxLineWords) {
        erou1c("conv_sub_list, WRONG BLOCK SIZE ", size);
        status = kFailed;
        return;
    }
    const copy_job job{from, to, type, size, copy_xform()};
    if (!copy_block(job, status)) {
        erou1c("DSPBLK - UNEXPECTED BLOCK TYPE", type);
        status = kFailed;
        return;
    }
    if (status < 0 || to == kWhereEntity || !written(job)) return;
    display_service_table().display_copied_block(to, type, status);
}
