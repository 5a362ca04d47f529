// PRTBLK (least version, see the header).
#include "listing/prtblk_least.hpp"

#include "host/vantu.hpp"
#include "toolpath/tp_item_search.hpp"
#include "toolpath/tp_list_access.hpp"

#include <string>

void PRTBLK(int /*form*/, int unit, int where, int /*procedure_id*/, float /*scale*/, int& block_type, int& status)
{
    int size = 0, block_class = 0;
    tp_block_head_read(where, size, block_type, block_class, status);
    if (status < 0) {
        erou1c("PRTBLK - ERROR IN BLOCK. BTYPE =", block_type);
        return;
    }
    word number = 0;
    int count = 0, type = 0, read = 0;
    TPGETN(where, kGroupHead, kHeadBlockNumber, count, type, &number, 1, read);
    int line = 0;
    filtxt(unit, "BLOCK TYPE = " + std::to_string(block_type) + "  BLOCK NUMBER = " +
                     std::to_string(read < 0 ? 0 : static_cast<int>(number)), -1, line);
    status = 0;
}
