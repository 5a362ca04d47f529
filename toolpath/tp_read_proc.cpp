// The procedure block reader. From the list it walks segment 24 for the items that reading
// needs, then reads segment 27, the machine table of segment 23 and the sub-list link item; from
// an entity (a stored procedure) it reads the head, the link item and the machine parameters of
// the MCHPRM entity.
#include "toolpath/tp_read_proc.hpp"

#include "host/vantu_messages.hpp"
#include "host/vantu_nc.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/read_transform.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kNoTransformation = -1;
constexpr int kIgnoreUnlessTransforming = 2;
constexpr int kHeightWords = 10;
constexpr int kSublistWord = 2;
constexpr int kFirstHostWhere = 8, kLastHostWhere = 13, kHostWhereShift = 7;
constexpr int kWhereEntityWorldAlt = 6;

// The WHERE the words are read with: the list (2) or the open entity (1).
int reading_where(int where)
{
    if (where == kWhereListWorld || where == kWhereListNumbered) return kWhereList;
    if (where == kWhereParamLine || where == kWhereEntityWorldAlt) return kWhereEntity;
    return where;
}

// Reads one record's n values, keeping at most the caller's field and skipping the rest.
void read_values(int where, int n, int type, word* field, int capacity, int& status)
{
    const int kept = std::min(n, capacity);
    tpget_flags(where, kept, type, field, status);
    if (status >= 0 && n > kept) TPSKIP(where, n - kept, status);
}

// Reads one record of segment 24 (after its code) into the block, DSP8 or nowhere.
void read_seg24_record(int where, int code, int n, int type, tp_proc_block& b, int& status)
{
    word value = 0;
    auto one = [&](word& target) { read_values(where, n, type, &target, 1, status); };
    switch (code) {
    case 31:
        one(value);
        b.display_mode = value;
        return;
    case 45:
        one(value);
        b.transformation_id = value;
        return;
    case 46:
        one(value);
        b.transformation_mode = value;
        return;
    case 48:
        one(value);
        b.absolute = value == 1 ? 1 : 0;
        return;
    case 49: return read_values(where, n, type, b.absolute_height.data(), kHeightWords, status);
    case 50: return read_values(where, n, type, b.incremental_height.data(), kHeightWords, status);
    case 107: return one(DSP8().at(tool_position_state::kLineFont));
    case 116: return one(DSP8().at(tool_position_state::kColour));
    case 117: return one(DSP8().at(tool_position_state::kPen));
    case 129: return one(b.item129);
    default:
        if (n > 0) TPSKIP(where, n, status);
    }
}

// The read transformation of the procedure: the stored one of item 45, unless item 46 says to
// ignore it for this WHERE; none gives the identity.
void load_read_transformation(int where, const tp_proc_block& b, int& status)
{
    const bool transforming = where == kWhereEntity || where == kWhereListWorld || where == kWhereEntityWorldAlt ||
                              where == kWhereTemplateRead;
    int id = b.transformation_id;
    if (b.transformation_mode == kIgnoreUnlessTransforming && !transforming) id = kNoTransformation;
    read_transformation_clear();
    if (id == kNoTransformation) return;
    read_transformation t;
    cltrin(id, t.matrix.data(), t.translation.data(), status);
    if (status >= 0) return read_transformation_set(t.matrix.data(), t.translation.data());
    erou1c("tpread_proc, NO TRANSFORMATION WITH ID ", id);
}

void read_from_list(int where, tp_proc_block& b, int& status)
{
    int position = 0;
    PLFNDG(kWhereList, 1, kGroupTopLevel, 24, position, status);
    if (status >= 0) tpread_seg24(kWhereList, b, status);
    const int seg24_status = status;
    if (status < 0) return;
    load_read_transformation(where, b, status);
    if (status < 0) return;
    PLFNDG(kWhereList, 0, kGroupTopLevel, 27, position, status);
    if (status < 0) return;
    proc_geom_pairs& f = proc_flags();
    int length = 0;
    get_flags(f.options[1], f.options[0], f.options[2], f.options[3], f.options[4], f.options[5], f.pairs.data(),
              length, status);
    if (status < 0) return;
    RMCHTB(kWhereList, length, status);
    if (status < 0) return;
    PLFNDG(kWhereList, 1, kGroupTopLevel, 1, position, status);
    if (status >= 0) tpread_seg1(kWhereList, b, status);
    if (status >= 0) status = seg24_status;
}

void read_from_entity(tp_proc_block& b, int& status)
{
    int skipped = 0, code = 0, last = 0, length = 0;
    tp_get_int(kWhereEntity, b.mchprm_id, status);
    if (status >= 0) tp_get_int(kWhereEntity, skipped, status);
    if (status >= 0 && skipped < 0) status = kFailed;
    if (status >= 0 && skipped > 0) TPSKIP(kWhereEntity, skipped, status);
    if (status >= 0) tp_get_int(kWhereEntity, code, status);
    if (status >= 0) tpread_seg1(kWhereEntity, b, status);
    if (status >= 0) tp_get_int(kWhereEntity, last, status);
    if (status < 0) return;
    if (is_open_proc()) reset_open_proc();
    get_mchprm(b.mchprm_id, length, status);
}

}  // namespace

void tpread_seg24(int where, tp_proc_block& b, int& status)
{
    int length = 0;
    status = 0;
    tp_get_int(where, length, status);
    int result = 0;
    // Every record takes at least three words, so the walk ends within length / 3 rounds.
    for (int left = length; left > 0 && status >= 0;) {
        word head[kRecordHeadWords] = {};
        tpget(where, kRecordHeadWords, kTypeInteger, head, status);
        const int n = head[1] - 1;
        if (status >= 0 && n < 0) status = kFailed;
        if (status < 0) break;
        read_seg24_record(where, head[0], n, head[2], b, status);
        left -= kRecordHeadWords + n;
    }
    if (status < 0) return;
    if (b.display_mode == 2 || b.display_mode == 3) result = b.display_mode - 1;
    status = result;
}

void tpread_seg1(int where, tp_proc_block& b, int& status)
{
    word head[2] = {};
    tpget(where, 2, kTypeInteger, head, status);
    const int n = head[0] - 1;
    if (status >= 0 && n <= kSublistWord) status = kFailed;
    if (status < 0) return;
    TPSKIP(where, kSublistWord, status);
    if (status >= 0) tp_get_int(where, b.sublist_word, status);
    if (status >= 0 && n > kSublistWord + 1) TPSKIP(where, n - kSublistWord - 1, status);
}

void tpread_proc(int where, tp_proc_block& b, int& status)
{
    status = 0;
    const bool tell_host = where >= kFirstHostWhere && where <= kLastHostWhere;
    if (tell_host) where -= kHostWhereShift;
    const int from = reading_where(where);
    if (from != kWhereList && from != kWhereEntity) {
        erou1c("tpread_proc, WHERE NOT PERMITTED ", where);
        status = kFailed;
        return;
    }
    if (from == kWhereEntity) {
        TPSKIP(from, 1, status);
        if (status >= 0) TPSKIP(from, 2, status);
    }
    if (status >= 0) tp_get_int(from, b.number, status);
    if (status >= 0) tp_get_int(from, b.proc_type, status);
    if (status < 0) return;
    if (tell_host) mrm_proc(b.proc_type, b.number);
    if (from == kWhereList)
        read_from_list(where, b, status);
    else
        read_from_entity(b, status);
}
