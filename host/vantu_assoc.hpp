// Associativity: the links by which the host ties entities to the procedures of the tool path
// (a link names the entity, a code and the block number of the procedure). The motion output
// attaches the current tool to the open procedure; the procedure writer carries an edited
// procedure's links over to its new block; the geometry copy moves links between entities.
#pragma once

// Attaches entity id under code to the procedure with block number target. Status 0; -5 when
// there is no such entity.
void asattl(int entity_id, int code, int target, int& status);
// Copies the links of entity from_entity (-1: every entity) to procedure from_target, as links
// of entity to_entity (-1: the same entity) to procedure to_target.
void ascopy(int from_entity, int from_target, int to_entity, int to_target);
// Copies every link of entity from to entity to. Status 0; -5 when to does not exist.
void ascopa(int from, int to, int& status);
// Removes every link of entity id. Status 0.
void asdeta(int id, int& status);
