// Reading the flag segment 27 (least version, see the header). Every record of the segment holds
// one integer; the item code names the option word or pair word it belongs to.
#include "toolpath/get_flags_least.hpp"

#include "host/vantu_messages.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kFirstPairFlag = 83, kLastPairFlag = 92;   // pairs 1-10: flags 83-92, ids 93-102
constexpr int kFirstPairId = 93, kLastPairId = 102;
constexpr int kPair11Flag = 103, kPair11Id = 104, kPair12Flag = 105, kPair12Id = 106;

// The word of an item code: an option word or a pair word; null for a code segment 27 lacks.
word* flag_word(int code, word* const options[6], word* pairs)
{
    switch (code) {
    case 51: return options[0];
    case 52: return options[1];
    case 53: return options[2];
    case 54: return options[3];
    case 55: return options[4];
    case 82: return options[5];
    case kPair11Flag: return &pairs[20];
    case kPair11Id: return &pairs[21];
    case kPair12Flag: return &pairs[22];
    case kPair12Id: return &pairs[23];
    default: break;
    }
    if (code >= kFirstPairFlag && code <= kLastPairFlag) return &pairs[2 * (code - kFirstPairFlag)];
    if (code >= kFirstPairId && code <= kLastPairId) return &pairs[2 * (code - kFirstPairId) + 1];
    return nullptr;
}

}  // namespace

proc_geom_pairs& proc_flags()
{
    static proc_geom_pairs flags;
    return flags;
}

void get_flags(word& option2, word& option1, word& option3, word& option4, word& option5, word& option6,
               word* pairs, int& length, int& status)
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
