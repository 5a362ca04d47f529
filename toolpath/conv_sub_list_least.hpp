// Copy of one tool-path block between an entity and a list (conv_sub_list), least version until
// the sub-list copy with transformation is built; it replaces this file and keeps the signature.
#pragma once

// Copies the block at WHERE from to WHERE to. The least version copies from an open entity
// (from 1: the size word and the block's words are read here) into a new list line (to 2 keeps
// the block's own number, to 3 numbers it from the list), word for word and without any
// transformation; from 7 reads the block and writes nothing; from -1 does nothing. Any other copy
// is refused with "conv_sub_list, COPY NOT AVAILABLE" (-1). A block whose size or type is not one
// of a stored block reports "DSPBLK - UNEXPECTED BLOCK TYPE" with the type (-1).
void conv_sub_list(int from, int to, int type, int size, int& status);
