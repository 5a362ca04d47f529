// Entry bookkeeping of the pocket moves (see the header).
#include "pocket_lanes/moves/entry_bookkeeping.hpp"

#include "host/vantu.hpp"
#include "toolpath/mch_slots.hpp"

#include <algorithm>

namespace {

constexpr int kCutcomSlot = 5;
constexpr int kCutcomLeft = 9, kCutcomRight = 10, kCutcomOther = 11;

}  // namespace

pocket_link_words& pocket_links()
{
    static pocket_link_words words;
    return words;
}

void reset_work_flags()
{
    pocket_link_words& w = pocket_links();
    w.link = 0;
    w.link_source = 0;
    w.from_kept = 0;
    w.to_kept = 0;
}

used_entry_points& used_entry_list()
{
    static used_entry_points list;
    return list;
}

void mark_entry_point(const float* point, int& result)
{
    result = 1;
    const used_entry_points& list = used_entry_list();
    if (list.count < 1) return;
    const float* points = static_cast<const float*>(mmcptr(list.points));
    int* used = static_cast<int*>(mmcptr(list.flags));
    if (points == nullptr || used == nullptr) return;
    const int count = std::min(list.count, std::min(MM_CUR_N_ENTRIES(list.points), MM_CUR_N_ENTRIES(list.flags)));
    for (int i = 0; i < count; ++i) {
        if (eqpt2(points + 2 * i, point) == 0) continue;
        result = used[i] == 0 ? 1 : 0;
        used[i] = 1;
        return;
    }
}

void set_cutcom_slot(int side)
{
    mch_slots().slots[kCutcomSlot].value = side == -1 ? kCutcomLeft : side == 1 ? kCutcomRight : kCutcomOther;
}
