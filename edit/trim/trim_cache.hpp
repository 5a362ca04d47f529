// The trimming tool's calls of the triangulation cache: its triangle model of the reference
// surfaces is kept in slot 0 between the ranges of a run.
#pragma once

// Puts the global triangle model (control block, root box, quadtree) into slot 0.
void trim_cache_save();
// Takes slot 0 back into the global triangle model (nothing when the slot is empty).
void trim_cache_restore();
// Frees slot 0's model once and empties the slot (trig_cache_release): called before the
// reference surfaces are triangulated again and when the trimming ends.
void trim_cache_reset();
// Forgets the global model's handles without freeing anything (the model a slot holds stays
// with the slot): the trimming starts without a model of its own.
void node_handles_reset();
