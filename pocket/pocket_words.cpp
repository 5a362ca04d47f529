// The module's pocket procedure words.
#include "pocket/pocket_words.hpp"

pocket_words pocket_words_block;
