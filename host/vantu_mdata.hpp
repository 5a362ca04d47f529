// Module data of the part file: records of words under 4-character keys. A record keeps its
// kind code (a type hint for listings and saving) and its word count. A read never writes more
// than the caller's capacity and leaves the caller's block untouched when the key is missing.
#pragma once

#include "host/words.hpp"

#include <string_view>

// Reads the record under key over block (at most capacity words). Status 0, or 1 when there is
// no such record (block untouched).
void mdget(std::string_view key, word* block, int capacity, int& status);
// Reads count words of the record (type: the kind expected; informational). Status 0, or 1
// when missing (values untouched).
void mdgetn(std::string_view key, int type, int count, word* values, int& status);
// Reads count words of a text/character record. Status as mdgetn.
void mdgetc(std::string_view key, int count, word* values, int& status);
// Writes (replaces) the record under key with count words of the given kind.
void mdputn(std::string_view key, int kind, int count, const word* block, int& status);
void mdputc(std::string_view key, int count, const word* values, int& status);
void mdptnc(std::string_view key, int kind, int count, const word* block, int& status);

// Updates of the working model: kWorkModelChanged notes that the tool path changed,
// kWorkModelSave writes the working model to its file. Other modes do nothing.
inline constexpr int kWorkModelChanged = 1, kWorkModelSave = 2;
void updtwa(int mode);
