// The procedure summary (see the header). The list variant reads the items of the procedure block
// with TPGETN (required) and TPGETC (optional); the entity variant looks the same items up in the
// word runs of the stored procedure's records.
#include "listing/proc_summary.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_blocks.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "nc_services/proc_type_tests.hpp"
#include "toolpath/proc_flags.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"
#include "tools/tool_entities.hpp"

#include <optional>
#include <span>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;
constexpr int kGlobals = 24, kFlags = 27, kMachineTable = 23, kOwnParams = 25;
constexpr int kSuspended = 2;
constexpr int kWithoutTool[] = {8, 17, 24, 25};
constexpr int kItemHeadWords = 3;
constexpr int kLineBlock = 2;
constexpr int kMovementLeadWords = 3;
constexpr int kMostItemWords = 64;

// An item's values, or nothing when the procedure has no such item.
using item_values = std::optional<std::vector<word>>;
using item_reader = std::function<item_values(int group, int code)>;

bool without_tool(int nc_function)
{
    for (int code : kWithoutTool)
        if (code == nc_function) return true;
    return false;
}

int first_or(const item_values& v, int absent) { return v && !v->empty() ? (*v)[0] : absent; }

// The columns from the items, as the list and the entity variants both read them.
void fill_columns(const item_reader& item, bool list_variant, int reset, proc_summary_entry& e, int& code47,
                  proc_date& date)
{
    const int previous_g = e.g, previous_m = e.m;
    const bool group_a = proc_type_group_a(e.nc_function) != 0;
    e.tool = without_tool(e.nc_function) ? -1 : first_or(item(kMachineTable, 10), -1);
    e.transformation = first_or(item(kGlobals, 45), -1);
    e.state = first_or(item(kGlobals, 44), 1);
    e.g = !group_a && first_or(item(kGlobals, 35), 0) == 1 ? 1 : 0;
    if (previous_g == 1 && reset == 0) e.g = 1;
    if (first_or(item(kGlobals, 119), 0) == 2) e.g = 1;
    e.m = !group_a && first_or(item(kGlobals, 21), 0) == 2 ? 1 : 0;
    int modify = 0;
    if (list_variant) gs_modify(1, modify);
    if (list_variant && modify == 1 && e.state != kSuspended) e.m = previous_m;
    e.b = first_or(item(kGlobals, 31), -1);
    e.transform_flag = e.transformation > 0 && first_or(item(kGlobals, 46), 0) == 1 ? 1 : 0;
    e.subroutines = first_or(item(kGlobals, 22), 0) == 1 ? 1 : 0;
    const item_values c = item(kMachineTable, 11);
    e.c = c && first_or(c, 0) != 0 && !proc_type_group_b(e.nc_function) ? 1 : 0;
    e.u = 0;
    e.state2 = first_or(item(kGlobals, 57), 1);
    e.state3 = first_or(item(kGlobals, 58), 1);
    e.o = first_or(item(kGlobals, 81), 0);
    if (e.nc_function == 48 && first_or(item(kOwnParams, 320), 0) == 1) e.column17 = -1;
    e.options = first_or(item(kGlobals, 130), 1);
    e.machine_word = first_or(item(kMachineTable, 47), 0);
    code47 = first_or(item(kGlobals, 47), 0);
    date = {};
    for (int code : {41, 42})
        if (const item_values v = item(kGlobals, code))
            for (std::size_t i = 0; i < 3 && i < v->size(); ++i) date[(code == 42 ? 3 : 0) + i] = (*v)[i];
}

// The text columns: the comment, the tool's name and the transformation's name.
void fill_texts(int index, const std::string& comment, const proc_summary_entry& e)
{
    std::string text = comment;
    proc_comment_field(2, index, text);
    text.clear();
    int status = 0;
    if (e.tool > 0) tool_library_name(e.tool, text, status);
    if (status != 0) text.clear();
    proc_text2_field(2, index, text);
    text.clear();
    if (e.transformation > 0) dbttna(e.transformation, text);
    proc_text_field(2, index, text);
}

item_values list_item(int group, int code)
{
    std::vector<word> values(kMostItemWords);
    int count = 0, type = 0, status = 0;
    TPGETC(kWhereList, group, code, count, type, values.data(), kMostItemWords, status);
    if (status != 0) return std::nullopt;
    values.resize(static_cast<std::size_t>(count));
    return values;
}

// An item of a segment's records (code, count + 1, value type, values); nothing when absent or
// when a record runs past the words.
item_values segment_item(std::span<const word> words, int code)
{
    for (std::size_t at = 0; at + kItemHeadWords <= words.size();) {
        const int n = words[at + 1] - 1;
        if (n < 0 || at + kItemHeadWords + static_cast<std::size_t>(n) > words.size()) return std::nullopt;
        if (words[at] == code)
            return std::vector<word>(
                words.begin() + static_cast<std::ptrdiff_t>(at + kItemHeadWords),
                words.begin() + static_cast<std::ptrdiff_t>(at + kItemHeadWords + static_cast<std::size_t>(n)));
        at += kItemHeadWords + static_cast<std::size_t>(n);
    }
    return std::nullopt;
}

// The text of an item as characters (four to a word).
std::string item_text(const item_values& v)
{
    std::string text;
    if (!v) return text;
    for (word w : *v)
        for (int k = 0; k < 4; ++k) text += static_cast<char>((static_cast<unsigned>(w) >> (8 * k)) & 0xff);
    return text.substr(0, std::min(text.find('\0'), text.size()));
}

