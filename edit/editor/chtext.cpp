// CHTEXT: the procedure block's text items 29 (20 characters) and 30 (12) overwritten in place
// with a new text, blank-padded to the item's length; a longer text is cut to it.
#include "edit/editor/list_utilities.hpp"

#include "host/vantu_compare.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr int kFailed = -1;
constexpr int kTextGroup = 24;
// The words each text item holds at most.
constexpr int kTextWords = kTextChars / 4, kTableNameWords = kTableNameChars / 4;

}  // namespace

void CHTEXT(int where, int group, int code, std::string_view text, int& status)
{
    status = kFailed;
    if (where == kWhereEntity) {
        eroutc("CHTEXT, WHERE=1 IS NOT PERMITTED", 0);
        return;
    }
    if (group != kTextGroup || (code != kTextCode && code != kTableNameCode)) {
        eroutc("CHTEXT, INCORRECT CODES", 0);
        return;
    }
    int found = 0;
    PLFIND(group, code, found);
    if (found < 0) return;
    word head[2] = {0, 0};   // the item's count word (its words plus one) and value type
    int read = 0;
    tpget(where, 2, kTypeInteger, head, read);
    if (read < 0) return;
    const int words = head[0] - 1;
    // An item holding more words than its text may have does not have a text item's layout;
    // writing a text that long would pass the 20 or 12 characters its readers take.
    if (words < 0 || words > (code == kTextCode ? kTextWords : kTableNameWords)) {
        eroutc("CHTEXT, ITEM LONGER THAN ITS LIMIT", 0);
        return;
    }
    std::string padded(text.substr(0, std::min(text.size(), static_cast<std::size_t>(4 * words))));
    padded.resize(static_cast<std::size_t>(4 * words), ' ');
    std::array<word, kTextWords> values{};
    movt2i(padded.data(), words, values.data());
    TPCHNG(words, kTypeInteger, values.data(), status);
    if (status >= 0) status = 0;
}
