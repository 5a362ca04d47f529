// BRKSTR: a point string at the list position becomes one line block per point, bracketed by the
// markers 19 and 20, so that the editor's cursor or a cut can stop on one of its points. The
// line blocks keep the points' own block numbers; the markers take new numbers of the list.
#include "edit/editor/list_utilities.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/block_writers.hpp"
#include "toolpath/motion_end_points.hpp"
#include "toolpath/tp_blocks.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kEndOnFirst = 1;
constexpr int kMarkSet = 1;
// The list markers: the string, the place after the last block written, the place to end on.
constexpr int kStringMarker = 1, kWrittenMarker = 2, kEndMarker = 3;
constexpr int kOpenBreak = 19, kCloseBreak = 20;

// A string type with the words of one point and the line type its points become.
struct string_kind {
    int string_type;
    int point_words;
    int line_type;
};
constexpr string_kind kStringKinds[] = {{7, 4, 2}, {27, 7, 22}, {227, 7, 222}};

const string_kind* kind_of(int type)
{
    for (const string_kind& k : kStringKinds)
        if (k.string_type == type) return &k;
    return nullptr;
}

// Notes the list position under the marker; false with the message when the host refuses.
bool note(int marker, int& status)
{
    int answer = 0;
    lmark(kMarkSet, marker, answer);
    if (answer >= 1) return true;
    eroutc("BRKSTR, CANNOT SET A MARKER", 0);
    status = kFailed;
    return false;
}

bool go_back(int marker, int& status)
{
    tp_list_top_mark(marker, status);
    if (status >= 0) return true;
    eroutc("BRKSTR, CANNOT SET A MARKER", 0);
    status = kFailed;
    return false;
}

// A failed read or write keeps its negative status.
bool list_ok(int& status)
{
    if (status >= 0) return true;
    eroutc("BRKSTR, ERRORS IN LIST", 0);
    return false;
}

// Reads point `index` of the string at the list position.
bool read_point(const string_kind& kind, int index, tp_line_point& point, int& status)
{
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (status >= 0 && index > 0) TPSKIP(kWhereList, index * kind.point_words, status);
    if (status >= 0) tpread_lines(kWhereList, type, size, point, status);
    return list_ok(status);
}

// Writes the line blocks after the opening marker, one per point; marker 3 notes the block to
// end on.
bool write_lines(const string_kind& kind, int count, int mode, int& status)
{
    for (int i = 0; i < count; ++i) {
        tp_line_point point;
        if (!read_point(kind, i, point, status) || !go_back(kWrittenMarker, status)) return false;
        put_line_block(kWhereList, kind.line_type, point.number, point.point, point.direction, status);
        if (!list_ok(status)) return false;
        if ((i == 0 || mode != kEndOnFirst) && !note(kEndMarker, status)) return false;
        if (!note(kWrittenMarker, status) || !go_back(kStringMarker, status)) return false;
    }
    return true;
}

}  // namespace

void BRKSTR(int mode, int& status)
{
    status = 0;
    if (!note(kStringMarker, status)) return;
    int size = 0, type = 0, block_class = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    if (!list_ok(status)) return;
    const string_kind* kind = kind_of(type);
    if (!kind) {
        eroutc("BRKSTR,THE CURRENT BLOCK IS NOT A STRING", 0);
        status = kFailed;
        return;
    }
    const int count = (size - 1) / kind->point_words;
    if (count < 1) return;
    put_marker_block(kWhereListNumbered, kOpenBreak, 0.0f, 0, 0, status);
    if (!list_ok(status) || !note(kWrittenMarker, status) || !go_back(kStringMarker, status)) return;
    if (!write_lines(*kind, count, mode, status)) return;
    if (!go_back(kWrittenMarker, status)) return;
    put_marker_block(kWhereListNumbered, kCloseBreak, 0.0f, 0, 0, status);
    if (!list_ok(status) || !go_back(kStringMarker, status)) return;
    tp_list_delete(1, status);
    if (!list_ok(status)) return;
    go_back(kEndMarker, status);
    if (status >= 0) status = 0;
}
