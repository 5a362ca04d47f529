// The host's directory names and the contours of the part as the pocket sees them.
//   cad_name: code 20 names the directory of the debug files (the runner's output folder).
//   Curve sets: each contour of a pocket is a numbered set of curves; each curve is an entity
//   with its start and end parameter and its orientation value in the contour.
//   Contour-data records: the module keeps each contour as a record of 8-byte entries in its own
//   buffers and hands the host a pointer to the record's first entry; the host reads and writes
//   records in place (chain records of curve sets, planar faces, loops of solids, sets of
//   contours), chains picked curves into records, gathers records, and keeps the module's
//   contour table registered so that its services can delete contours in place.
#pragma once

#include "host/words.hpp"

#include <string>

// Code of the debug-file directory.
inline constexpr int kCadNameDebugDirectory = 20;

// The directory of a code (no trailing separator; "." for the current directory). Status 0, or
// -1 for an unknown code.
void cad_name(int code, std::string& directory, int& status);

// Chain records: the module holds a contour as a record of 8-byte entries, one per curve of its
// curve set; entry k is (set, k) in two words. A record is what the pocket preparation reads as
// a curve set, so a contour table can keep several records one after another in one buffer.
inline constexpr int kChainEntryWords = 2;

// Writes the chain record of curve set `set` (one entry per curve) into record, which has room
// for `room` entries; length answers the number of entries. Status 0; -1 for a set that does
// not exist; -2 when the room is too small (nothing written, length answers the room needed).
void dfdgrc(int set, int room, int* record, int& length, int& status);
// Length (entries) of the record that begins at `entry` (see the record kinds below): a chain
// record's curves, 1 for a face, 2 for a loop, 1 plus its chain records for a set. Status 0; -1
// (length 0) when the entry begins no record (a chain of no existing set, a face that is no
// planar face, a set of no or too many contours).
void dfcgld(const int* entry, int& length, int& status);
// The polygon of the chain record that begins at `entry`: the points of its curves one after
// the other (crvpld2 within the chord tolerance), a curve's first point left out where it
// repeats the previous curve's last one, the closing point kept. Mode 1 writes x, y pairs of
// floats. room counts points; count answers the number written, -2 when more than room points
// are needed (nothing written), 0 when the record gives no polygon (a bad entry, mode or
// tolerance, or a curve that cannot be evaluated).
void dfcpol(const int* entry, int mode, float tolerance, int room, float* points, int& count);

// ---- contour-data records ----------------------------------------------------------------------
// Every record is a run of entries of two words; a record begins with an entry that says what it
// holds:
//   chain record   (set, 1), (set, 2) ... (set, n): the n curves of curve set `set` (set >= 1)
//   face record    (kFaceRecord, face id): a planar face, an entity of class kPlanarFaceClass
//                  listing its loops; each loop is a curve set
//   loop record    (kLoopRecord, loop id), (second id, 0): a loop of a solid by its two
//                  identifiers; the second one changes when the solid is updated
//   set record     (kSetRecord, g) followed by g chain records: several contours picked at once
inline constexpr int kFaceRecord = -1;
inline constexpr int kLoopRecord = -2;
inline constexpr int kSetRecord = -3;
// Most contours a set record holds.
inline constexpr int kSetRecordMost = 700;
// A planar face: class and type of its entity, whose words are the loop count and then the
// curve set of every loop (the outer loop first).
inline constexpr int kPlanarFaceClass = 5, kPlanarFaceType = 1;
// The third data value of a record's item (dfdget on a record): a chain curve's orientation
// (+1 or -1), kItemFace for the item of a face record, kItemLoop for that of a loop record.
inline constexpr double kItemFace = 2.0, kItemLoop = 3.0;
// Status of dfccmn and plfbuf when the records do not fit in the room given.
inline constexpr int kRecordNoRoom = -10;

