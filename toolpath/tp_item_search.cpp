// The item search of a procedure block and the routines that read, overwrite or insert items.
// Block layout: type, block number, procedure type, then segments [code][length][records] and
// top-level items [code][n + 1][deftyp][n values].
#include "toolpath/tp_item_search.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_nc.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kFailed = -1;
constexpr int kNotFound = 1;
constexpr int kBlockHeadWords = 3;  // type, block number, procedure type
constexpr int kWordBudget = 10000;
constexpr int kSegmentBudget = 1000;  // words spent looking for the segment on a first call
constexpr int kSegment24LengthWord = 4;
constexpr int kParamSelector = 9, kParamTextKind = 4;

bool is_segment_group(int group) { return group == 23 || group == 24 || group == 25 || group == 27 || group == 28; }

// Reads one integer or skips words while spending the budget; the end of the block or an
// exhausted budget gives kNotFound, any other failure kFailed.
struct item_walk {
    int where;
    int budget;
    int& position;

    int read(int& value)
    {
        if (budget < 1) return kNotFound;
        int status = 0;
        tp_get_int(where, value, status);
        return account(1, status);
    }
    int skip(int n)
    {
        if (n < 0 || n > budget) return kNotFound;
        int status = 0;
        if (n > 0) TPSKIP(where, n, status);
        return account(n, status);
    }
    int account(int n, int status)
    {
        if (status == kTpShort) return kNotFound;
        if (status < 0) return kFailed;
        budget -= n;
        position += n;
        return 0;
    }
};

// Finds the segment named by the group.
int find_segment(item_walk& walk, int group)
{
    const int full_budget = walk.budget;
    walk.budget = std::min(walk.budget, kSegmentBudget);
    for (;;) {
        int code = 0, length = 0;
        if (int r = walk.read(code); r != 0) return r;
        if (int r = walk.read(length); r != 0) return r;
        if (code == group) {
            walk.budget = full_budget;
            return 0;
        }
        if (int r = walk.skip(length); r != 0) return r;
    }
}

// Reads item codes until the code, skipping the other items.
int find_item(item_walk& walk, int code)
{
    for (;;) {
        int found = 0, length = 0;
        if (int r = walk.read(found); r != 0) return r;
        if (found == code) return 0;
        if (int r = walk.read(length); r != 0) return r;
        if (int r = walk.skip(length); r != 0) return r;
    }
}

int search(int where, bool first_call, int group, int code, int& position)
{
    position = 0;
    item_walk walk{where, kWordBudget, position};
    if (first_call) {
        int status = 0;
        lacces(0, status);
        if (status < 0) return kFailed;
        if (int r = walk.skip(kBlockHeadWords); r != 0) return r;
        if (is_segment_group(group))
            if (int r = find_segment(walk, group); r != 0) return r;
    }
    return find_item(walk, code);
}

// The names a reading routine reports under.
struct reader_names {
    const char* where1;
    const char* texts;
    const char* bad_code;
    bool quiet;
};
constexpr reader_names kGetn{"TPGETN, WHERE=1 IS NOT PERMITTED", "TPGETN, TEXT AN TABLE NAME ARE NOT VALID INPUT",
                             "TPGETN, ERROR IN CODE", false};
constexpr reader_names kGetc{"TPGETC, WHERE=1 IS NOT PERMITTED", "TPGETC,TEXT AND TABLE NAME ARE NOT VALID INPUT",
                             "TPGETN, ERROR IN CODE", true};

// Goes to head word 1 (block number) or 2 (procedure type) of the current block.
bool go_to_head_word(int code, int& status)
{
    lacces(0, status);
    if (status < 0) return false;
    TPSKIP(kWhereList, code == kHeadBlockNumber ? 1 : 2, status);
    return status >= 0;
}

// Reads the n + 1 and deftyp words after an item's code; n and deftyp out.
void read_record_head(int where, int& n, int& deftyp, int& status)
{
    word head[2] = {0, 0};
    tpget(where, 2, kTypeInteger, head, status);
    n = head[0] - 1;
    deftyp = head[1];
    if (status >= 0 && n < 0) status = kFailed;
}

