// conv_sub_list, least version (see the header). A block in an entity is a size word and then
// the list line's words, type word first; the copy moves those words as they stand.
#include "toolpath/conv_sub_list_least.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_block_open.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kSwitchOff = -1;
constexpr int kHeaderType = 0, kProcedureType = 12;
constexpr int kNumberWord = 1;

// Reads the size word and the block's words from the open entity; false (status -1 and the
// message) for a size the list cannot hold or a type that is no stored block with a type word.
bool read_entity_block(std::vector<word>& words, int& status)
{
    int size = 0;
    tp_get_int(kWhereEntity, size, status);
    if (status < 0) return false;
    if (size < 2 || size > vantu::kListMaxLineWords) {
        erou1c("conv_sub_list, WRONG BLOCK SIZE ", size);
        status = kFailed;
        return false;
    }
    words.assign(static_cast<std::size_t>(size), 0);
    tpget(kWhereEntity, size, kTypeInteger, words.data(), status);
    if (status < 0) return false;
    // The header and the procedure block carry no type word in an entity; neither belongs in a
    // stored motion sub-list.
    int block_class = 0;
    const int type = words[0];
    if (type != kHeaderType && type != kProcedureType) PLSUPR(type, block_class);
    if (type == kHeaderType || type == kProcedureType || block_class < 0) {
        erou1c("DSPBLK - UNEXPECTED BLOCK TYPE", type);
        status = kFailed;
        return false;
    }
    return true;
}

void write_list_block(int to, std::vector<word>& words, int& status)
{
    if (to == kWhereListNumbered) get_curr_blkno(words[kNumberWord]);
    tp_line_create(status);
    if (status >= 0) TPPUT(to, static_cast<int>(words.size()), kTypeInteger, words.data(), status);
    BLKCLS(to);
}

}  // namespace

void conv_sub_list(int from, int to, int type, int size, int& status)
{
    (void)type;   // an entity block brings its own head
    (void)size;
    status = 0;
    if (from == kSwitchOff) return;
    const bool to_list = to == kWhereList || to == kWhereListNumbered;
    if (from != kWhereEntity || (!to_list && to != kWhereNowhere)) {
        erou1c("conv_sub_list, COPY NOT AVAILABLE ", from);
        status = kFailed;
        return;
    }
    std::vector<word> words;
    if (!read_entity_block(words, status)) return;
    if (to_list) write_list_block(to, words, status);
}
