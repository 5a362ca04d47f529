// The block writers. Every writer goes through write_block, which opens the block with its size,
// numbers it, lets the type's fields follow and closes it whatever happened.
#include "toolpath/block_writers.hpp"

#include "host/vantu_messages.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr int kFailed = -1;
constexpr int kMaxTextChars = 80;

// Writes fields in layout order; every write is skipped once a status is negative.
struct field_writer {
    int where;
    int& status;

    void ints(const int* values, int n)
    {
        if (status >= 0 && n > 0) TPPUT(where, n, kTypeInteger, values, status);
    }
    void integer(int value) { ints(&value, 1); }
    void reals(const float* values, int n)
    {
        word words[9] = {};
        for (int first = 0; first < n && status >= 0; first += 9) {
            const int count = std::min(9, n - first);
            for (int i = 0; i < count; ++i) words[i] = real_to_word(values[first + i]);
            TPPUT(where, count, kTypeReal, words, status);
        }
    }
    void real(float value) { reals(&value, 1); }
    void point(const point3& p) { reals(p.data(), 3); }
    void chars(const char* text, int count)
    {
        word words[2] = {};
        std::memcpy(words, text, static_cast<std::size_t>(std::min(count, 8)));
        if (status >= 0) TPPUT(where, (count + 3) / 4, kTypeText, words, status);
    }
};

// Opens a block of the type and size, writes its number and then the fields, and closes it.
template <typename Fields> void write_block(int where, int type, int size, int number, int& status, Fields fields)
{
    BLKOPN(where, type, size, status);
    if (status < 0) return;
    field_writer w{where, status};
    w.integer(block_number_for(where, number));
    fields(w);
    BLKCLS(where);
}

bool is_plain(int type) { return type == 2 || type == 7; }
int line_size(int type) { return is_plain(type) ? 5 : 8; }

}  // namespace

int block_number_for(int where, int given)
{
    if (where != kWhereListNumbered) return given;
    int number = 0;
    get_curr_blkno(number);
    return number;
}

void put_line_block(int where, int type, int number, const point3& point, const point3& vector, int& status)
{
    write_block(where, type, line_size(type), number, status, [&](field_writer& w) {
        w.point(point);
        if (!is_plain(type)) w.point(vector);
    });
}

void put_line_point(int where, int type, int number, const point3& point, const point3& vector, int& status)
{
    status = 0;
    field_writer w{where, status};
    w.integer(block_number_for(where, number));
    w.point(point);
    if (!is_plain(type)) w.point(vector);
}

void put_arc_block(int where, int type, const tp_arc_block& arc, int& status)
{
    write_block(where, type, type == 3 ? 10 : 13, arc.number, status, [&](field_writer& w) {
        w.integer(arc.plane);
        w.real(arc.angle);
        w.real(arc.delta);
        w.reals(arc.centre.data(), 2);
        w.point(arc.end);
        if (type != 3) w.point(arc.direction);
    });
}

void PUTBT4(int where, int type, int count, std::string_view text, int number, int& status)
{
    status = 0;
    if (count <= 0) return;
    if (count > kMaxTextChars) {
        eroutc("PUTBT4, TOO LONG MESSAGE (>80 CHARACTERS)", 0);
        status = kFailed;
        return;
    }
    const int text_words = (count + 3) / 4;
    std::string chars(static_cast<std::size_t>(4 * text_words), '\0');
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), static_cast<std::size_t>(count)), chars.begin());
    if (text.size() < static_cast<std::size_t>(count))
        std::fill(chars.begin() + static_cast<std::ptrdiff_t>(text.size()), chars.begin() + count, ' ');
    word words[kMaxTextChars / 4] = {};
    std::memcpy(words, chars.data(), chars.size());
    write_block(where, type, 3 + text_words, number, status, [&](field_writer& w) {
        w.integer(count);
        if (w.status >= 0) TPPUT(where, text_words, kTypeText, words, w.status);
    });
}

void put_nurbs_block(int where, int number, int k, int n, const float* values, const float* points, int& status)
{
    status = 0;
    if (k < 0 || n < 0 || (k + n > 0 && !values) || (n > 0 && !points)) {
        eroutc("put_nurbs_block, ERRORS IN DATA", 0);
        status = kFailed;
        return;
    }
    write_block(where, 5, k + 4 + 4 * n, number, status, [&](field_writer& w) {
        w.integer(k);
        w.integer(n);
        for (int i = 0; i < k + n && w.status >= 0; ++i) {
            w.real(values[i]);
            if (i < n) w.reals(points + 3 * i, 3);
        }
    });
}

void put_home_block(int where, const tp_home_block& b, int& status)
{
    write_block(where, 6, 8, b.number, status, [&](field_writer& w) {
        w.point(b.first);
        w.point(b.second);
    });
}

void put_macsys_rot_block(int where, const tp_macsys_rot_block& b, int& status)
{
    write_block(where, 9, 14, b.number, status, [&](field_writer& w) {
        w.integer(b.axes);
        w.point(b.point);
        w.real(b.angle);
        w.integer(b.value1);
        w.real(b.real1);
        w.integer(b.value2);
        w.real(b.real2);
        w.point(b.end);
    });
}

