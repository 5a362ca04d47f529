// More calls of the host's entity database, used by the tool model: putting the open entity aside
// and back, class and type of any entity, the length of the open entity, zero words, the part's
// entity of a class and type (the sequence database), the last entity id, the program version and
// the hand-over of the current tool's record ids to the host.
#pragma once

#include <string>
#include <string_view>

// Puts the open entity (and its cursor) aside so another can be read: state 0 nothing was open,
// 1 it was put aside (give it back with esinfo), 2 it cannot be put aside (nothing changed).
void eginfo(int& state);
// Gives back the entity put aside last (reopens it at its cursor). Status 0, or kEntityMissing
// when it was deleted meanwhile (nothing is open then), -1 when nothing was put aside.
void esinfo(int& status);
// Class and type of entity id without opening it; kEntityMissing when there is none.
void egclty(int id, int& entity_class, int& entity_type, int& status);
// The host visibility of an entity: mode 2 sets it to the text (the views it is shown in, "/"
// all of them), mode 1 answers it (blank when never set). Status 0; kEntityMissing when there is
// no entity id; -1 for another mode.
void evism(int mode, int id, std::string& text, int& status);
// Word count of the open entity; kEntityNotOpen when nothing is open.
void elngth(int& count, int& status);
// Writes n zero words at the cursor of the open entity (as eputi).
void ezeroi(int n, int& status);
// The part's entity of this class and type (the lowest id of that class and type). Status 0 with
// its id, 1 when the part has none (id untouched).
void seq_db_id(int entity_class, int entity_type, int& id, int& status);
// The highest entity id in use (0 when the part has none).
int lastid();
// 1 when entity id exists, else 0.
int asexsr(int id);
// The three data doubles the host keeps beside a curve entity (never its geometry): mode 1 reads
// them, mode 2 replaces them. A curve whose data were never written answers its parameter range
// and its extent: (0, L, L) for a line of length L, (start, end, end - start) angles in radians for
// an arc. Status 0; kEntityMissing when there is no entity id; -1 for another mode or an entity
// that is no curve.
void edatad(int mode, int id, double (&values)[3], int& status);
// Version number of the running program, written into new tool records.
int prgvrs();
// The running program's release as three digits (release 7.0.0 for version 700), and its patch
// and service numbers.
void prgrel(int& r1, int& r2, int& r3);
int prgpsn();
int prgsrn();
// Hands the current tool's class, record ids (the 12 header words of a tool entity) and holder
// mode to the host's parameter state; mode 3 is the only one used.
void sgparm_to_main(int mode, int tool_class, const int* header_words, int holder_mode, int& status);
