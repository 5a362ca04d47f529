// Block open, close and numbering. In the list a block is a line whose first word is its type;
// anywhere else (an entity) a block is a size word and then the type word, except for the header
// and the procedure block, which carry the size word only.
#include "toolpath/tp_block_open.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_list_access.hpp"
#include "toolpath/tp_words.hpp"

namespace {
constexpr int kFailed = -1;
constexpr int kHeaderType = 0, kProcedureType = 12;
bool is_new_line(int where) { return where == kWhereList || where == kWhereListNumbered; }
}  // namespace

void BLKOPN(int where, int type, int size, int& status)
{
    status = 0;
    if (is_new_line(where)) {
        tp_line_create(status);
        if (status >= 0) tp_put_int(where, type, status);
    } else {
        tp_put_int(where, size, status);
        if (status >= 0 && type != kHeaderType && type != kProcedureType) tp_put_int(where, type, status);
    }
    if (status < 0) {
        eroutc("BLKOPN - ERROR IN OPENNING BLOCK", 0);
        status = kFailed;
    }
}

void BLKCLS(int where)
{
    int status = 0;
    if (is_new_line(where)) lclos(status);
}

void get_curr_blkno(int& number)
{
    int status = 0;
    number = 0;
    gsblkn(1, 0, number, status);
    int next = number + 1;
    gsblkn(2, 0, next, status);
}
