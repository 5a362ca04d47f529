// Point strings (string_move, PCLSST): the points of a string go into one list line of type 7,
// 27 or 227 until the line has no room left, and the string goes on in a new line.
#include "toolpath/motion_writers.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "nc_services/display_break.hpp"
#include "nc_services/display_services.hpp"
#include "nc_services/exec_control.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/exec_break_menu.hpp"
#include "toolpath/mch_slots.hpp"
#include "toolpath/motion_common.hpp"
#include "toolpath/move_writer_state.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kDirectionLine = 22;
constexpr int kShowAndAsk = 1, kNoShow = 2, kShowOnly = -1;
using W = move_writer_state;

bool string_open() { return LSP2().at(W::kStringClosed) == 0; }

// Opens a new string line: the pending machine parameters, then the line with its type word.
void open_string(int type, int& status)
{
    PUTMCH(status);
    if (status >= 0) BLKOPN(kWhereListNumbered, type, 0, status);
    if (status >= 0) LSP2().at(W::kStringClosed) = 0;
}

// Makes room for one more point: the words a point takes, in the open string or a new one.
void make_room(int type, int& status)
{
    const int words = type == 7 ? 4 : 7;
    if (!string_open()) open_string(type, status);
    // A new line always has room for a point, so the second round ends the loop.
    for (int round = 0; round < 2 && status >= 0; ++round) {
        int room = 0;
        lchkd(words, room);
        if (room != 0) return;
        PCLSST_entry();
        open_string(type, status);
    }
    if (status >= 0) status = kFailed;
}

}  // namespace

void string_move(int dimension, const point3& point, const point3& vector, int& status)
{
    status = 0;
    const bool first_rule = first_move_machine();
    const int type = motion_block_type(dimension, motion_kind::string);
    if (repeats_last_move(type, point, vector)) return;
    LSP2().at(W::kLastPointValid) = 1;
    std::array<point3, 2> points{};
    const int count = move_points(point, points);
    int first = 0, break_flag = 0;
    if (LSP2().at(W::kFirstMovePending) != 0) {
        LSP2().at(W::kFirstMovePending) = 0;
        if (first_rule && type != 27) {
            PCLSST_entry();
            put_line_block(kWhereListNumbered, kDirectionLine, 0, points[0], kDefaultDirection, status);
            if (status >= 0) show_written(1, break_flag, status);
            if (type == 7) first = 1;
        }
    }
    for (int i = first; i < count && status >= 0; ++i) {
        make_room(type, status);
        if (status >= 0)
            put_line_point(kWhereListNumbered, type, 0, points[static_cast<std::size_t>(i)], vector, status);
    }
    if (status < 0) return;
    remember_move(type, point, vector);
    int key_break = 0;
    check_display_break(key_break);
    answer_break(break_flag != 0 || key_break != 0 ? 1 : 0);
}

void string_move_entry(int dimension, const point3& point, const point3& vector, int& status)
{
    string_move(entry_dimension(dimension), point, vector, status);
}

void PCLSST(int mode)
{
    if (mode != kShowAndAsk && mode != kNoShow && mode != kShowOnly) {
        eroutc("PCLSST, WRONG MODE", 0);
        mode = kShowAndAsk;
    }
    if (!string_open()) return;
    LSP2().at(W::kStringClosed) = 1;
    BLKCLS(kWhereListNumbered);
    if (mode == kNoShow) return;
    // The display walks the string's points; the writer's last point and vectors stay its own.
    const move_writer_state kept = LSP2();
    int break_flag = 0, status = 0;
    display_service_table().DISPLB(1, break_flag, status);
    LSP2() = kept;
    if (break_flag != 0 && mode != kShowOnly) exec_break_menu();
}

void PCLSST_entry() { PCLSST(kShowAndAsk); }