// The item count of a record: a chain record's curves, 1 for a face or loop record. Status -1
// (count 0) for a set record or an entry that begins no record.
void dfdgnc(const int* record, int& count, int& status);
// Item k (1-based) of a record: for a chain record the entity and data of the curve its entry k
// names (as dfdget on a set); for a face or loop record item 1 is the face (data kItemFace) or
// the loop (data second id, 0, kItemLoop). Status -1 for a k outside the record.
void dfdget(const int* record, int k, int& entity, double* data, int& status);
// Writes item k of a record: for a chain record the entity and data of the curve its entry k
// names (the curve of the set changes; a negative entity marks a missing curve); for a loop
// record item 1, the second identifier data[0] (the loop id stays). Status -1 for any other
// record or item.
void dfdput(int* record, int k, int entity, const double* data, int& status);
// Copies the chain record that begins at `record` into out (room entries): the gathering of a
// contour's curves. Status 0 with its length; kRecordNoRoom when it does not fit (nothing
// written); -1 for an entry that begins no chain record.
void dfccmn(const int* record, int room, int* out, int& length, int& status);
// A planar face as one chain record per loop, one after the other in out (room entries).
// Status 0 with the number of records and the entries written; kRecordNoRoom when they do not
// fit (nothing written); -1 for an entity that is no planar face or a loop without curves.
void plfbuf(int face, int room, int* out, int& records, int& length, int& status);
// Length (entries) of a record as stored in the procedure (single precision) and the conversion
// of a stored record to double precision into out (room entries). The stand-in keeps both
// precisions alike: the conversion copies. Status 0; -1 for an entry that begins no record;
// kRecordNoRoom when the room is too small.
void dfcglr(const int* record, int& length, int& status);
void dfcr2d(const int* record, int room, int* out, int& length, int& status);

// ---- loops of solids ---------------------------------------------------------------------------
// ncs_can_solid is in vantu_ncs_table.hpp.
// 0 when the id is a loop or an edge of a solid, else 1.
int ncs_id_is_not_solid(int id);
// The loop of a picked solid edge: its two identifiers. Status -1 for an entity that is no edge.
void ncs_loop_of_edge(int edge, int& loop, int& second, int& status);
// The loop of a loop record exploded into wire-frame curves: its chain record into out (room
// entries) and the loop's present second identifier. Status 0; -1 for no loop record or an
// unknown loop; kRecordNoRoom when the room is too small.
void ncs_explode_loop_to_wfbuf(const int* record, int room, int* out, int& length, int& second, int& status);
// 1 when the loop of the edge is held by a loop record of the registered contour table, else 0.
int ncs_table_loopedge_in_table(int edge);
// Forgets the solid and loop references of a record (nothing for chain and face records).
void ncs_table_delete_contour(const int* record, int& status);
// The associativity test of a solid's edge or loop id (kind 2), or of an edge with the next
// curve of its contour (kind 4): ok 1 when the id is still a loop of the part or an edge of one
// (and, for kind 4, the next id too, unless it is 0), else 0.
void ncs_table_aso_test(int kind, int id, int next_id, int& ok);
// Refreshes a wire record read back from a procedure: a loop record takes the loop's present
// second identifier; other records stay. Status 0; -1 for an entry that begins no record.
void ncs_update_contour(int* record, int& status);
// For count records one after another from `records`: flags[k - 1] non-zero when loop record k
// explodes into the same curves as an earlier loop record (they became one after a solid
// update).
void ncs_find_dupl_loops(const int* records, int count, int* flags);

// ---- chaining ----------------------------------------------------------------------------------
// Starts a chaining with the tolerance between curve ends.
void dfdini(double tolerance, int& status);
// Lets the user pick a curve and chains it with the part's curves whose ends meet within the
// tolerance, forwards and then backwards from the pick, until the chain closes or no curve goes
// on; at every joint it goes on with the curve whose end is nearest, an exact joint (within the
// host's double tolerance) before any other, and it closes where its start is as near as any
// curve that would go on. The chain becomes a new curve set (open chains get a descriptor with no
// end check curves), its curves are pushed to the selection list and its chain record is written
// into record (room entries). Status 0 with the length; the pick's answer when it was no curve
// (-1 exit, -2 back, -3 menu); kRecordNoRoom when the record does not fit: nothing is kept but
// the chain itself, length answers the entries it needs, and the next dfdc (before another
// dfdini) answers that chain again without a pick, so that a caller can make room and ask again.
void dfdc(int room, int* record, int& length, int& status);

