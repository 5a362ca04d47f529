// The in-place changes of a copied procedure block.
#include "toolpath/proc_block_xform.hpp"

#include "host/vantu_list.hpp"
#include "nc_services/tool_position.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kGlobals = 24;
constexpr int kFound = 0;
constexpr int kCopiedDisplay = 2;

// Reads a point item of segment 24.
void read_point(int where, int code, point3& p, int& status)
{
    int count = 0, type = 0;
    word w[3] = {};
    TPGETN(where, kGlobals, code, count, type, w, 3, status);
    p = {word_to_real(w[0]), word_to_real(w[1]), word_to_real(w[2])};
}

void write_point(int where, int code, const point3& p, int& status)
{
    const word w[3] = {real_to_word(p[0]), real_to_word(p[1]), real_to_word(p[2])};
    TPCHNN(where, kGlobals, code, kTypeReal, w, 3, status);
}

// Inserts a record in front of the item search_code, searching segment 24 from its first item
// (after the block's three head words and the segment's code and length).
void insert_before(int search_code, int code, word value, int& status)
{
    constexpr int kFirstItemWord = 5;
    lacces(0, status);
    if (status >= 0) TPSKIP(kWhereList, kFirstItemWord, status);
    if (status >= 0) tp_record_insert(kGlobals, search_code, code, kTypeInteger, 1, &value, status);
}

}  // namespace

void proc_block_xform(int where, const matrix3& matrix, const point3& translation, int& status)
{
    status = 0;
    for (const auto& [point_code, direction_code] : {std::pair{5, 27}, std::pair{6, 28}}) {
        point3 point{}, direction{};
        read_point(where, point_code, point, status);
        if (status >= 0) read_point(where, direction_code, direction, status);
        if (status < 0) return;
        xform_pnt_dir(point, direction, matrix, translation);
        write_point(where, point_code, point, status);
        if (status >= 0) write_point(where, direction_code, direction, status);
        if (status < 0) return;
    }
    const word one = 1;
    TPCHNN(where, kGlobals, 35, kTypeInteger, &one, 1, status);
}

void proc_block_mark_copied(int& status)
{
    const word display = kCopiedDisplay;
    TPCHNN(kWhereListNumbered, kGlobals, 31, kTypeInteger, &display, 1, status);
    if (status < 0) return;
    const word colour = DSP8().at(tool_position_state::kColour), pen = DSP8().at(tool_position_state::kPen);
    plfind_quiet(kGlobals, 116, status);
    if (status == kFound) {
        TPCHNN(kWhereListNumbered, kGlobals, 116, kTypeInteger, &colour, 1, status);
        if (status >= 0) TPCHNN(kWhereListNumbered, kGlobals, 117, kTypeInteger, &pen, 1, status);
    } else if (status > 0) {
        insert_before(43, 116, colour, status);
        if (status >= 0) insert_before(43, 117, pen, status);
    }
    if (status < 0) return;
    plfind_quiet(kGlobals, 107, status);
    if (status > 0) insert_before(43, 107, 0, status);
    if (status > 0) status = 0;
}
