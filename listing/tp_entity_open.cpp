// open_tool_path_entity and close_entity (see the header).
#include "listing/tp_entity_open.hpp"

#include "host/vantu_entity.hpp"

namespace {

constexpr int kToolPathClass = 9;

}  // namespace

bool open_tool_path_entity(int id, int type)
{
    int entity_class = 0, entity_type = 0, status = 0;
    eopen(id, entity_class, entity_type, status);
    return status == 0 && entity_class == kToolPathClass && entity_type == type;
}

void close_entity()
{
    int closed = 0;
    eclose(closed);
}
