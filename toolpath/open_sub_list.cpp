// open_sub_list: a MOVMNT entity holds three leading words, the block count, one more word and
// then the blocks in their entity form.
#include "toolpath/open_sub_list.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_nc.hpp"
#include "toolpath/conv_sub_list.hpp"
#include "toolpath/tp_entity_open.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {
constexpr int kMovmntClass = 9, kMovmntType = 8;
constexpr int kLeadingWords = 3;
constexpr int kHostReads = 1;
}  // namespace

void open_sub_list(int mode, int entity_id, int& status)
{
    status = 0;
    if (entity_id <= 0) return;
    open_entity_of_kind(entity_id, kMovmntClass, kMovmntType, "open_sub_list, PROBLEMS IN OPENNING ENTITY",
                        "open_sub_list, NOT A MOVMNT ENTITY. id = ", status);
    if (status < 0) return;
    int closed = 0;
    TPSKIP(kWhereEntity, kLeadingWords, status);
    if (status >= 0 && mode == kHostReads) {
        lclrnw(status);
        return;
    }
    int count = 0;
    if (status >= 0) tp_get_int(kWhereEntity, count, status);
    bool opened = false;
    if (status >= 0) {
        set_open_proc();
        tp_sublist_open(status);
        opened = status >= 0;
    }
    if (status >= 0) TPSKIP(kWhereEntity, 1, status);
    // Each copy takes at least two entity words or fails, so a wrong count ends at the entity's end.
    for (int i = 0; i < count && status >= 0; ++i) conv_sub_list(kWhereEntity, kWhereList, 0, 0, status);
    eclose(closed);
    if (opened) {
        tp_sublist_close(closed);
        if (status >= 0) status = closed;
    }
}
