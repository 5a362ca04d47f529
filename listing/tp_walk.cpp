// tp_walk (see the header).
#include "listing/tp_walk.hpp"

#include "host/vantu.hpp"
#include "nc_services/nc_state_texts.hpp"
#include "toolpath/proc_block_update.hpp"
#include "toolpath/tp_sublist.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kProcedureType = 12;
constexpr int kNoMoves1 = 52, kNoMoves2 = 53;      // NC functions whose procedures have no moves
constexpr int kHostReads = 1, kSublistOpened = 2;  // open_proc_movmnt's mode and answer
constexpr int kFirstLine = 2, kNextLine = 1;
constexpr int kEndOfLevel = -1;
constexpr int kMostSteps = 10'000'000;  // far beyond any list the host can hold

bool entity_open()
{
    int id = 0, position = 0;
    eopen_block_get(id, position);
    return id != 0;
}

// The moves lie in the list: the sub-list is entered from the top level.
bool sublist_entered()
{
    int level = 1, status = 0;
    gtlstn(1, level, status);
    if (status < 0 || level >= 2) return false;
    tp_sublist_open(status);
    return status >= 0;
}

struct walk {
    tp_walk_visitor& v;
    int procedures = 0;  // procedure blocks met, in list order
    int blocks = 0;      // blocks of the current procedure
    int step = kFirstLine;
    bool failed = false;

    // The moves of the open movement entity: the block count, then that many blocks; the entity
    // is closed.
    bool entity_moves()
    {
        int status = 0, count = 0;
        tp_get_int(kWhereEntity, count, status);
        if (status >= 0) TPSKIP(kWhereEntity, 1, status);
        // Every block takes at least two words or fails, so a wrong count ends at the entity's end.
        for (int i = 0; i < count && status >= 0; ++i) {
            int type = 0, nc = 0;
            v.block(kWhereEntity, type, nc, status);
        }
        int closed = 0;
        eclose(closed);
        blocks = count;
        return status >= 0;
    }

    // After a procedure block: its moves (none, an entity, a sub-list).
    void enter_procedure(int nc)
    {
        if (++procedures > proc_summary_table::kProcedures) {
            failed = true;
            return;
        }
        blocks = 0;
        if (nc == kNoMoves1 || nc == kNoMoves2) return v.procedure_end(0);
        int opened = 0;
        open_proc_movmnt(kHostReads, opened);
        if (opened < 0) {
            failed = true;
            return;
        }
        if (entity_open()) {
            failed = !entity_moves();
            if (!failed) v.procedure_end(blocks);
            return;
        }
        if (opened == kSublistOpened || sublist_entered()) {
            step = kFirstLine;
            return;
        }
        v.procedure_end(blocks);
    }

    void run()
    {
        for (int n = 0; n < kMostSteps && !failed; ++n) {
            int status = 0;
            lacces(step, status);
            step = kNextLine;
            if (status < kEndOfLevel) return;
            if (status == kEndOfLevel) {
                int level = 1;
                gtlstn(1, level, status);
                if (level <= 1) return;
                v.procedure_end(blocks);
                tp_sublist_close(status);
                failed = status < 0;
                continue;
            }
            int type = 0, nc = 0;
            v.block(kWhereList, type, nc, status);
            if (status < 0)
                failed = true;
            else if (type == kProcedureType)
                enter_procedure(nc);
            else
                ++blocks;
        }
    }
};

}  // namespace

bool tp_walk(tp_walk_visitor& visitor)
{
    walk w{visitor};
    w.run();
    return !w.failed;
}
