// GTTPSZ and the sizes of the entities a tool path refers to.
#include "toolpath/tp_size.hpp"

#include "host/vantu.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kGet = 1, kMarkSet = 1, kMarkReturn = 2;
constexpr int kMarker = 3;
constexpr int kFirstLine = 2, kNextLine = 1, kLevelEnd = -1;
constexpr int kProcedureType = 12;
constexpr int kBytesPerWord = 4;
constexpr int kSublistItem = 1, kFlagsSegment = 27;

// Words of an entity; 0 for one that is gone.
int entity_words(int id)
{
    int size = 0, status = 0;
    egsize(id, size, status);
    return status < 0 ? 0 : size;
}

// Whether the procedure block at the current position owns a sub-list (link word 0).
bool owns_sublist(int& status)
{
    int n = 0, type = 0;
    word link[vantu::kSublistLinkWords + 8] = {};
    TPGETN(kWhereList, kGroupTopLevel, kSublistItem, n, type, link, static_cast<int>(std::size(link)), status);
    return status >= 0 && n > 0 && link[0] != 0;
}

// The words of the lines of the sub-list entered, one more per line.
long sublist_words(int& status)
{
    long words = 0;
    int length = 0;
    lacces(kFirstLine, length);
    // Every round moves one line on; the end of the level ends the walk.
    while (length >= 0) {
        words += length + 1;
        lacces(kNextLine, length);
    }
    if (length != kLevelEnd) status = kFailed;
    return words;
}

// A procedure block: its geometry, and its motions, stored or in its sub-list.
long procedure_words(int& status)
{
    proc_geom_pairs f;
    int length = 0;
    PLFIND(kGroupTopLevel, kFlagsSegment, status);
    if (status >= 0)
        get_flags(f.options[1], f.options[0], f.options[2], f.options[3], f.options[4], f.options[5], f.pairs.data(),
                  length, status);
    if (status < 0) return 0;
    int bytes = 0;
    geom_set_size(f.pairs, bytes, status);
    long words = bytes / kBytesPerWord;
    const bool stored = f.options[kOptMotionsCopied - 1] == 0 && f.options[kOptRecord - 1] > 0;
    if (stored) {
        movmnt_size(f.options[kOptRecord - 1], bytes, status);
        return words + bytes / kBytesPerWord;
    }
    if (!owns_sublist(status)) return words;
    subls1(status);
    if (status < 0) return words;
    words += sublist_words(status);
    int left = 0;
    clsls1(left);
    if (left < 0) status = left;
    return words;
}

long top_list_words(int& status)
{
    long words = 0;
    int length = 0;
    lacces(kFirstLine, length);
    while (length >= 0 && status >= 0) {
        words += length + 1;
        int type = 0;
        int here = 0;
        lacces(0, here);
        tp_get_int(kWhereList, type, status);
        if (status >= 0 && type == kProcedureType) words += procedure_words(status);
        lacces(kNextLine, length);
    }
    if (status >= 0 && length != kLevelEnd) status = kFailed;
    return words;
}

}  // namespace

void geom_set_size(geom_pair_words pairs, int& size, int& status)
{
    status = 0;
    long words = 0;
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k)
        if (const int id = pairs[static_cast<std::size_t>(2 * k + 1)]; id > 0) words += entity_words(id);
    size = static_cast<int>(words * kBytesPerWord);
}

void movmnt_size(int record_id, int& size, int& status)
{
    status = 0;
    int motion = -1;
    get_set_movmnt_id(kGet, record_id, motion);
    size = motion > 0 ? entity_words(motion) * kBytesPerWord : 0;
}

void tp_entity_size(int entity, int& size, int& status)
{
    status = 0;
    size = 0;
    int words = 0;
    egsize(entity, words, status);
    if (status < 0) return;
    nc_proc_record record;
    int globals = 0, geometries = 0, further = 0, is_record = 0;
    get_proc_info(entity, globals, geometries, further, is_record);
    if (is_record >= 0) dbd_proc(kGet, entity, record, is_record);
    if (is_record >= 0) {
        for (int id : {record.mchprm_id, record.lclprm_id, record.motion_id})
            if (id > 0) words += entity_words(id);
        for (int id : record.geometry_ids)
            if (id > 0) words += entity_words(id);
    }
    size = words * kBytesPerWord;
}

void GTTPSZ(int& size, int& status)
{
    size = 0;
    status = 0;
    int level = 0;
    gtlstn(kGet, level, status);
    if (status < 0 || level != 1) {
        status = kFailed;
        return;
    }
    int marked = 0;
    lmark(kMarkSet, kMarker, marked);
    if (marked < 0) {
        eroutc("GTTPSZ - CANNOT SET A MARKER", 0);
        status = kFailed;
        return;
    }
    const long words = top_list_words(status);
    int back = 0;
    lmark(kMarkReturn, kMarker, back);
    if (status < 0 || back < 0) {
        eroutc("GTTPSZ - inconsistency in list", 0);
        status = kFailed;
        return;
    }
    size = static_cast<int>(words * kBytesPerWord);
}
