// CHKLYR and LGLKEY: two questions about the list around its position, each asked from the
// current block and answered with the list back where it was (list marker 9).
#include "edit/editor/list_utilities.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <string>
#include <string_view>

namespace {

constexpr int kReported = -3;
constexpr int kMarkSet = 1;
constexpr int kCheckMarker = 9;
constexpr int kMarkerType = 99;
constexpr int kLayerOpen = 3, kLayerClose = 4;
constexpr int kUnmoved = -2;
constexpr int kJumpFailed = -1;

// What a walk makes of the block at the list position: go on, or stop with an answer.
enum class verdict { go_on, yes, no };

// Walks from the current block one block at a time in the direction (1 or -1), asking `judge`
// of each block, until it answers or the list ends (answer 0). The list returns to where it was.
// Status 0; kReported with "<name>,ERRORS IN LIST" on a list failure.
template <typename Judge> int walk(std::string_view name, int direction, Judge judge, int& status)
{
    const std::string message = std::string(name) + ",ERRORS IN LIST";
    status = 0;
    int answer = 0;
    lmark(kMarkSet, kCheckMarker, answer);
    if (answer < 1) {
        eroutc(message, 0);
        status = kReported;
        return 0;
    }
    // Each step moves to another line of the level, so the walk meets every line at most once.
    int result = 0, lines = 0;
    llines(lines);
    for (int met = 0; met < lines; ++met) {
        int size = 0, type = 0, block_class = 0, moved = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        const verdict v = status < 0 ? verdict::no : judge(type, size, status);
        if (status < 0 || v != verdict::go_on) {
            result = v == verdict::yes ? 1 : 0;
            break;
        }
        tp_list_jump(direction, moved);
        if (moved == kUnmoved) break;
        if (moved == kJumpFailed) {
            status = kJumpFailed;
            break;
        }
    }
    int returned = 0;
    tp_list_top_mark(kCheckMarker, returned);
    if (status < 0 || returned < 0) {
        eroutc(message, 0);
        status = kReported;
        return 0;
    }
    return result;
}

}  // namespace

bool list_error_in(std::string_view routine, int& status)
{
    eroutc(std::string(routine) + ", ERRORS IN LIST", 0);
    status = kReported;
    return false;
}

bool list_mark_set(int marker)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    return answer >= 1;
}

bool list_back_to(int marker, std::string_view routine, int& status)
{
    tp_list_top_mark(marker, status);
    return status >= 0 || list_error_in(routine, status);
}

int CHKLYR(int& status)
{
    return walk(
        "CHKLYR", -1,
        [](int type, int size, int& read_status) {
            if (type != kMarkerType) return verdict::go_on;
            tp_marker_block marker;
            tpread_marker(kWhereList, size, marker, read_status);
            if (marker.code == kLayerOpen) return verdict::yes;
            return marker.code == kLayerClose ? verdict::no : verdict::go_on;
        },
        status);
}

int LGLKEY(int block_number, int& status)
{
    return walk(
        "LGLKEY", 1,
        [block_number](int, int, int& read_status) {
            word number = 0;
            tpget(kWhereList, 1, kTypeInteger, &number, read_status);
            return number == block_number ? verdict::yes : verdict::go_on;
        },
        status);
}
