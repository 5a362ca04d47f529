// The procedure template file as the module reads and writes it: a stream of typed records. A
// record of n words of a value type (0 integers, 1 reals, 2 geometry words, 8 text, ...) is kept
// word by word with its type, so a record read back with the type it was written with gives the
// same words; integers and reals read with the other of the two types are converted by value.
// Reading several one-word records where one n-word record was written is allowed (the module
// skips that way).
//
// One template file is open at a time, for reading or for writing; the procedure manager opens
// and closes it. Status words: 0 success; -1 no such file or a bad argument (nothing moved);
// -2 fewer words left than asked (nothing read); -3 a read on a file open for writing or a write
// on a file open for reading.
#pragma once

#include "host/words.hpp"

#include <string>

// The handle of the open template file, 0 when none is open.
void get_template_file_ptr(int& file);

// Reads the next n words of the file as values of the given type and moves past them.
void template_read_one_record(int file, word* values, int n, int type, int& status);

// Appends n words of the given type.
void template_write_one_record(int file, const word* values, int n, int type, int& status);

// Looks ahead: the next n words as stored, without moving (the expression reader takes the value
// type from word 23 of the next 24 words).
void template_read_rw(int file, word* values, int n, int& status);

// answer 1 when the read position of the file is at its end, else 0 (also 0 for a bad handle).
void template_at_end(int file, int& answer);

// The file's name, empty for a bad handle.
void template_file_name(int file, std::string& name);
