// LMCRV: the limits record at the start of a curve entity.
#include "surfaces/curve_limits.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_entity_ext.hpp"
#include "host/vantu_messages.hpp"

namespace {
constexpr int kLimitValues = 6;
constexpr int kPutAside = 1, kCannotPutAside = 2;
}  // namespace

void LMCRV(int entity_id, float (&limits)[6], int& status)
{
    int aside = 0, given_back = 0, closed = 0;
    eginfo(aside);
    // Opening the curve would lose the caller's open entity.
    if (aside == kCannotPutAside) {
        eroutc("LMCRV: ERROR IN EOPEN", 0);
        status = -1;
        return;
    }
    int entity_class = -1, entity_type = -1;
    eopen(entity_id, entity_class, entity_type, status);
    if (status == 0 && entity_class != kCurveClass && entity_class != 2) {
        eroutc("LMCRV: CLASS IS WRONG", 0);
        status = -1;
    } else if (status == 0) {
        egetr(kLimitValues, limits, status);
        if (status != 0) eroutc("LMCRV: ERROR IN EOPEN", 0);
    } else {
        eroutc("LMCRV: ERROR IN EOPEN", 0);
    }
    if (status != 0) status = -1;
    eclose(closed);
    if (aside == kPutAside) esinfo(given_back);
}
