// The module's pocket work block.
#include "pocket_arrays/pocket_work.hpp"

pocket_work pocket_work_block;
