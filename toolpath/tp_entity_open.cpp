// Opening a stored tool-path entity of a known class and type.
#include "toolpath/tp_entity_open.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_messages.hpp"

void open_entity_of_kind(int id, int entity_class, int entity_type, const char* open_failed, const char* wrong_kind,
                         int& status)
{
    int found_class = 0, found_type = 0;
    eopen(id, found_class, found_type, status);
    if (status < 0) {
        eroutc(open_failed, 0);
        status = -1;
        return;
    }
    if (found_class == entity_class && found_type == entity_type) return;
    erou1c(wrong_kind, id);
    int closed = 0;
    eclose(closed);
    status = -1;
}
