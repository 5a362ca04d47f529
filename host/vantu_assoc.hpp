// Associativity: the links by which the host ties entities to the procedures of the tool path
// (a link names the entity, a code and the block number of the procedure, or code 0 and the
// geometry entity that owns it). The motion output attaches the current tool to the open
// procedure; the procedure writer carries an edited procedure's links over to its new block; the
// geometry copy moves links between entities; the pocket's contour records attach their curves
// and ask, when a procedure is read again, whether each curve is still what it was.
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
// Removes the link of entity id under code to the procedure with block number target (the links
// asattl made; mode 1 names one entity, any other mode every entity under code). Status 0, also
// when there was no such link.
void asdetl(int code, int target, int mode, int id, int& status);

// Association states of a curve (asinqg).
inline constexpr int kAssocUnchanged = 0, kAssocChanged = 1, kAssocNotAvailable = 2, kAssocUpdated = 3;
// The association state of a curve under its owner (an entity and a sub-id): a curve that is no
// longer in the part answers kAssocNotAvailable, any other the state the part gives it
// ("assoc_states"), kAssocUnchanged by default. Status 0; -1 when the host's associativity fails.
void asinqg(int owner, int sub_id, int curve, int& state, int& status);
// Attaches a curve that is missing from the part under code to target, for the procedure with
// that number; the link waits for the curve to come back. Status 0.
void asattc(int curve, int code, int target, int procedure, int& status);
// Attaches a missing curve to the temporary geometry entity temp_id (code 0). Status 0; -5 when
// there is no such temporary.
void asattc_idd(int curve, int temp_id, int& status);
// The temporaries of a geometry entity form a chain (get_set_idtmp): the last one (id itself when
// it has none) and the one before it (-1 when the chain holds fewer than two). Status 0; -5 when
// id names no entity.
void last_geom_temp_id(int id, int& last, int& status);
void prev_geom_temp_id(int id, int& previous, int& status);