// What an item request of TPGETN, TPGETC or TPCHNN turns out to be.
enum class request { refused, head_word, item };

// The checks the three share: WHERE 1 is refused; group 32 must name a head word (code 33 or 34)
// and the caller's field must hold one word, and the list then stands on that word.
request check_request(const reader_names& names, int where, int group, int code, int capacity, bool has_field,
                      int& status)
{
    status = 0;
    if (where == kWhereEntity) {
        eroutc(names.where1, 0);
        status = kFailed;
        return request::refused;
    }
    if (group != kGroupHead) return request::item;
    if (code != kHeadBlockNumber && code != kHeadProcType) {
        eroutc(names.bad_code, 0);
        status = kFailed;
        return request::refused;
    }
    if (capacity < 1 || !has_field) {
        status = kFailed;
        return request::refused;
    }
    return go_to_head_word(code, status) ? request::head_word : request::refused;
}

void get_item(const reader_names& names, int where, int group, int code, int& count, int& type, word* values,
              int capacity, int& status)
{
    const request kind = check_request(names, where, group, code, capacity, values != nullptr, status);
    if (kind == request::refused) return;
    if (kind == request::head_word) {
        count = 1;
        type = kTypeInteger;
        tp_get_int(kWhereList, values[0], status);
        return;
    }
    if (code == kTextCode || code == kTableNameCode) {
        eroutc(names.texts, 0);
        status = kFailed;
        return;
    }
    if (names.quiet) {
        plfind_quiet(group, code, status);
        if (status != 0) return;
    } else {
        PLFIND(group, code, status);
        if (status < 0) return;
    }
    int n = 0;
    read_record_head(where, n, type, status);
    if (status < 0) return;
    if (n > capacity || (n > 0 && !values)) {
        erou1c(names.quiet ? "TPGETC, ITEM LONGER THAN THE FIELD, CODE = "
                           : "TPGETN, ITEM LONGER THAN THE FIELD, CODE = ",
               code);
        status = kFailed;
        return;
    }
    count = n;
    tpget(where, n, type, values, status);
    if (status > 0) status = 0;
}

}  // namespace

void PLFIND(int group, int code, int& status)
{
    int position = 0;
    status = search(kWhereList, true, group, code, position);
    if (status == kNotFound) {
        erou1c("PLFIND, INFINITE LOOP, GROUP = ", group);
        erou1c("CODE = ", code);
        status = kFailed;
    }
}

void plfind_quiet(int group, int code, int& status)
{
    int position = 0;
    status = search(kWhereList, true, group, code, position);
}

void PLFNDG(int where, int first_call, int group, int code, int& position, int& status)
{
    status = search(where, first_call != 0, group, code, position);
    if (status == kNotFound) {
        eroutc("PLFNDG, REQUESTED CODE WAS NOT FOUND", 0);
        status = kFailed;
    }
}

void plfndg_at_current(int group, int code, int& position, int& status)
{
    PLFNDG(kWhereListNumbered, 0, group, code, position, status);
}

void TPGETN(int where, int group, int code, int& count, int& type, word* values, int capacity, int& status)
{
    get_item(kGetn, where, group, code, count, type, values, capacity, status);
}

void TPGETC(int where, int group, int code, int& count, int& type, word* values, int capacity, int& status)
{
    get_item(kGetc, where, group, code, count, type, values, capacity, status);
}

void TPCHNG(int n, int type, const word* values, int& status)
{
    (void)type;  // the words are overwritten as they stand, whatever their type
    lchngd(n, values, status);
    if (status < 0) {
        eroutc("TPCHNG, ERRORS IN LIST", 0);
        status = kFailed;
    }
}