void put_rotaxes_block(int where, const tp_rotaxes_block& b, int& status)
{
    write_block(where, 10, 11, b.number, status, [&](field_writer& w) {
        w.integer(b.kind);
        w.point(b.first);
        w.point(b.second);
        w.integer(b.value);
        w.real(b.real);
    });
}

void put_lathe_drill_block(int where, const tp_lathe_drill_block& b, int& status)
{
    write_block(where, 11, 9, b.number, status, [&](field_writer& w) {
        w.integer(b.drill_type);
        w.real(b.real1);
        w.point(b.point);
        w.integer(b.value);
        w.real(b.real2);
    });
}

void put_thread_block(int where, const tp_thread_block& b, int& status)
{
    write_block(where, 13, 10, b.number, status, [&](field_writer& w) {
        w.point(b.start);
        w.point(b.end);
        w.integer(b.starts);
        w.integer(b.current);
    });
}

void put_groove_block(int where, const tp_groove_block& b, int& status)
{
    write_block(where, 14, 15, b.number, status, [&](field_writer& w) {
        w.integer(b.groove_type);
        w.point(b.start);
        w.point(b.end);
        w.reals(b.reals.data(), 6);
    });
}

static void put_cycle(int where, int type, const tp_cycle_block& b, int& status)
{
    write_block(where, type, 10, b.number, status, [&](field_writer& w) {
        w.chars(b.name.data(), 8);
        w.integer(b.value1);
        w.real(b.real1);
        w.real(b.real2);
        w.real(b.real3);
        w.integer(b.value2);
        w.real(b.real4);
    });
}

void put_cycle_act_block(int where, const tp_cycle_block& b, int& status) { put_cycle(where, 30, b, status); }
void put_cycle_cancel_block(int where, const tp_cycle_block& b, int& status) { put_cycle(where, 35, b, status); }

void put_drill_loc_block(int where, const tp_drill_loc_block& b, int& status)
{
    write_block(where, 31, 9, b.number, status, [&](field_writer& w) {
        w.point(b.point);
        w.point(b.direction);
        w.integer(b.value);
    });
}

static void put_pair(int where, int type, const tp_z_pair_block& b, int& status)
{
    write_block(where, type, 4, b.number, status, [&](field_writer& w) {
        w.real(b.first);
        w.real(b.second);
    });
}

void put_blk32_block(int where, const tp_z_pair_block& b, int& status) { put_pair(where, 32, b, status); }
void put_delz_block(int where, const tp_z_pair_block& b, int& status) { put_pair(where, 33, b, status); }
void put_depth_block(int where, const tp_z_pair_block& b, int& status) { put_pair(where, 36, b, status); }

void put_retract_mode_block(int where, const tp_retract_mode_block& b, int& status)
{
    write_block(where, 34, 4, b.number, status, [&](field_writer& w) {
        w.integer(b.old_mode);
        w.integer(b.new_mode);
    });
}

void put_transform_block(int where, const tp_transform_block& b, int& status)
{
    write_block(where, 40, 14, b.number, status, [&](field_writer& w) {
        w.reals(b.matrix.data(), 9);
        w.point(b.translation);
    });
}

void put_header_block(int where, const tp_header_block& b, int& status)
{
    constexpr int kFullHeader = 49;
    word text[kMaxTextChars / 4] = {};
    std::string padded = b.text;
    padded.resize(kMaxTextChars, ' ');
    std::memcpy(text, padded.data(), sizeof text);
    write_block(where, 0, kFullHeader, b.number, status, [&](field_writer& w) {
        w.chars(b.macsys_name.data(), 8);
        w.integer(b.value1);
        w.point(b.point1);
        w.point(b.point2);
        w.reals(b.matrix.data(), 9);
        w.real(b.real1);
        w.integer(b.value2);
        w.integer(b.value3);
        w.integer(b.version);
        w.integer(b.value4);
        w.integer(b.value5);
        w.integer(b.value6);
        const int unused[2] = {0, 0};
        w.ints(unused, 2);
        if (w.status >= 0) TPPUT(where, kMaxTextChars / 4, kTypeText, text, w.status);
    });
}

void put_marker_block(int where, int code, float z, int value, int number, int& status)
{
    const bool with_z = marker_has_z(code), with_int = marker_has_int(code);
    write_block(where, 99, with_z || with_int ? 4 : 3, number, status, [&](field_writer& w) {
        w.integer(code);
        if (with_z)
            w.real(z);
        else if (with_int)
            w.integer(value);
    });
}

void put_param_block(int where, const tp_param_block& b, int& status)
{
    write_block(where, 1, 5, b.number, status, [&](field_writer& w) {
        w.integer(b.prmtyp);
        w.integer(0);
        if (b.is_real)
            w.real(b.real_value);
        else
            w.integer(b.int_value);
    });
}

void put_param_sub_block(int where, const tp_param_block& b, int& status)
{
    write_block(where, 1, 5, b.number, status, [&](field_writer& w) {
        w.integer(b.prmtyp);
        w.integer(1);
        w.integer(b.int_value);
    });
}
