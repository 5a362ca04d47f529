// The host's NC database of procedures, as the procedure copy sees it: a procedure record with
// its machine-parameter record, its local-parameter record, its geometry entities and its stored
// motion entity, and the NC entity table that names every entity the database owns. Every record
// is an entity of class 9 and gives back exactly the word runs stored in it:
//   procedure record, type 4:     0, local-parameter id, motion id, block number, procedure type,
//                                 machine-parameter id, G, G global words, 1, NB + 1, 2, NB
//                                 further words, NG, NG geometry ids
//   machine-parameter record, 5:  0, 0, 0, CM, CM words (the form the MCHPRM reader takes)
//   local-parameter record, 6:    CL, CL words
#pragma once

#include "host/words.hpp"

#include <vector>

inline constexpr int kProcRecordClass = 9;
inline constexpr int kProcRecordType = 4, kMchprmRecordType = 5, kLclprmRecordType = 6;
// Kinds of the NC entity table.
inline constexpr int kNcEntityProcedure = 1, kNcEntityGeometry = 4, kNcEntityLocalParams = 5,
                     kNcEntityMachineParams = 6;

struct nc_proc_record {
    int block_number = 0;
    int proc_type = 0;
    std::vector<word> global_words;  // the words of segment 24
    int mchprm_id = 0;               // 0 or less: none
    int lclprm_id = 0;               // 0 or less: none
    std::vector<int> geometry_ids;
    std::vector<word> further_words;  // the words of the sub-list header item
    int motion_id = -1;               // -1: none
};

// The counts of procedure record id: G, NG and NB, and its record ids. Status 0; -5 when id names
// no procedure record.
void get_proc_info(int id, int& global_count, int& geometry_count, int& further_count, int& status);
// mode 1 reads procedure record id; mode 2 writes it, creating a new record when id is 0 or less
// (id answers the new one). Status 0; -5 when id names no procedure record; -1 for another mode.
void dbd_proc(int mode, int& id, nc_proc_record& record, int& status);

// The word count of a machine-parameter (local-parameter) record. Status 0; -5 when id names no
// such record.
void get_mchprm_info(int id, int& count, int& status);
void get_lclprm_info(int id, int& count, int& status);
// mode 1 reads the words of record id; mode 2 stores words as a new record (id answers it).
// Status as dbd_proc.
void dbd_mchprm(int mode, int& id, std::vector<word>& words, int& status);
void dbd_lclprm(int mode, int& id, std::vector<word>& words, int& status);

// The NC entity table: add enters entity id under a kind; delete takes it out and deletes the
// entity. Status 0; -5 when the entity neither exists nor stands in the table.
void add_nc_entity(int id, int kind, int& status);
void delete_nc_entity(int id, int kind, int& status);

// The stored motion entity of procedure record proc_id: mode 1 reads it into motion_id (-1 when
// the record has none or there is no such record), mode 2 sets it (-1: none).
void get_set_movmnt_id(int mode, int proc_id, int& motion_id);
// Opens the movement entity `id` of a tool-path entry (an NC entity, class 9) for reading from its
// first word, as eopen does. Status 0; -5 when no entity of class 9 has that id (nothing is then
// open).
void open_movmnt(int id, int& status);
