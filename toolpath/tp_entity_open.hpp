// Opening a stored tool-path entity of a known kind (a MCHPRM or a MOVMNT entity): the readers
// of stored machine parameters and stored motions share the open, the class and type check and
// their two reports.
#pragma once

// Opens entity id and requires its class and type. An entity that cannot be opened reports
// open_failed; one of another kind reports wrong_kind with the id and is closed again. Both give
// -1. On success the entity is open with its cursor at word 0.
void open_entity_of_kind(int id, int entity_class, int entity_type, const char* open_failed, const char* wrong_kind,
                         int& status);