// The sub-list search: a block of the movement class in the open sub-list.
void find_movement_block(int& result, int& status)
{
    result = 1;
    int lines = 0;
    llines(lines);
    for (int k = 0; k < lines && result != 0; ++k) {
        int line = 0;
        lacces(k == 0 ? 2 : 1, line);
        if (line < 0) break;
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return;
        if (block_class == kClassMotion) result = 0;
    }
}

// A line block among the blocks of the movement entity.
bool entity_has_line(int motion, int& status)
{
    int entity_class = 0, entity_type = 0, closed = 0, count = 0;
    eopen(motion, entity_class, entity_type, status);
    if (status == 0) TPSKIP(kWhereEntity, kMovementLeadWords, status);
    if (status >= 0) tp_get_int(kWhereEntity, count, status);
    if (status >= 0) TPSKIP(kWhereEntity, 1, status);
    bool found = false;
    // Every block takes at least two words, so a wrong count ends at the entity's end.
    for (int i = 0; i < count && status >= 0 && !found; ++i) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereEntity, size, type, block_class, status);
        if (status >= 0) found = type == kLineBlock;
        if (status >= 0 && size > 1) TPSKIP(kWhereEntity, size - 1, status);
    }
    eclose(closed);
    return found;
}

}  // namespace

movement_finder& movement_finder_seam()
{
    static movement_finder finder = find_movement_block;
    return finder;
}

bool proc_type_group_b(int nc_function) { return proc_type_group_a(nc_function) != 0 || without_tool(nc_function); }

int int_list_index(int n, const int* list, int value)
{
    if (n < 1 || !list) return 1;
    for (int i = 0; i < n; ++i)
        if (list[i] == value) return i + 1;
    return n + 1;
}

void get_proc_summary(int reset, int procedure_id, int procedure_entity, int index, int& code47, proc_date& date,
                      int& status)
{
    if (procedure_entity > 0 && procedure_id != CLP1().at(proc_colour_pen::kToolPath))
        return get_proc_summary_ent(reset, procedure_entity, index, code47, date, status);
    status = kFailed;
    proc_summary_entry* e = proc_table_entry(index);
    if (!e) return;
    word head[2] = {};
    int count = 0, type = 0;
    TPGETN(kWhereList, kGroupHead, kHeadProcType, count, type, &head[0], 1, status);
    if (status >= 0) TPGETN(kWhereList, kGroupHead, kHeadBlockNumber, count, type, &head[1], 1, status);
    if (status < 0) {
        status = kFailed;
        return;
    }
    e->nc_function = head[0];
    e->number = head[1];
    fill_columns(list_item, true, reset, *e, code47, date);
    int ask = 0;
    gs_check_movmnt(1, ask);
    if (ask == 1) {
        int found = 0;
        e->has_motion = is_there_movmnt(found) ? 1 : 0;
    }
    char comment[kTextChars + 1] = {};
    GTTEXT(kWhereList, e->number, kGlobals, kTextCode, kTextChars, count, comment, status);
    fill_texts(index, status >= 0 ? std::string(comment, kTextChars) : std::string(), *e);
    status = 0;
}

void get_proc_summary_ent(int reset, int procedure_entity, int index, int& code47, proc_date& date, int& status)
{
    status = kFailed;
    proc_summary_entry* e = proc_table_entry(index);
    if (!e) return;
    nc_proc_record record;
    int id = procedure_entity;
    dbd_proc(1, id, record, status);
    if (status != 0) {
        status = kFailed;
        return;
    }
    std::vector<word> machine, own;
    int found = 0;
    if (record.mchprm_id > 0) dbd_mchprm(1, record.mchprm_id, machine, found);
    if (record.lclprm_id > 0) dbd_lclprm(1, record.lclprm_id, own, found);
    e->nc_function = record.proc_type;
    e->number = record.block_number;
    const item_reader item = [&](int group, int code) -> item_values {
        if (group == kGlobals) return segment_item(record.global_words, code);
        if (group == kMachineTable) return segment_item(machine, code);
        if (group == kOwnParams) return segment_item(own, code);
        return std::nullopt;
    };
    fill_columns(item, false, reset, *e, code47, date);
    fill_texts(index, item_text(item(kGlobals, kTextCode)), *e);
    status = 0;
}

bool is_there_movmnt(int& status)
{
    status = 0;
    const item_values copied = list_item(kFlags, 82), record = list_item(kFlags, 51);
    bool found = false;
    if (first_or(copied, 0) == 0 && first_or(record, 0) > 0) {
        int motion = -1;
        get_set_movmnt_id(1, first_or(record, 0), motion);
        if (motion > 0) found = entity_has_line(motion, status);
    } else if (first_or(copied, 0) != 0) {
        tp_sublist_open(status);
        if (status >= 0) {
            int result = 1;
            movement_finder_seam()(result, status);
            found = status >= 0 && result == 0;
            int closed = 0;
            tp_sublist_close(closed);
            if (closed < 0 && status >= 0) status = closed;
        }
    }
    if (status < 0) {
        eroutc("[is_there_movmnt],ERRORS IN LIST", 0);
        status = kFailed;
        return false;
    }
    return found;
}
