// Word calls of the tool-path list: reading, appending, skipping, back-patching, overwriting and
// inserting words of the current line, the room check of the open line and the sub-list link
// item. lgetd, lputd and lskip run for every word the module moves, so they are only counted.
#include "host/core/faults.hpp"
#include "host/core/trace.hpp"
#include "host/list_tree.hpp"

#include <algorithm>

using vantu::fault_hit;
using vantu::kListMaxLineWords;
using vantu::kSublistLinkWords;
using vantu::trace_call;
using vantu::trace_count;
using namespace vantu::list_internal;

namespace {

constexpr int kNoLine = -1;    // no current line (end of the level) or no open line
constexpr int kRefused = -2;   // an argument out of range
constexpr int kLineFull = -3;  // the line would grow past kListMaxLineWords

// The word position, kept inside the line whatever happened to it.
int& word_position(const line& l)
{
    int& word = state().cursor.back().word;
    word = std::clamp(word, 0, static_cast<int>(l.words.size()));
    return word;
}

bool bad_buffer(int n, const void* values) { return n < 0 || (n > 0 && values == nullptr); }

bool fits(const line& l, long long more) { return static_cast<long long>(l.words.size()) + more <= kListMaxLineWords; }

// The current line when it is open for appending, else null.
line* open_line() { return state().line_open ? current_line() : nullptr; }

}  // namespace

void lgetd(int n, word* values, int& count_read, int& status)
{
    trace_count("lgetd");
    count_read = 0;
    if (auto fault = fault_hit("lgetd")) {
        status = *fault;
        return;
    }
    line* l = current_line();
    if (!l) {
        status = kNoLine;
        return;
    }
    if (bad_buffer(n, values)) {
        status = kRefused;
        return;
    }
    int& word = word_position(*l);
    int take = std::min(n, static_cast<int>(l->words.size()) - word);
    std::copy_n(l->words.begin() + word, take, values);
    word += take;
    count_read = take;
    status = 0;
}

void lputd(int n, const word* values, int& status)
{
    trace_count("lputd");
    if (auto fault = fault_hit("lputd")) {
        status = *fault;
        return;
    }
    line* l = open_line();
    if (!l) {
        status = kNoLine;
        return;
    }
    if (bad_buffer(n, values)) {
        status = kRefused;
        return;
    }
    if (!fits(*l, n)) {
        status = kLineFull;
        return;
    }
    l->words.insert(l->words.end(), values, values + n);
    state().cursor.back().word = static_cast<int>(l->words.size());
    status = 0;
}

void lskip(int n, int& count_skipped, int& status)
{
    trace_count("lskip");
    count_skipped = 0;
    if (auto fault = fault_hit("lskip")) {
        status = *fault;
        return;
    }
    line* l = current_line();
    if (!l) {
        status = kNoLine;
        return;
    }
    int& word = word_position(*l);
    long long room = n >= 0 ? static_cast<long long>(l->words.size()) - word : word;
    long long wanted = n >= 0 ? static_cast<long long>(n) : -static_cast<long long>(n);
    int moved = static_cast<int>(std::min(wanted, room));
    word += n >= 0 ? moved : -moved;
    count_skipped = moved;
    status = 0;
}

void ljmpcg(int back, word value, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("ljmpcg", args({back, value}), result);
    };
    if (auto fault = fault_hit("ljmpcg")) return finish(*fault);
    line* l = current_line();
    if (!l) return finish(kNoLine);
    int& word = word_position(*l);
    if (back < 1 || back > word) return finish(kRefused);
    l->words[static_cast<std::size_t>(word - back)] = value;
    word = static_cast<int>(l->words.size());
    finish(0);
}

void lchngd(int n, const word* values, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("lchngd", args({n}), result);
    };
    if (auto fault = fault_hit("lchngd")) return finish(*fault);
    line* l = current_line();
    if (!l) return finish(kNoLine);
    int& word = word_position(*l);
    if (bad_buffer(n, values) || n > static_cast<int>(l->words.size()) - word) return finish(kRefused);
    std::copy_n(values, n, l->words.begin() + word);
    word += n;
    finish(0);
}

void lopclg(int n, int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("lopclg", args({n}), result);
    };
    if (auto fault = fault_hit("lopclg")) return finish(*fault);
    line* l = current_line();
    if (!l) return finish(kNoLine);
    if (n < 0) return finish(kRefused);
    if (!fits(*l, n)) return finish(kLineFull);
    int at = word_position(*l);
    l->words.insert(l->words.begin() + at, static_cast<std::size_t>(n), 0);
    // The host's own link words move with the words they stand in.
    if (l->link_at >= at) l->link_at += n;
    shift_markers_for_words(at, n);
    finish(0);
}

void lchkd(int n, int& answer)
{
    if (auto fault = fault_hit("lchkd")) {
        answer = *fault;
    } else {
        line* l = open_line();
        answer = l && n >= 0 && n <= kListMaxLineWords && fits(*l, n) ? 1 : 0;
    }
    trace_call("lchkd", args({n}), answer);
}

void put_zero_lst(int& status)
{
    auto finish = [&](int result) {
        status = result;
        trace_call("put_zero_lst", "", result);
    };
    if (auto fault = fault_hit("put_zero_lst")) return finish(*fault);
    line* l = open_line();
    if (!l) return finish(kNoLine);
    if (l->link_at >= 0) return finish(kRefused);
    if (!fits(*l, 3 + kSublistLinkWords)) return finish(kLineFull);
    const word head[3] = {1, kSublistLinkWords + 1, 2};
    l->words.insert(l->words.end(), head, head + 3);
    l->link_at = static_cast<int>(l->words.size());
    l->words.insert(l->words.end(), kSublistLinkWords, 0);
    refresh_link(*l, current_level() + 1);
    state().cursor.back().word = static_cast<int>(l->words.size());
    finish(0);
}
