// The piece table of the split by tool: the tool set read from the procedure, each piece's tool
// and percentages, and the words and text written into each piece.
#include "edit/time/divide_pieces.hpp"

#include "edit/editor/list_utilities.hpp"
#include "host/vantu.hpp"
#include "toolpath/machine_table.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <array>
#include <cstdio>
#include <string>

namespace {

constexpr int kFailed = -1;
constexpr int kGroupGlobal = 24, kGroupMachine = 23;
constexpr int kItemKind = 62, kItemFeedPercent4 = 63, kItemSpinPercent4 = 64;
constexpr int kItemToolIds = 125, kItemSingleTool = 126, kItemFeedPercents = 127, kItemSpinPercents = 128;
constexpr int kItemState = 21, kPieceState = 2;
constexpr int kItemBaseFeed = 1, kItemSpin = 6, kItemTool = 10;
constexpr int kKindOneTool = 4, kKindToolSet = 5;
constexpr double kPerCent = 0.01;

// The procedure block's item (group, code) into values; false when missing or unreadable.
bool read_item(int group, int code, word* values, int capacity)
{
    int count = 0, type = 0, status = 0;
    TPGETC(kWhereList, group, code, count, type, values, capacity, status);
    return status == 0;
}

float real_item(int group, int code)
{
    word w = 0;
    return read_item(group, code, &w, 1) ? word_to_real(w) : 0.0f;
}

}  // namespace

divide_piece_table& divide_pieces()
{
    static divide_piece_table table;
    return table;
}

void divide_parts_reset() { divide_pieces() = divide_piece_table{}; }

void divide_read_mch(int procedure, int& status)
{
    divide_piece_table& t = divide_pieces();
    if (!divide_goto_proc(procedure)) {
        status = kFailed;
        return;
    }
    t.base_feed = real_item(kGroupMachine, kItemBaseFeed);
    word spin = 0, tool = -1, kind = 0;
    read_item(kGroupMachine, kItemSpin, &spin, 1);
    read_item(kGroupMachine, kItemTool, &tool, 1);
    t.spin = spin;
    PRM9().words[machine_params::kToolId] = tool;
    read_item(kGroupGlobal, kItemKind, &kind, 1);
    t.kind = kind;
    read_item(kGroupGlobal, kItemToolIds, t.set_tools.data(), divide_piece_table::kSet);
    read_item(kGroupGlobal, kItemFeedPercents, t.set_feed.data(), divide_piece_table::kSet);
    read_item(kGroupGlobal, kItemSpinPercents, t.set_spin.data(), divide_piece_table::kSet);
    t.feed4 = real_item(kGroupGlobal, kItemFeedPercent4);
    t.spin4 = real_item(kGroupGlobal, kItemSpinPercent4);
    status = 0;
}

int divide_tool_lookup(int tool, int piece)
{
    divide_piece_table& t = divide_pieces();
    if (piece < 0 || piece >= divide_piece_table::kPieces) return -1;
    divide_piece& entry = t.pieces[static_cast<std::size_t>(piece)];
    if (t.kind == kKindToolSet) {
        for (int j = 0; j < divide_piece_table::kSet; ++j) {
            if (t.set_tools[static_cast<std::size_t>(j)] != tool) continue;
            entry = {tool, t.set_feed[static_cast<std::size_t>(j)], t.set_spin[static_cast<std::size_t>(j)]};
            return j;
        }
        return -1;
    }
    if (t.kind != kKindOneTool) return -1;
    t.pieces[1] = {tool, static_cast<int>(t.feed4), static_cast<int>(t.spin4)};
    return 0;
}

void divide_texts(int last_piece, int first)
{
    divide_piece_table& t = divide_pieces();
    const int n = last_piece + 1;
    for (int k = 1; k <= n && k <= divide_piece_table::kPieces; ++k) {
        char text[kTextChars + 1] = {};
        int status = 0, count = 0;
        if (divide_goto_proc(first + k - 1))
            GTTEXT(kWhereList, 0, kGroupGlobal, kTextCode, kTextChars, count, text, status);
        // Room for both numbers and the whole text before the cut to 20 characters.
        char numbered[64];
        std::snprintf(numbered, sizeof numbered, "%d of %d %s", k, n, text);
        t.texts[static_cast<std::size_t>(k - 1)] = std::string(numbered).substr(0, kTextChars);
    }
}

void divide_set_proc(int procedure, int piece, int& status)
{
    if (!divide_goto_proc(procedure)) {
        status = kFailed;
        return;
    }
    const divide_piece_table& t = divide_pieces();
    // With kind 4 every piece takes entry 1.
    const divide_piece& p = t.pieces[static_cast<std::size_t>(t.kind == kKindOneTool && piece > 0 ? 1 : piece)];
    status = 0;
    if (piece > 0) {
        const word feed = real_to_word(static_cast<float>(p.feed_percent * t.base_feed * kPerCent));
        const word spin = static_cast<word>(p.spin_percent * t.spin * kPerCent);
        const word tool = p.tool;
        const word single = 1;
        std::array<word, divide_piece_table::kSet> none, full;
        none.fill(-1);
        full.fill(100);
        TPCHNN(kWhereList, kGroupMachine, kItemBaseFeed, kTypeReal, &feed, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupMachine, kItemTool, kTypeInteger, &tool, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupMachine, kItemSpin, kTypeInteger, &spin, 1, status);
        if (status >= 0) TPCHNN(kWhereList, kGroupGlobal, kItemSingleTool, kTypeInteger, &single, 1, status);
        for (int item : {kItemToolIds, kItemFeedPercents, kItemSpinPercents}) {
            if (status < 0) break;
            TPCHNN(kWhereList, kGroupGlobal, item, kTypeInteger, item == kItemToolIds ? none.data() : full.data(),
                   divide_piece_table::kSet, status);
        }
    }
    const word state = kPieceState;
    if (status >= 0) TPCHNN(kWhereList, kGroupGlobal, kItemState, kTypeInteger, &state, 1, status);
    if (status >= 0) CHTEXT(kWhereList, kGroupGlobal, kTextCode, t.texts[static_cast<std::size_t>(piece)], status);
}
