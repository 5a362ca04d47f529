// The triangulation cache: two saved copies of the global triangle model's control data (the
// control block tri_store, the quadtree's nodes and its root box), slot 0 for the trimming tool
// and slot 1 for the manual editor and the reconnection, and the manual editor's two lists of
// reference surfaces, from which its model is triangulated again when slot 1 is empty.
//
// A slot copies the control data only: the host arrays that its handles name (nodes, triangle
// records, quadtree lists) stay where they are and are shared with the global store while the
// slot is restored. Nothing is ever freed through a slot: whoever frees the model frees the
// restored global store once and drops the slot right after.
#pragma once

#include "surfaces/tri_store_least.hpp"

// The slots of the cache; any other slot number is ignored.
inline constexpr int kTrigSlotTrim = 0;
inline constexpr int kTrigSlotEdit = 1;

// Copies the slot's saved model into the global areas given (control block, root box of 4
// words, kQtNodes quadtree nodes) and returns 1; returns 0 and changes nothing when the slot
// holds no copy (or is not a slot).
int trig_cache_get(int slot, tri_store& store, int* root_box, qt_node* nodes);
// Replaces the slot's copy by a copy of the three parts. When the copy cannot be allocated the
// slot is left empty.
void trig_cache_put(int slot, const tri_store& store, const int* root_box, const qt_node* nodes);
// Empties the slot; nothing its handles name is freed.
void trig_cache_drop(int slot);
// Frees the slot's model: restores it into the global triangle model, frees it there once
// (tri_model_release) and empties the slot. Nothing happens when the slot holds no model.
void trig_cache_release(int slot);

// Replaces the two reference-surface lists: list 1 from the count1 identifiers of ids1 with
// their companion words aux1, list 2 from the count2 of ids2 and aux2 (a count below 1 gives an
// empty list; its arrays are then not read).
void ref_lists_set(int count1, int count2, const int* ids2, const int* ids1, const int* aux1, const int* aux2);
// The lists' counts; 0 before any ref_lists_set.
int ref_lists_count1();
int ref_lists_count2();
// Copy the list's identifiers and companion words into the caller's arrays (count words each);
// nothing when there are no lists or the list is empty.
void ref_lists_get1(int* ids, int* aux);
void ref_lists_get2(int* ids, int* aux);

// The end of every call of the manual editor: trig_cache_release of the editor's slot.
void edit_cache_reset();
