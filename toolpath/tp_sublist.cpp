// Opening and closing the sub-list of a procedure block and the sub-list stack BLSK.
#include "toolpath/tp_sublist.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>

namespace {

constexpr int kFailed = -1;
constexpr int kGet = 1, kSet = 2;

int current_level(int& status)
{
    int level = 0;
    gtlstn(kGet, level, status);
    return level;
}

// BLSK names the open procedure block of levels 1 to 10 and, in the word after it, the level
// below; a level of 10 or more has no room. False (status -1, the message with the level) then.
bool level_has_room(int level, const char* message, int& status)
{
    if (level >= 1 && level < sublist_stack::kLevels) return true;
    erou1c(message, level);
    status = kFailed;
    return false;
}

}  // namespace

void sublist_stack::from_words(const word* in, int n)
{
    if (!in) return;
    std::copy_n(in, std::clamp(n, 0, kWords), words.begin());
}

void sublist_stack::to_words(word* out) const { std::copy(words.begin(), words.end(), out); }

sublist_stack& BLSK()
{
    static sublist_stack stack;
    return stack;
}

void tp_sublist_open(int& status)
{
    const int level = current_level(status);
    if (status < 0) return;
    if (!level_has_room(level, "tp_sublist_open, NO LIST LEVEL BELOW ", status)) return;
    int count = 0, type = 0;
    word blocks = 0, number = 0;
    TPGETN(kWhereList, kSublistCountGroup, kSublistCountCode, count, type, &blocks, 1, status);
    if (status < 0) return;
    gsblkn(kSet, level + 1, blocks, status);
    if (status < 0) return;
    TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &number, 1, status);
    if (status < 0) return;
    BLSK().words[0] = level;
    BLSK().words[static_cast<std::size_t>(level)] = number;
    subls1(status);
    if (status < 0) status = kFailed;
}

void tp_sublist_close(int& status)
{
    clsls1(status);
    if (status < 0) return;
    const int level = current_level(status);
    if (status < 0) return;
    word blocks = 0;
    gsblkn(kGet, level + 1, blocks, status);
    if (status < 0) return;
    TPCHNN(kWhereList, kSublistCountGroup, kSublistCountCode, kTypeInteger, &blocks, 1, status);
}

void sublist_stack_set(int block_number, int& status)
{
    const int level = current_level(status);
    if (status < 0) return;
    if (!level_has_room(level, "sublist_stack_set, LIST LEVEL OUT OF RANGE ", status)) return;
    int zero = 0;
    gsblkn(kSet, level + 1, zero, status);
    if (status < 0) return;
    auto& w = BLSK().words;
    w[static_cast<std::size_t>(level)] = block_number;
    w[0] = level + 1;
    w[static_cast<std::size_t>(level) + 1] = 0;
}
