// The module's pocket work block.
#include "pocket/pocket_work.hpp"

pocket_work pocket_work_block;
