// The pair array of the triangulation (see the header).
#include "surfaces/nuv_pairs.hpp"

#include "host/vantu_memory.hpp"
#include "host/vantu_messages.hpp"

nuv_pairs& nuv_pairs_block()
{
    static nuv_pairs pairs;
    return pairs;
}

void nuv_reset() { nuv_pairs_block() = nuv_pairs{}; }

void elnuv(int& status)
{
    status = 0;
    nuv_pairs& pairs = nuv_pairs_block();
    if (pairs.handle < 0) return;
    MM_CLOSE(pairs.handle, status);
    if (status != 0) {
        eroutc("elnuv,Close dynamic memory error", 0);
        status = -1;
        return;
    }
    pairs = nuv_pairs{};
}
