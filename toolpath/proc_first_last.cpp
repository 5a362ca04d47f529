// FSTLST: opens the procedure's sub-list, finds its first movement block, takes the next point
// from there and the previous point from the end of the list, and closes the sub-list again.
#include "toolpath/proc_first_last.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kProcedureType = 12;
constexpr int kSublistItem = 1;
constexpr int kLinkCapacity = 64;   // the host's link words, with room to spare
constexpr int kLinkBlockCount = 1;  // link word 1: the sub-list's block count
constexpr int kAccessFirst = 2;
constexpr int kExamineCurrent = 1;

// From the first block of the sub-list, steps to the first movement block; false when there is
// none.
bool to_first_movement(int& status)
{
    int answer = 0;
    lacces(kAccessFirst, answer);
    if (answer < 0) return false;  // an empty sub-list
    return tp_find_motion_block(1, status);
}

void first_and_last(point3& first, point3& first_direction, point3& last, point3& last_direction, int& empty,
                    int& status)
{
    if (!to_first_movement(status)) return;
    empty = 0;
    int number = 0;
    NXTPOI(kExamineCurrent, first, first_direction, number, status);
    if (status < 0) return;
    JMPEND(status);
    if (status >= 0) PRVPNT(kExamineCurrent, last, last_direction, number, status);
}

}  // namespace

void FSTLST(point3& first, point3& first_direction, point3& last, point3& last_direction, int& empty, int& status)
{
    empty = 1;
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0 && type != kProcedureType) {
        eroutc("FSTLST,THE CURRENT BLOCK IS NOT A PROCEDURE DEFINITION BLOCK", 0);
        status = kFailed;
        return;
    }
    int count = 0, deftyp = 0;
    word link[kLinkCapacity] = {};
    if (status >= 0) TPGETN(kWhereList, kGroupTopLevel, kSublistItem, count, deftyp, link, kLinkCapacity, status);
    if (status >= 0 && (count <= kLinkBlockCount || link[kLinkBlockCount] == 0)) return;
    if (status >= 0) tp_sublist_open(status);
    if (status >= 0) {
        first_and_last(first, first_direction, last, last_direction, empty, status);
        int closed = 0;
        tp_sublist_close(closed);
        if (status >= 0) status = closed;
    }
    if (status < 0) {
        eroutc("FSTLST - list errors", 0);
        return;
    }
    status = 0;
}