void TPCHNN(int where, int group, int code, int type, const word* values, int capacity, int& status)
{
    const request kind = check_request(kGetn, where, group, code, capacity, values != nullptr, status);
    if (kind == request::refused) return;
    if (kind == request::head_word) return TPCHNG(1, kTypeInteger, values, status);
    if (code == kTextCode || code == kTableNameCode) {
        eroutc("TPCHNN, TEXTS ARE INVALID INPUT", 0);
        status = kFailed;
        return;
    }
    PLFIND(group, code, status);
    if (status < 0) return;
    int n = 0, deftyp = 0;
    read_record_head(where, n, deftyp, status);
    if (status < 0) return;
    if (n > capacity || (n > 0 && !values)) {
        erou1c("TPCHNN, ITEM LONGER THAN THE FIELD, CODE = ", code);
        status = kFailed;
        return;
    }
    TPCHNG(n, type, values, status);
}

void GTTEXT(int where, int procedure, int group, int code, int length, int& count, char* text, int& status)
{
    (void)procedure;  // the host answers for its open procedure
    status = 0;
    count = 0;
    if (length < 0 || (length > 0 && !text)) {
        status = kFailed;
        return;
    }
    std::fill(text, text + length, ' ');
    if (group != 24 || (code != kTextCode && code != kTableNameCode)) {
        eroutc("GTTEXT, ERROR IN GROUPC OR IN CODE", 0);
        status = kFailed;
        return;
    }
    const int limit = code == kTextCode ? kTextChars : kTableNameChars;
    constexpr int kTextWords = (kTextChars + 3) / 4;
    word words[kTextWords] = {};
    int words_held = 0;
    if (where == kWhereEntity) {
        gs_param(kParamGetArray, kParamOpenProcedure, kParamSelector, kParamTextKind, code, words, kTextWords,
                 words_held, status);
        if (status < 0) return;
        status = 0;
    } else {
        PLFIND(group, code, status);
        if (status < 0) return;
        int n = 0, deftyp = 0;
        read_record_head(where, n, deftyp, status);
        if (status < 0) return;
        words_held = n;
        tpget(where, std::min(n, kTextWords), kTypeText, words, status);
        if (status < 0) return;
        status = 0;
    }
    count = 4 * words_held;
    char stored[sizeof words];
    std::memcpy(stored, words, sizeof words);
    const int available = std::min({limit, length, 4 * std::min(words_held, kTextWords)});
    for (int i = 0; i < available && stored[i] != '\0'; ++i) text[i] = stored[i];
}

void gttext_c(int where, int procedure, int group, int code, std::string& text, int& status)
{
    char field[kTableNameChars];
    int count = 0;
    GTTEXT(where, procedure, group, code, kTableNameChars, count, field, status);
    text.assign(field, kTableNameChars);
    text.erase(text.find_last_not_of(' ') + 1);
}

void tp_record_insert(int group, int search_code, int new_code, int deftyp, int n, const word* values, int& status)
{
    auto fail = [&] { status = kFailed; };
    if (n < 0 || (n > 0 && !values)) return fail();
    int position = 0;
    plfndg_at_current(group, search_code, position, status);
    if (status < 0) return fail();
    // The search stops after the code word: the new record goes in front of that item.
    TPSKIP(kWhereList, -1, status);
    if (status < 0) return fail();
    const int words = n + kRecordHeadWords;
    lopclg(words, status);
    if (status < 0) return fail();
    const word head[kRecordHeadWords] = {new_code, n + 1, deftyp};
    TPCHNG(kRecordHeadWords, kTypeInteger, head, status);
    if (status >= 0) TPCHNG(n, deftyp, values, status);
    if (status < 0) return fail();
    int length = 0;
    lacces(0, status);
    if (status >= 0) TPSKIP(kWhereList, kSegment24LengthWord, status);
    if (status >= 0) tp_get_int(kWhereList, length, status);
    if (status >= 0) TPSKIP(kWhereList, -1, status);
    length += words;
    if (status >= 0) TPCHNG(1, kTypeInteger, &length, status);
    if (status < 0) return fail();
}
