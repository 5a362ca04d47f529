// COPY_CURRENT_PROC: the procedure's line and the lines of its sub-list (and of any sub-list
// below) are read as words and written again after it; the sub-list link items, whose words the
// host owns, are made anew.
// The copy takes the top list's next block number, as a newly written procedure does, so the
// numbers of the other procedures (and the links and display entries that name them) stay.
#include "driver/copy_current_proc.hpp"

#include "driver/mch_slot_init.hpp"
#include "host/vantu.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "toolpath/proc_block_writer.hpp"
#include "toolpath/tp_list_access.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kTopLevel = 1;
constexpr int kGet = 1, kSet = 2;
constexpr int kProcedureType = 12;
// The sub-list link item as the host appends it: item code 1, count word, value type 2, then the
// link words.
constexpr int kLinkItemWords = 3 + vantu::kSublistLinkWords;
constexpr word kLinkCode = 1, kLinkCount = vantu::kSublistLinkWords + 1, kLinkType = 2;
constexpr int kNumberWord = 1;
// Model-data kind of the one-word procedure count.
constexpr int kCountKind = 3;

using line_words = std::vector<word>;

// The current line's words; empty on failure.
line_words read_line()
{
    int length = 0, status = 0;
    lacces(0, length);
    if (length <= 0) return {};
    line_words words(static_cast<std::size_t>(length));
    int count = 0;
    lgetd(length, words.data(), count, status);
    if (status < 0 || count != length) return {};
    return words;
}

bool ends_with_link(const line_words& w)
{
    if (w.size() < static_cast<std::size_t>(kLinkItemWords)) return false;
    const std::size_t at = w.size() - kLinkItemWords;
    return w[at] == kLinkCode && w[at + 1] == kLinkCount && w[at + 2] == kLinkType;
}

// Link word `k` of a line that ends with the link item.
word link_word(const line_words& w, int k)
{
    return w[w.size() - vantu::kSublistLinkWords + static_cast<std::size_t>(k)];
}

// A line with the lines of its sub-list, theirs in turn.
struct line_tree {
    line_words words;
    bool owns_sublist = false;
    std::vector<line_tree> sublist;
};

int current_level()
{
    int level = 0, status = 0;
    gtlstn(kGet, level, status);
    return level;
}

// The current line and, when it owns one (the procedure line always does), its sub-list; the list
// is left back on the line. False on a list failure.
bool read_tree(line_tree& t, bool owns_sublist)
{
    t.words = read_line();
    if (t.words.empty()) return false;
    t.owns_sublist = owns_sublist || (ends_with_link(t.words) && link_word(t.words, 0) == 1);
    if (!t.owns_sublist) return true;
    int status = 0, length = 0;
    subls1(status);
    if (status < 0) return false;
    bool read = true;
    for (lacces(2, length); length >= 0 && read; lacces(1, length)) read = read_tree(t.sublist.emplace_back(), false);
    clsls1(status);
    return read && status >= 0;
}

// Writes the tree as a new line (lcreat mode) and its sub-list under it; the list is left on the
// new line. The link item is made anew and the sub-list's level counter set as the original's.
void write_tree(const line_tree& t, int mode, int& status)
{
    line_words words = t.words;
    const bool linked = ends_with_link(words);
    if (linked) words.resize(words.size() - kLinkItemWords);
    lcreat(mode, status);
    if (status >= 0) lputd(static_cast<int>(words.size()), words.data(), status);
    if (status >= 0 && linked) put_zero_lst(status);
    int closed = 0;
    lclos(closed);
    if (status < 0 || !t.owns_sublist) return;
    const int level = current_level() + 1;
    newls1(level, status);
    int counter = linked ? link_word(t.words, 1) : 0;
    if (status >= 0) gsblkn(kSet, level, counter, status);
    for (const line_tree& line : t.sublist)
        if (status >= 0) write_tree(line, 1, status);
    if (status >= 0) clsls1(status);
}

// The number the next top-level block gets; the top list's counter moves on past it.
word take_number(int& status)
{
    int counter = 0;
    gsblkn(kGet, kTopLevel, counter, status);
    if (status < 0) return 0;
    int next = counter + 1;
    gsblkn(kSet, kTopLevel, next, status);
    return counter;
}

// proc_table entries after the original move up by one; the copy's entry repeats the original's.
void shift_proc_table(int procedure, int count)
{
    auto& entries = proc_table().entries;
    const int last = std::min(count, proc_summary_table::kProcedures - 1);
    for (int i = last; i > procedure; --i)
        entries[static_cast<std::size_t>(i + 1)] = entries[static_cast<std::size_t>(i)];
    if (procedure + 1 <= proc_summary_table::kProcedures) {
        entries[static_cast<std::size_t>(procedure + 1)] = entries[static_cast<std::size_t>(procedure)];
    }
}

void raise_stored_count()
{
    word count = 0;
    int status = 0;
    mdget("NPRC", &count, 1, status);
    if (status != 0) return;
    ++count;
    mdputn("NPRC", kCountKind, 1, &count, status);
}

}  // namespace

int tp_procedure_count()
{
    int status = 0, level = kTopLevel;
    gtlstn(kSet, level, status);
    int length = 0;
    int procedures = 0;
    for (lacces(2, length); length > 0; lacces(1, length)) {
        word type = 0;
        int read = 0;
        lgetd(1, &type, read, status);
        if (type == kProcedureType) ++procedures;
    }
    return procedures;
}

void COPY_CURRENT_PROC(int procedure, int& status)
{
    const int count = tp_procedure_count();
    if (count >= kMaxProcedures) {
        user1c("NUMBER OF PROCEDURES IN TOOL PATH EXCEEDED", 'I', kMaxProcedures - 1, "");
        status = kFailed;
        return;
    }
    NXTCNT(kClassProcedure, procedure, status);
    line_tree p;
    if (status < 0 || !read_tree(p, true) || p.words.size() <= kNumberWord || p.words[0] != kProcedureType) {
        status = kFailed;
        return;
    }
    const word original = p.words[kNumberWord];
    const word number = take_number(status);
    p.words[kNumberWord] = number;
    if (status >= 0) write_tree(p, 0, status);
    if (status < 0) {
        // The copy's line, when it was made, is the procedure after the original.
        const bool made = tp_procedure_count() > count;
        int dropped = 0;
        if (made) NXTCNT(kClassProcedure, procedure + 1, dropped);
        if (made && dropped >= 0) ldelet(1, dropped);
        int restored = number, ignored = 0;
        gsblkn(kSet, kTopLevel, restored, ignored);
        status = kFailed;
        return;
    }
    // The copy carries the original's links (its tool among them).
    ascopy(-1, original, -1, number);
    shift_proc_table(procedure, count);
    raise_stored_count();
    NXTCNT(kClassProcedure, procedure + 1, status);
    status = status < 0 ? kFailed : 0;
}
