// Readers of the tool-path blocks, one per block type, in the word order of the stored layouts.
#include "toolpath/tp_blocks.hpp"

#include "toolpath/copy_transform.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_coords.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kMaxTextChars = 80;
constexpr int kHeaderWithValue3 = 28, kHeaderWithValue6 = 29, kHeaderFull = 49;
constexpr int kDrillLocWithDirection = 7;
constexpr int kDelzWithOld = 4;
constexpr int kMarkerWithValue = 4;

// Reads fields in layout order; every read is skipped once a status is negative.
struct field_reader {
    int where;
    int& status;

    void ints(int* values, int n)
    {
        if (status >= 0) tpget(where, n, kTypeInteger, values, status);
    }
    int integer()
    {
        int value = 0;
        ints(&value, 1);
        return value;
    }
    void reals(float* values, int n)
    {
        word words[9] = {};
        for (int first = 0; first < n && status >= 0; first += 9) {
            const int count = std::min(9, n - first);
            tpget(where, count, kTypeReal, words, status);
            for (int i = 0; i < count && status >= 0; ++i) values[first + i] = word_to_real(words[i]);
        }
    }
    float real()
    {
        float value = 0.0f;
        reals(&value, 1);
        return value;
    }
    void chars(char* out, int count)
    {
        word words[2] = {};
        if (status >= 0) tpget(where, (count + 3) / 4, kTypeText, words, status);
        std::memcpy(out, words, static_cast<std::size_t>(count));
    }
};

// The WHERE code a reader reads with: 4 reads the list, 5 the entity.
int plain_where(int where)
{
    if (where == kWhereListWorld) return kWhereList;
    if (where == kWhereParamLine) return kWhereEntity;
    return where;
}
bool to_world(int where) { return where == kWhereListWorld || where == kWhereParamLine; }

void world_point(int where, point3& p)
{
    if (to_world(where)) macsys_to_world_pnt(p.data(), p.data());
}

}  // namespace

bool marker_has_z(int code) { return code == 3; }
bool marker_has_int(int code)
{
    for (int c : {9, 33, 35, 37, 39, 45, 53, 59, 60, 61})
        if (c == code) return true;
    return false;
}

void tpread_header(int where, int size, tp_header_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.chars(b.macsys_name.data(), 8);
    b.value1 = r.integer();
    r.reals(b.point1.data(), 3);
    r.reals(b.point2.data(), 3);
    r.reals(b.matrix.data(), 9);
    b.real1 = r.real();
    b.value2 = r.integer();
    if (size >= kHeaderWithValue3) b.value3 = r.integer();
    b.version = r.integer();
    b.value4 = r.integer();
    b.value5 = r.integer();
    if (size >= kHeaderWithValue6) b.value6 = r.integer();
    // The two words written as 0 stand in every size; read past them so that an entity reader
    // ends at the block's last word.
    word unused[2];
    r.ints(unused, 2);
    if (size < kHeaderFull) return;
    word text[kMaxTextChars / 4] = {};
    if (status >= 0) tpget(r.where, kMaxTextChars / 4, kTypeText, text, status);
    if (status >= 0) {
        char chars[kMaxTextChars];
        std::memcpy(chars, text, sizeof chars);
        b.text.assign(chars, kMaxTextChars);
    }
}

void tpread_param_plain(int where, tp_param_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.prmtyp = r.integer();
    b.deftyp = r.integer();
    if (status < 0) return;
    b.is_real = b.deftyp == 0 ? PRMDEF(b.prmtyp) : 0;
    if (b.is_real)
        b.real_value = r.real();
    else
        b.int_value = r.integer();
}

void tpread_param(int where, tp_param_block& b, int& status)
{
    tpread_param_plain(where, b, status);
    if (status < 0 || b.deftyp != 1) return;
    MCHVAL(b.int_value, b.is_real, b.int_value, b.real_value, status);
}

void tpread_lines(int where, int type, int size, tp_line_point& p, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    const bool plain = type == 2 || type == 7;
    p.points = (size - 1) / (plain ? 4 : 7);
    p.number = r.integer();
    r.reals(p.point.data(), 3);
    p.direction = kDefaultDirection;
    if (!plain) r.reals(p.direction.data(), 3);
    if (status < 0 || !to_world(where)) return;
    const read_transformation t = current_read_transformation();
    xform_pnts(p.point.data(), p.direction.data(), t.matrix, t.translation);
    macsys_to_world_pnt(p.point.data(), p.point.data());
    macsys_to_world_vec(p.direction.data(), p.direction.data());
}

void tpread_arc(int where, int type, tp_arc_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.plane = r.integer();
    b.angle = r.real();
    b.delta = r.real();
    r.reals(b.centre.data(), 2);
    r.reals(b.end.data(), 3);
    b.direction = kDefaultDirection;
    if (type != 3) r.reals(b.direction.data(), 3);
    if (status < 0 || !to_world(where)) return;
    point3 centre{b.centre[0], b.centre[1], b.end[2]};
    macsys_to_world_pnt(centre.data(), centre.data());
    b.centre = {centre[0], centre[1]};
    macsys_to_world_pnt(b.end.data(), b.end.data());
    macsys_to_world_vec(b.direction.data(), b.direction.data());
}

