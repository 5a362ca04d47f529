// Entry bookkeeping of the pocket moves (see the header).
#include "pocket_lanes/entry_bookkeeping.hpp"

pocket_link_words& pocket_links()
{
    static pocket_link_words words;
    return words;
}

void reset_work_flags()
{
    pocket_link_words& w = pocket_links();
    w.link = 0;
    w.link_source = 0;
    w.from_kept = 0;
    w.to_kept = 0;
}
