// The table of surface queries of the motion output and the line-net mode word (see the header).
#include "toolpath/surface_query_seams.hpp"

namespace {
int& mode_word()
{
    static int mode = 0;
    return mode;
}
}  // namespace

void linnet_mode_set(int mode) { mode_word() = mode; }
int linnet_mode_get() { return mode_word(); }

surface_query_seams& surface_query_table()
{
    static surface_query_seams table;
    return table;
}
