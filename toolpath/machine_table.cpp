// The machine table as stored in segment 23 of a procedure block, a MCHPRM entity or the
// template file: records of one value each, item code first. RMCHTB reads it into PRM9, wmchtb
// writes the items a machine-parameter type uses, in their fixed order.
#include "toolpath/machine_table.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_template.hpp"
#include "toolpath/param_record.hpp"
#include "toolpath/tp_entity_open.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kSegmentCode = 23;
constexpr int kDeftypByItem = -1;
constexpr int kFirstExtItem = 55, kLastExtItem = 64;
constexpr int kCutterCompItem = 11;
constexpr float kNoStoredFeed = -2.0f;
constexpr int kMchprmClass = 9, kMchprmType = 5;
constexpr int kMchprmSkip = 3;

struct item_word {
    int item;
    int word_index;
};
// Where each item of the table lives in PRM9.
constexpr item_word kItemWords[] = {
    {1, 0},   {2, 1},   {3, 2},   {4, 3},   {5, 4},   {51, 5},  {52, 6},  {6, 7},
    {7, 8},   {8, 9},   {9, 10},  {10, 11}, {11, 12}, {13, 13}, {12, 14}, {14, 15},
    {46, 16}, {47, 17}, {48, 18}, {49, 19}, {50, 20}, {53, 21}, {54, 22},
};

// The word an item is kept in, or null for an unknown item.
word* item_slot(int item)
{
    if (item == 0) return &mch_table_ext().machine_type;
    if (item >= kFirstExtItem && item <= kLastExtItem)
        return &mch_table_ext().ext[static_cast<std::size_t>(item - kFirstExtItem)];
    for (const item_word& iw : kItemWords)
        if (iw.item == item) return &PRM9().words[static_cast<std::size_t>(iw.word_index)];
    return nullptr;
}

int ext_kind(int item) { return item >= 57 && item <= 60 ? kTypeReal : kTypeInteger; }
int item_kind(int item) { return item >= kFirstExtItem && item <= kLastExtItem ? ext_kind(item) : NTBDEF(item); }

// Reads the table's length (step 2 of RMCHTB).
void read_length(int where, int& length, int& status)
{
    if (where == kWhereTemplateRead) return;
    if (where != kWhereEntity) {
        PLFIND(kGroupTopLevel, kSegmentCode, status);
        if (status < 0) return;
    }
    tp_get_int(where, length, status);
}

// Reads one item of the table and stores it; taken grows by the item's words.
void read_item(int where, int& taken, int& status)
{
    word head[3] = {0, 0, 0};
    tpget(where, 3, kTypeInteger, head, status);
    if (status < 0) return;
    const int item = head[0], count = head[1];
    const int kind = head[2] == kDeftypByItem ? item_kind(item) : head[2];
    if (count < 1) {
        erou1c("RMCHTB: WRONG PARAMETER, PARAMETER =", item);
        status = kFailed;
        return;
    }
    taken += 2 + count;
    word value = 0;
    tpget(where, 1, kind, &value, status);
    // Records of more than one value keep only their first: skip the rest.
    if (status >= 0 && count > 2) TPSKIP(where, count - 2, status);
    if (status < 0) return;
    word* slot = item_slot(item);
    if (!slot) {
        erou1c("RMCHTB: WRONG PARAMETER, PARAMETER =", item);
        return;
    }
    *slot = item == kCutterCompItem ? (value != 0 ? 1 : 0) : value;
}

void report_template_failure(int& status)
{
    int file = 0, at_end = 0;
    get_template_file_ptr(file);
    template_at_end(file, at_end);
    if (at_end) {
        status = 0;
        return;
    }
    std::string name;
    template_file_name(file, name);
    eroutc("CANNOT READ FROM FILE " + name, 0);
    eroutc("|READING TERMINATED", 0);
    eroutc("rmchtb, ERRORS IN TEMPLATE LIST", 0);
}