// ---- the registered contour table ----------------------------------------------------------------
// The module's table as its host services see it. Arrays are indexed as the module keeps them:
// element k is contour k (element 0 unused); pick ranges are two words a contour, first
// entries run to count + 1. The host keeps the addresses until the next registration. A table
// holds at most kContourTableMost contours and its buffers kContourBufferEntries entries each.
inline constexpr int kContourTableMost = 700;
inline constexpr int kContourBufferEntries = 4500;
void pkt_set_to_main(int* count, int* pick_ranges, int* first_entries, float* offsets, float* drafts, int* types,
                     int* part_stock, int* kinds, int* by_criteria);
// The record buffers (entry 1 at word 0): wire-frame records, geometry records, work buffer.
// They hold kContourBufferEntries entries each unless cntbuf_set_size says more.
void cntbuf_set_to_main(int* wire, int* geometry, int* work);
// The entries each registered record buffer holds (a module whose buffers grew says so after
// registering them); a value below kContourBufferEntries is taken as kContourBufferEntries.
void cntbuf_set_size(int entries);
// Removes contour k of the registered table in place: its entries leave both buffers and the
// selection list, later records, first entries, pick ranges and array entries move down, the
// count drops by one. Status -1 when nothing is registered or k is not a contour.
void pktdel_by_OrderNum(int k, int& status);

// ---- geometry criteria -----------------------------------------------------------------------------
// The active geometry mask of a geometry type (0 part surfaces, 1 check surfaces, 2 contours, 3
// open contours, 4 drill points) and whether its criteria changed: mode 1 reads into value, 2
// stores value. Both off unless the part sets them; a type outside 0 to 4 reads 0.
void active_mask_gs(int mode, int type, int& value);
void crit_gs_change(int mode, int type, int& value);
// Entries of the active mask list of the type (0 when none).
int nc_geomsk_lst_count(int type);
// Mask record n (0-based) of the type: word 2 colour (17 all), 3 line font (9 all), 4 pen (9 all),
// 5 and 6 the level as text, 7 the level mode (1 all levels, 4 the active level). Status 0; -1
// when the type has no such record.
void nc_geomsk_lst_get_data(int type, int n, word (&record)[8], int& status);
// Searches the contours that the active mask selects (mode 1 searches anew, 0 keeps the last
// search); find_cont_by_crit then counts them, leaving out the first hand_picked ones in append
// mode. get_num_cnt answers the count of the last search.
void geomsk_search_curves(int mode);
void find_cont_by_crit(int append, int hand_picked, int& found, int& status);
int get_num_cnt();
// Chain record of found contour i (1-based) into record (room entries). Status 0; -11 past the
// last one; kRecordNoRoom when it does not fit.
void fill_cnt_buf(int i, int room, int* record, int& length, int& status);
// found 1 when the record's curves are those of a contour of the last search, else 0.
void compare_cnt(const int* record, int& found);
// 1 when the criteria are marked as checked (contours not found are then kept).
int chk_crit_gs(int type);

// ---- curves -------------------------------------------------------------------------------------
// Projects the point onto curve entity id: the parameter of the nearest point, within the
// curve's range (a full circle answers a parameter in [0, 2 pi)). Status 0; -1 for an entity
// that is not a curve.
void crvprw(int id, const float* point, double& parameter, int& status);

// Number of curves of curve set `set`; status -1 (count 0) for a set that does not exist.
void dfdgnc(int set, int& count, int& status);
// Curve k (1-based) of the set: its entity id and data (start parameter, end parameter,
// orientation value). Status -1 for a set or k that does not exist.
void dfdget(int set, int k, int& entity, double* data, int& status);
