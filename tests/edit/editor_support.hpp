// Set-up of the editor tests: a fresh host and a procedure block at the top of the tool path whose
// movement sub-list is written from a compact description, one block per entry, and read back the
// same way. Blocks written here carry their block numbers; the list's counter stands above them.
#pragma once

#include "edit/editor/list_cursor_state.hpp"
#include "host/control.hpp"
#include "host/vantu.hpp"
#include "listing/live_display.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "toolpath/tp_sublist.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace editor_test {

inline constexpr int kProcBlock = 7;

// One block of the sub-list: "L12" a line (type 2) numbered 12, "S20x10" a string (type 7) of ten
// points numbered from 20, "P3:2" a parameter block numbered 3 of parameter type 2, "M9:3" a
// marker numbered 9 with code 3 (its Z the block number's negative), "C5" a cycle block (type 30).
inline std::vector<word> block_words(const std::string& text)
{
    const int number = std::stoi(text.substr(1));
    auto after = [&](char separator) { return std::stoi(text.substr(text.find(separator) + 1)); };
    auto real = [](float v) { return real_to_word(v); };
    switch (text[0]) {
    case 'L': return {2, number, real(number), 0, 0};
    case 'S': {
        std::vector<word> words{7};
        for (int i = 0; i < after('x'); ++i)
            for (word w : {number + i, real(float(number + i)), real(1.0f), 0}) words.push_back(w);
        return words;
    }
    case 'P': return {1, number, after(':'), 0, 5};
    case 'M': return {99, number, after(':'), real(-float(number))};
    default: return {30, number, 0, 0, 0, 0, 0, 0, 0, 0};
    }
}

// A fresh host (or, with fresh false, the host as it stands: a part loaded before) with the
// procedure block (numbered kProcBlock; its words when given) and its sub-list of blocks given by
// their words (type, number, ...); the cursor stands on the sub-list's first block and the cursor
// words name the procedure.
inline void build_words(const std::vector<std::vector<word>>& blocks, bool fresh = true,
                        std::vector<word> proc = {12, kProcBlock, 0, 0})
{
    if (fresh) {
        vantu::control::reset();
        vantu::control::clear_messages();
    }
    int status = 0;
    // No words: the procedure block the list stands on already (one that names its positions).
    if (!proc.empty()) {
        lcreat(1, status);
        lputd(static_cast<int>(proc.size()), proc.data(), status);
        lclos(status);
    }
    newls1(2, status);
    int highest = 0;
    for (const std::vector<word>& words : blocks) {
        lcreat(1, status);
        lputd(static_cast<int>(words.size()), words.data(), status);
        lclos(status);
        highest = std::max(highest, words[1] + 20);
    }
    gsblkn(2, 0, highest, status);
    lacces(2, status);
    list_cursor() = list_cursor_state{};
    list_cursor().cursor_proc_blkno = kProcBlock;
    BLSK().words[0] = 1;
    BLSK().words[1] = kProcBlock;
}

// The same with one block per entry of the compact description of block_words.
inline void build(const std::vector<std::string>& blocks)
{
    std::vector<std::vector<word>> words;
    for (const std::string& text : blocks) words.push_back(block_words(text));
    build_words(words);
}

// The sub-list read back in the form of build: a string by its first number and point count, a
// line by its number and type when not 2.
inline std::vector<std::string> blocks()
{
    std::vector<std::string> out;
    const auto* proc = vantu::control::toolpath_line_at({0});
    if (!proc) return out;
    for (const auto& line : proc->sublist) {
        const std::vector<word>& w = line.words;
        const std::string number = std::to_string(w.size() > 1 ? w[1] : -1);
        switch (w[0]) {
        case 2: out.push_back("L" + number); break;
        case 7: out.push_back("S" + number + "x" + std::to_string((w.size() - 1) / 4)); break;
        case 1: out.push_back("P" + number + ":" + std::to_string(w[2])); break;
        case 99: out.push_back("M" + number + ":" + std::to_string(w[2])); break;
        default: out.push_back("T" + std::to_string(w[0]) + ":" + number); break;
        }
    }
    return out;
}

// The block number of the line the cursor stands on.
inline int cursor_block_number()
{
    const auto position = vantu::control::toolpath_cursor();
    const auto* line = vantu::control::toolpath_line_at(position.lines);
    return line && line->words.size() > 1 ? line->words[1] : -1;
}

// Puts the cursor on the sub-list's block with the number.
inline void put_cursor_on(int number)
{
    int status = 0;
    lacces(2, status);
    while (cursor_block_number() != number) {
        lacces(1, status);
        if (status < 0) return;
    }
}

inline std::vector<std::string> lines_of(const char* call) { return vantu::control::lines_of(call); }

}  // namespace editor_test
