// LINE over the host's entity store (see the header).
#include "surfaces/line_entity.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_entity_ext.hpp"
#include "host/vantu_messages.hpp"

void LINE(int& id, const double (&first)[3], const double (&second)[3], int& status)
{
    id = 0;
    estore(kCurveClass, kLineType, id, status);
    if (status != 0) {
        eroutc("LINE: ERROR IN ESTORE", 0);
        status = -1;
        return;
    }
    const double ends[6] = {first[0], first[1], first[2], second[0], second[1], second[2]};
    eputd(6, ends, status);
    int closed = 0;
    eclose(closed);
    if (status != 0) {
        eroutc("LINE: ERROR IN EOPEN", 0);
        int ignored = 0;
        edelet(id, ignored);
        id = 0;
        status = -1;
    }
}
