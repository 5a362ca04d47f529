// Segment 27 and the flag globals. Every record of the segment holds one integer; its item code
// names the option word or pair word it belongs to (options 51-55 and 82; pair flags 83-92, 103,
// 105; pair ids 93-102, 104, 106).
#include "toolpath/proc_flags.hpp"

#include "host/vantu_messages.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kSegmentCode = 27;
constexpr int kGet = 1, kSet = 2;
constexpr int kSetId = 1, kClearFlag = 2, kClearFlagSetId = 3;
constexpr int kOptionCodes[proc_geom_pairs::kOptions] = {51, 52, 53, 54, 55, 82};

// The flag and id item codes of pair k.
int flag_code(int k) { return k < 10 ? 83 + k : k == 10 ? 103 : 105; }
int id_code(int k) { return k < 10 ? 93 + k : k == 10 ? 104 : 106; }

// The word of an item code among the option words and the pair words; null for a code segment
// 27 does not hold.
word* flag_word(int code, word* const options[6], word* pairs)
{
    for (int i = 0; i < proc_geom_pairs::kOptions; ++i)
        if (kOptionCodes[i] == code) return options[i];
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) {
        if (flag_code(k) == code) return &pairs[2 * k];
        if (id_code(k) == code) return &pairs[2 * k + 1];
    }
    return nullptr;
}

// Writes the segment: the option words, then flag and id of every pair.
void write_flag_segment(int where, const word (&options)[6], const geom_pair_words& pairs, int& status)
{
    int counter = 0;
    tp_segment_begin(where, kSegmentCode, counter, status);
    for (int i = 0; i < proc_geom_pairs::kOptions && status >= 0; ++i)
        tpptntl(where, kOptionCodes[i], 1, kTypeInteger, &options[i], counter, status);
    for (int k = 0; k < proc_geom_pairs::kPairs && status >= 0; ++k) {
        tpptntl(where, flag_code(k), 1, kTypeInteger, &pairs[static_cast<std::size_t>(2 * k)], counter, status);
        if (status >= 0)
            tpptntl(where, id_code(k), 1, kTypeInteger, &pairs[static_cast<std::size_t>(2 * k + 1)], counter, status);
    }
    const int written = status;
    if (written < 0) eroutc("[wflags], ERRORS IN LIST", 0);
    int patched = 0;
    tp_segment_end(where, counter, patched);
    status = written < 0 ? written : patched;
}

// Rewrites the records of the segment from the current position (its length word).
void rewrite_records(int& status)
{
    proc_geom_pairs& f = proc_flags();
    word* const options[6] = {&f.options[0], &f.options[1], &f.options[2], &f.options[3], &f.options[4], &f.options[5]};
    int length = 0;
    tp_get_int(kWhereListNumbered, length, status);
    // Every record takes four words, so the loop ends within length / 4 rounds.
    for (int left = length; left > 0 && status >= 0;) {
        word head[kRecordHeadWords] = {};
        tpget(kWhereListNumbered, kRecordHeadWords, kTypeInteger, head, status);
        if (status < 0) return;
        const word* value = flag_word(head[0], options, f.pairs.data());
        // One global word each: a record of more values would take words that are not its own.
        if (!value || head[1] != 2) {
            status = kFailed;
            return;
        }
        TPCHNG(1, kTypeInteger, value, status);
        left -= kRecordHeadWords + 1;
    }
}

}  // namespace

proc_geom_pairs& proc_flags()
{
    static proc_geom_pairs flags;
    return flags;
}

int geom_pair_index(int kind)
{
    if (kind < kFirstGeomKind || kind > kLastGeomKind || kind == kKindWithoutPair) return -1;
    return kind == kLastGeomKind ? proc_geom_pairs::kPairs - 1 : kind - kFirstGeomKind;
}

void wflags(int& status)
{
    const proc_geom_pairs& f = proc_flags();
    const word options[6] = {f.options[0], f.options[1], f.options[2], f.options[3], f.options[4], f.options[5]};
    write_flag_segment(kWhereListNumbered, options, f.pairs, status);
}

void wflags_from(word option2, word option1, word option3, word option4, word option5, word option6,
                 geom_pair_words pairs, int& status)
{
    const word options[6] = {option1, option2, option3, option4, option5, option6};
    write_flag_segment(kWhereList, options, pairs, status);
}