// Step order of wmchtb: every item the machine-parameter type m writes, in order; 10 and 47 are
// left out for the template file.
std::vector<int> table_items(int m, int where)
{
    const bool p = m == 1 || m == 2 || m == 4 || m == 6;
    const bool l = m >= 21 && m <= 25;
    std::vector<int> items{0};
    if (p || l || m == 26) items.insert(items.end(), {1, 2});
    if (p) items.push_back(4);
    if (p || m == 21) items.push_back(5);
    if (p) items.insert(items.end(), {51, 52});
    if (p || l || m == 26) items.insert(items.end(), {6, 7, 8});
    if (where != kWhereTemplateWrite) {
        if ((p && m != 4) || l || m == 16 || m == 17 || m == 19 || m == -1 || m == 26) items.push_back(10);
        items.push_back(47);
    }
    if (m == 1 || m == 2 || m == 21 || m == 22 || m == 25 || m == 26 || m == -1) items.push_back(11);
    if (l) items.push_back(3);
    if (m == 24) items.insert(items.end(), {48, 49, 50});
    if (m == 16 || m == 17) items.insert(items.end(), {12, 14});
    if (m == 26) items.insert(items.end(), {55, 56, 57, 61, 58, 62, 59, 63, 60, 64});
    if (l) items.push_back(9);
    if (p || m == 26) items.push_back(53);
    if (p) items.push_back(54);
    return items;
}

}  // namespace

void machine_params::from_words(const word* in, int n)
{
    if (in) std::copy_n(in, std::clamp(n, 0, kWords), words.begin());
}

void machine_params::to_words(word* out) const { std::copy(words.begin(), words.end(), out); }

machine_params& PRM9()
{
    static machine_params params;
    return params;
}

machine_table_extra& mch_table_ext()
{
    static machine_table_extra extra;
    return extra;
}

int NTBDEF(int item)
{
    switch (item) {
    case 1:
    case 2:
    case 13:
    case 46:
    case 49:
    case 50:
    case 53: return kTypeReal;
    case 0:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 14:
    case 47:
    case 48:
    case 51:
    case 52: return kTypeInteger;
    default: erou1c("NTBDEF: ERROR IN PARAMETER NAME, NAME =", item); return kTypeInteger;
    }
}

void RMCHTB(int where, int& length, int& status)
{
    status = 0;
    PRM9().words[machine_params::kCutterComp] = 0;
    PRM9().set_real(machine_params::kStoredFeed, kNoStoredFeed);
    read_length(where, length, status);
    if (status < 0) return;
    // Every item takes at least three words, so the loop ends within length / 3 rounds.
    for (int taken = 0; taken < length && status >= 0;) read_item(where, taken, status);
    if (status < 0 && where == kWhereTemplateRead) report_template_failure(status);
}

void wmchtb(int where, int machine_param_type, int& length, int& status)
{
    const int m = machine_param_type;
    int counter = 0;
    tp_segment_begin(where, kSegmentCode, counter, status);
    if (m == -1) {
        PRM9().words[machine_params::kToolId] = -1;
        PRM9().words[machine_params::kCutterComp] = 1;
    }
    for (int item : table_items(m, where)) {
        if (status < 0) break;
        const word value = item == 0 ? m : *item_slot(item);
        tpptntl(where, item, 1, item_kind(item), &value, counter, status);
    }
    if (status >= 0 && where == kWhereListNumbered) tp_segment_end(where, counter, status);
    if (status < 0) eroutc("[wmchtb , ]ERRORS IN LIST", 0);
    length = counter;
}

void get_mchprm(int entity_id, int& length, int& status)
{
    open_entity_of_kind(entity_id, kMchprmClass, kMchprmType, "get_mchprm, PROBLEMS IN OPENNING ENTITY",
                        "get_mchprm, NOT A MCHPRM ENTITY. id = ", status);
    if (status < 0) return;
    eskipn(kMchprmSkip, status);
    if (status >= 0) RMCHTB(kWhereEntity, length, status);
    int closed = 0;
    eclose(closed);
}
