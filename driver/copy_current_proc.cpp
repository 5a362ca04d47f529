// COPY_CURRENT_PROC: the procedure's line and the lines of its sub-list are read as words and
// written again after it; the sub-list link item, whose words the host owns, is written anew.
// The copy takes the top list's next block number, as a newly written procedure does, so the
// numbers of the other procedures (and the links and display entries that name them) stay.
#include "driver/copy_current_proc.hpp"

#include "driver/mch_slot_init.hpp"
#include "host/vantu.hpp"
#include "toolpath/nc_state_texts.hpp"
#include "toolpath/tp_list_access.hpp"

#include <algorithm>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kTopLevel = 1, kSublistLevel = 2;
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

// The procedure line and the lines of its sub-list, the list left back on the procedure line.
struct procedure_words {
    line_words block;
    std::vector<line_words> sublist;
};

bool read_procedure(procedure_words& p)
{
    p.block = read_line();
    if (p.block.empty()) return false;
    int status = 0;
    subls1(status);
    if (status < 0) return false;
    int length = 0;
    for (lacces(2, length); length >= 0; lacces(1, length)) {
        p.sublist.push_back(read_line());
        if (p.sublist.back().empty()) break;
    }
    clsls1(status);
    return status >= 0 && (p.sublist.empty() || !p.sublist.back().empty());
}

void put_line(const line_words& words, int mode, int& status)
{
    lcreat(mode, status);
    if (status >= 0) lputd(static_cast<int>(words.size()), words.data(), status);
}

// Writes the copy after the current line; the list is left on the copy's line.
void write_copy(const procedure_words& p, word number, int& status)
{
    line_words block = p.block;
    const bool linked = ends_with_link(block);
    if (linked) block.resize(block.size() - kLinkItemWords);
    block[kNumberWord] = number;
    put_line(block, 0, status);
    if (status >= 0 && linked) put_zero_lst(status);
    int closed = 0;
    lclos(closed);
    if (status < 0) return;
    newls1(kSublistLevel, status);
    for (const line_words& line : p.sublist) {
        if (status < 0) break;
        put_line(line, 1, status);
        lclos(closed);
    }
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
    for (int i = last; i > procedure; --i) entries[static_cast<std::size_t>(i + 1)] = entries[static_cast<std::size_t>(i)];
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
    NXTCNT(kClassProcedure, procedure, status);
    procedure_words p;
    if (status < 0 || !read_procedure(p) || p.block.size() <= kNumberWord || p.block[0] != kProcedureType) {
        status = kFailed;
        return;
    }
    const word number = take_number(status);
    if (status >= 0) write_copy(p, number, status);
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
    ascopy(-1, p.block[kNumberWord], -1, number);
    shift_proc_table(procedure, count);
    raise_stored_count();
    NXTCNT(kClassProcedure, procedure + 1, status);
    status = status < 0 ? kFailed : 0;
}
