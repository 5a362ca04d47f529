// The host's modify command around a module run (host/control/edit_command.hpp): opening a
// procedure for modification, and after the run putting the procedure block the run wrote in the
// old block's place. The session lasts from the opening to the settling and is not saved.
#include "host/control/edit_command.hpp"

#include "host/control/mdata.hpp"
#include "host/core/component.hpp"
#include "host/list_tree.hpp"

#include <optional>
#include <vector>

using namespace vantu::list_internal;

namespace {

// Words of a procedure block's head: its block type, then its block number.
constexpr std::size_t kBlockTypeWord = 0, kBlockNumberWord = 1;
constexpr word kProcedureBlock = 12;
// The edit-state record: 20 words of kind 3; word 1 editing, word 2 the procedure number, word
// 18 the recompute flag as the store step kept it (the new-block flag of an edit).
constexpr int kEditStateWords = 20, kEditStateKind = 3;
constexpr std::size_t kEditingWord = 0, kProcedureWord = 1, kNewBlockWord = 17;
constexpr int kMotionLevel = 2;

struct edit_session {
    bool open = false;        // a procedure is open for modification
    int procedure = 0;        // its block number
    int counter_at_open = 0;  // the top list's block counter when it was opened
};

edit_session& session()
{
    static edit_session s;
    return s;
}

void reset_session() { session() = edit_session{}; }

const bool edit_command_registered =
    vantu::register_component({"edit_command", reset_session, nullptr, nullptr, nullptr});

// Index in the top list of the procedure block of that number.
std::optional<int> procedure_index(int number)
{
    const line_list& top = state().top;
    for (std::size_t i = 0; i < top.size(); ++i) {
        const std::vector<word>& w = top[i].words;
        if (w.size() > kBlockNumberWord && w[kBlockTypeWord] == kProcedureBlock && w[kBlockNumberWord] == number)
            return static_cast<int>(i);
    }
    return std::nullopt;
}

int top_counter() { return state().counters[1]; }

bool new_block_flag()
{
    const auto words = vantu::control::get_record("EDA2");
    return !words || words->size() <= kNewBlockWord || (*words)[kNewBlockWord] != 0;
}

// One procedure block fewer in the tool path: its count is given back.
void count_one_procedure_less()
{
    auto count = vantu::control::get_record("NPRC");
    if (!count || count->empty() || count->front() <= 0) return;
    --count->front();
    vantu::control::set_record("NPRC", vantu::control::record_kind("NPRC").value_or(1), *count);
}

// The new block's words and sub-list take the old block's place. The old block's motions come
// along when the new block has none of its own and the block writer kept the old procedure.
void take_place(int old_at, int new_at, bool keep_old_motions)
{
    line_list& top = state().top;
    line& old_block = top[static_cast<std::size_t>(old_at)];
    line replacement = std::move(top[static_cast<std::size_t>(new_at)]);
    if (keep_old_motions && replacement.sublist.empty() && old_block.has_sublist) {
        replacement.sublist = std::move(old_block.sublist);
        replacement.has_sublist = true;
        refresh_link(replacement, kMotionLevel);
    }
    old_block = std::move(replacement);
}

// Erases the top-level line `at`. Markers follow their lines: when the heir took the erased
// line's content, markers in that content follow it there; a marker whose content is gone (the
// erased line's, or the heir's own old content) passes to the heir's first word. Answers where
// the heir stands afterwards.
int erase_line(int at, int heir, bool heir_took_content)
{
    const int place = heir < at ? heir : heir - 1;
    const int content_gone = heir_took_content ? heir : at;
    for (auto& [number, marker] : state().markers) {
        int& line = marker.front().line;
        if (line == content_gone)
            marker = path{frame{place, 0}};
        else if (line == at)
            line = place;
        else if (line > at)
            --line;
    }
    state().top.erase(state().top.begin() + at);
    return place;
}

}  // namespace

namespace vantu::control {

bool open_procedure_for_edit(int number)
{
    const std::optional<int> at = procedure_index(number);
    if (!at) return false;
    std::vector<word> words = get_record("EDA2").value_or(std::vector<word>{});
    words.resize(kEditStateWords, 0);
    words[kEditingWord] = 1;
    words[kProcedureWord] = number;
    if (!set_record("EDA2", kEditStateKind, words)) return false;
    move_cursor(path{frame{*at, 0}});
    session() = {true, number, top_counter()};
    return true;
}

edit_outcome close_procedure_edit(bool run_ended_normally)
{
    const edit_session opened = session();
    reset_session();
    if (!opened.open) return edit_outcome::not_editing;
    const int written = top_counter() - 1;
    const std::optional<int> old_at = procedure_index(opened.procedure);
    const std::optional<int> new_at =
        written >= opened.counter_at_open && written != opened.procedure ? procedure_index(written) : std::nullopt;
    if (!old_at || !new_at) return edit_outcome::kept;
    // Leave the run's sub-lists first, so that their links are settled before lines move.
    move_cursor(path{frame{*new_at, 0}});
    if (run_ended_normally) take_place(*old_at, *new_at, !new_block_flag());
    const int place = erase_line(*new_at, *old_at, run_ended_normally);
    move_cursor(path{frame{place, 0}});
    count_one_procedure_less();
    return run_ended_normally ? edit_outcome::replaced : edit_outcome::discarded;
}

}  // namespace vantu::control
