// The blocks of a procedure in the procedure header listing (see the header).
#include "driver/proc_header_listing.hpp"

#include "host/vantu.hpp"
#include "listing/prtblk.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kHeaderForm = 3;
constexpr int kTextBlock = 10;
constexpr int kNcClass = 9, kToolPathType = 3, kProcedureType = 4;
constexpr int kBlankLines = 4;

void line(int unit, const std::string& text)
{
    int count = 0;
    filtxt(unit, text, -1, count);
}

// The type of the block after the current one; the list stays on that block. -1 at the end.
int next_block_type()
{
    constexpr int kJumpFailed = -1, kJumpUnmoved = -2;   // answers of tp_list_jump; 1 is the last block
    int jumped = 0;
    tp_list_jump(1, jumped);
    if (jumped == kJumpFailed || jumped == kJumpUnmoved) return -1;
    int size = 0, type = 0, block_class = 0, status = 0;
    tp_block_head_read(kWhereList, size, type, block_class, status);
    return status < 0 ? -1 : type;
}

}  // namespace

std::string proch_separator()
{
    const std::string dashes(24, '-');
    return "|" + dashes + "|" + dashes + "|" + dashes + "|";
}

void proch_blocks_write(int procedure_id, int unit, int word, int& status)
{
    int current = 0;
    gs_proc_id(1, current);
    if (procedure_id != -1 && procedure_id != current) {
        proch1_ent(procedure_id, unit, word, status);
        return;
    }
    status = 0;
    int lines = 0;
    llines(lines);
    // One block per round: more rounds than lines would walk data that is not there.
    for (int round = 0; round <= lines; ++round) {
        int type = 0;
        PRTBLK(kHeaderForm, unit, kWhereList, procedure_id, 1.0f, type, status);
        if (status < 0) return;
        const int next = next_block_type();
        if (next != kTextBlock) line(unit, proch_separator());
        if (next < 0) break;
    }
    for (int i = 0; i < kBlankLines; ++i) line(unit, "");
}

void proch1_ent(int entity, int unit, int /*word*/, int& status)
{
    int entity_class = 0, entity_type = 0;
    eopen(entity, entity_class, entity_type, status);
    if (status < 0) {
        eroutc("proch1_ent, PROBLEMS IN OPENNING ENTITY", 0);
        status = -1;
        return;
    }
    if (entity_class != kNcClass || (entity_type != kProcedureType && entity_type != kToolPathType)) {
        erou1c("proch1_ent, NOT A TOOL PATH ENTITY. id = ", entity);
        status = -1;
        return;
    }
    int type = 0;
    PRTBLK(kHeaderForm, unit, kWhereEntity, entity, 1.0f, type, status);
    if (status < 0) return;
    line(unit, proch_separator());
    status = 0;
}