void tpread_text(int where, tp_text_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.count = r.integer();
    if (status < 0) return;
    if (b.count < 0) {
        status = -1;
        return;
    }
    // Only the first 80 characters are kept; the words of the rest are skipped, so that in an
    // entity the next block starts where it should.
    const int kept = std::min(b.count, kMaxTextChars);
    const int kept_words = (kept + 3) / 4, all_words = b.count / 4 + (b.count % 4 != 0 ? 1 : 0);
    word words[kMaxTextChars / 4] = {};
    tpget(r.where, kept_words, kTypeText, words, status);
    if (status >= 0 && all_words > kept_words) TPSKIP(r.where, all_words - kept_words, status);
    if (status < 0) return;
    char chars[kMaxTextChars];
    std::memcpy(chars, words, sizeof chars);
    b.text.assign(chars, static_cast<std::size_t>(kept));
    b.text.resize(kMaxTextChars, ' ');
}

void tpread_home(int where, tp_home_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.reals(b.first.data(), 3);
    r.reals(b.second.data(), 3);
    if (status < 0) return;
    world_point(where, b.first);
    world_point(where, b.second);
}

void tpread_macsys_rot(int where, tp_macsys_rot_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.axes = r.integer();
    r.reals(b.point.data(), 3);
    b.angle = r.real();
    b.value1 = r.integer();
    b.real1 = r.real();
    b.value2 = r.integer();
    b.real2 = r.real();
    r.reals(b.end.data(), 3);
    if (status >= 0) world_point(where, b.end);
}

void tpread_rotaxes(int where, tp_rotaxes_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.kind = r.integer();
    r.reals(b.first.data(), 3);
    r.reals(b.second.data(), 3);
    b.value = r.integer();
    b.real = r.real();
}

void tpread_lathe_drill(int where, tp_lathe_drill_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.drill_type = r.integer();
    b.real1 = r.real();
    r.reals(b.point.data(), 3);
    b.value = r.integer();
    b.real2 = r.real();
    if (status >= 0) world_point(where, b.point);
}

void tpread_thread(int where, tp_thread_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.reals(b.start.data(), 3);
    r.reals(b.end.data(), 3);
    b.starts = r.integer();
    b.current = r.integer();
    if (status < 0) return;
    world_point(where, b.start);
    world_point(where, b.end);
}

void tpread_groove(int where, tp_groove_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.groove_type = r.integer();
    r.reals(b.start.data(), 3);
    r.reals(b.end.data(), 3);
    r.reals(b.reals.data(), 6);
    if (status < 0) return;
    world_point(where, b.start);
    world_point(where, b.end);
}

static void read_cycle(int where, tp_cycle_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.chars(b.name.data(), 8);
    b.value1 = r.integer();
    b.real1 = r.real();
    b.real2 = r.real();
    b.real3 = r.real();
    b.value2 = r.integer();
    b.real4 = r.real();
}

void tpread_cycle_activation(int where, tp_cycle_block& b, int& status)
{
    read_cycle(where, b, status);
    if (status < 0 || where != kWhereListWorld) return;
    const float dz = current_read_transformation().translation[2];
    b.real1 += dz;  // the two depths
    b.real4 += dz;
}

void tpread_cycle_cancel(int where, tp_cycle_block& b, int& status)
{
    read_cycle(where, b, status);
    if (status >= 0 && to_world(where)) b.real1 = macsys_to_world_z(b.real1);
}

void tpread_drill_loc(int where, int size, tp_drill_loc_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.reals(b.point.data(), 3);
    b.direction = kDefaultDirection;
    if (size >= kDrillLocWithDirection) r.reals(b.direction.data(), 3);
    b.value = r.integer();
    if (status >= 0) world_point(where, b.point);
}

static void read_pair(int where, bool second, tp_z_pair_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.first = r.real();
    b.second = second ? r.real() : 0.0f;
}

void tpread_blk32(int where, tp_z_pair_block& b, int& status)
{
    read_pair(where, true, b, status);
    if (status < 0 || where != kWhereListWorld) return;
    const float dz = current_read_transformation().translation[2];
    b.first += dz;
    b.second += dz;
}

void tpread_delz_setting(int where, int size, tp_z_pair_block& b, int& status)
{
    read_pair(where, size == kDelzWithOld, b, status);
}

void tpread_retract_mode(int where, tp_retract_mode_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.old_mode = r.integer();
    b.new_mode = r.integer();
}

void tpread_depth_setting(int where, tp_z_pair_block& b, int& status) { read_pair(where, true, b, status); }

void tpread_transform(int where, tp_transform_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    r.reals(b.matrix.data(), 9);
    r.reals(b.translation.data(), 3);
}

void tpread_marker(int where, int size, tp_marker_block& b, int& status)
{
    status = 0;
    field_reader r{plain_where(where), status};
    b.number = r.integer();
    b.code = r.integer();
    if (size < kMarkerWithValue || status < 0) return;
    if (marker_has_z(b.code))
        b.z = r.real();
    else if (marker_has_int(b.code))
        b.value = r.integer();
}