void update_flags(int& status)
{
    PLFIND(kGroupTopLevel, kSegmentCode, status);
    if (status >= 0) rewrite_records(status);
    if (status < 0) {
        eroutc("[update_flags], ERRORS IN LIST", 0);
        status = kFailed;
    }
}

void get_flags(word& option2, word& option1, word& option3, word& option4, word& option5, word& option6, word* pairs,
               int& length, int& status)
{
    status = 0;
    length = 0;
    if (!pairs) {
        status = kFailed;
        return;
    }
    word* const options[6] = {&option1, &option2, &option3, &option4, &option5, &option6};
    tp_get_int(kWhereList, length, status);
    // Every record takes at least three words, so the loop ends within length / 3 rounds.
    for (int left = length; left > 0 && status >= 0;) {
        word head[kRecordHeadWords] = {};
        tpget(kWhereList, kRecordHeadWords, kTypeInteger, head, status);
        if (status < 0) break;
        word* target = flag_word(head[0], options, pairs);
        // A record of other than one value would not fit its word: refused like an unknown code.
        if (!target || head[1] != 2) {
            eroutc("get_flags, ERRORS IN LIST", 0);
            status = kFailed;
            return;
        }
        tpget(kWhereList, 1, head[2], target, status);
        left -= kRecordHeadWords + 1;
    }
    if (status < 0) eroutc("get_flags, ERRORS IN LIST", 0);
}

void read_proc_flags(int& status)
{
    PLFIND(kGroupTopLevel, kSegmentCode, status);
    if (status < 0) return;
    proc_geom_pairs& f = proc_flags();
    int length = 0;
    get_flags(f.options[1], f.options[0], f.options[2], f.options[3], f.options[4], f.options[5], f.pairs.data(),
              length, status);
}

void proc_flags_getset(int mode, geom_pair_words& pairs, std::array<word, proc_geom_pairs::kOptions>& options)
{
    proc_geom_pairs& f = proc_flags();
    if (mode == kGet) {
        pairs = f.pairs;
        options = f.options;
    } else if (mode == kSet) {
        f.pairs = pairs;
        f.options = options;
    }
}

void geom_pairs_init(geom_pair_words& pairs)
{
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) {
        pairs[static_cast<std::size_t>(2 * k)] = 0;
        pairs[static_cast<std::size_t>(2 * k + 1)] = kNoEntity;
    }
}

void flags_reset(int& status)
{
    proc_geom_pairs& f = proc_flags();
    for (int n : {kOptUpdate, kOptMachine, kOptRecompute, kOptMotionsCopied})
        f.options[static_cast<std::size_t>(n - 1)] = 1;
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k) {
        f.pairs[static_cast<std::size_t>(2 * k)] = 1;
        f.pairs[static_cast<std::size_t>(2 * k + 1)] = kNoEntity;
    }
    status = 0;
}

void proc_flags_mark_all()
{
    proc_geom_pairs& f = proc_flags();
    for (int n : {kOptUpdate, kOptMachine, kOptRecompute}) f.options[static_cast<std::size_t>(n - 1)] = 1;
    for (int k = 0; k < proc_geom_pairs::kPairs; ++k)
        if (f.pairs[static_cast<std::size_t>(2 * k + 1)] > 0) f.pairs[static_cast<std::size_t>(2 * k)] = 1;
}

void geom_flag_update(int mode, int kind, int id, geom_pair_words& pairs)
{
    const int k = geom_pair_index(kind);
    if (k < 0) return;
    word& flag = pairs[static_cast<std::size_t>(2 * k)];
    word& entity = pairs[static_cast<std::size_t>(2 * k + 1)];
    if (mode == kSetId || mode == kClearFlagSetId) entity = id;
    if (mode == kClearFlag || mode == kClearFlagSetId) flag = 0;
}

void geom_pair_get(int kind, geom_pair_words pairs, int& id, int& flag)
{
    const int k = geom_pair_index(kind);
    id = k < 0 ? kNoEntity : pairs[static_cast<std::size_t>(2 * k + 1)];
    flag = k < 0 ? 0 : pairs[static_cast<std::size_t>(2 * k)];
}

void geom_kind_mark_recompute(int kind)
{
    if (kind == 10003 || kind == 10005 || kind == 10006 || kind == 10010)
        proc_flags().options[static_cast<std::size_t>(kOptRecompute - 1)] = 1;
}
