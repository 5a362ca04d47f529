// Jumps in the tool-path list, the head of the current block and its class, new lists and lines,
// deletion.
#include "toolpath/tp_list_access.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/entity_block_guard.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;
constexpr int kUnmoved = -2;
constexpr int kAtListEnd = 1;
constexpr int kAccessNext = 1, kAccessPrevious = -1, kAccessLast = 3;
constexpr int kInsertAfter = 0, kInsertBefore = -1;

struct type_class {
    int type;
    int klass;
};
// The class of every legal block type.
constexpr type_class kClasses[] = {
    {0, kClassHeader},        {10, kClassHeader},       {40, kClassHeader},       {1, kClassParameter},
    {2, kClassMotion},        {3, kClassMotion},        {5, kClassMotion},        {7, kClassMotion},
    {8, kClassMotion},        {9, kClassMotion},        {11, kClassMotion},       {13, kClassMotion},
    {14, kClassMotion},       {22, kClassMotion},       {23, kClassMotion},       {25, kClassMotion},
    {27, kClassMotion},       {31, kClassMotion},       {222, kClassMotion},      {223, kClassMotion},
    {225, kClassMotion},      {227, kClassMotion},      {99, kClassMarker},       {4, kClassText},
    {6, kClassHome},          {30, kClassCycleSetting}, {32, kClassCycleSetting}, {33, kClassCycleSetting},
    {34, kClassCycleSetting}, {35, kClassCycleSetting}, {36, kClassCycleSetting}, {12, kClassProcedure},
};

// Size of the current list block: the line length, found the way the list service allows from
// any place (the next line and back, or the last line at the end).
void list_block_size(int& size, int& status)
{
    int answer = 0;
    lacces(kAccessNext, answer);
    if (answer == kUnmoved) {
        status = kFailed;
        return;
    }
    lacces(answer == -1 ? kAccessLast : kAccessPrevious, size);
    status = size < 0 ? kFailed : 0;
}

}  // namespace

void tp_list_jump(int n, int& status)
{
    int before = 0;
    ljump(0, before);
    if (before == 0) {
        status = kFailed;
        return;
    }
    int after = before;
    if (n != 0) ljump(n, after);
    if (after == before)
        status = kUnmoved;
    else if (after == 0)
        status = kFailed;
    else if (after == 1 || after < 0)
        status = kAtListEnd;
    else
        status = 0;
}

void JMPEND(int& status)
{
    int answer = 0;
    lacces(kAccessLast, answer);
    status = 0;
    if (answer == kUnmoved) {
        eroutc("JMPEND,LIST ERRORS", 0);
        status = kUnmoved;
    }
}

void PLSUPR(int type, int& block_class)
{
    for (const type_class& row : kClasses)
        if (row.type == type) {
            block_class = row.klass;
            return;
        }
    erou1c("PLSUPR - ILLEGAL BLOCK TYPE", type);
    block_class = kClassIllegal;
}

void tp_block_head_read(int where, int& size, int& type, int& block_class, int& status)
{
    status = 0;
    if (where == kWhereNowhere) return;
    if (where == kWhereEntity || where == kWhereParamLine) {
        word head[2];
        tpget(kWhereEntity, 2, kTypeInteger, head, status);
        if (status < 0) return;
        size = head[0];
        type = head[1];
    } else {
        entity_block_guard guard;
        list_block_size(size, status);
        if (status < 0) return;
        tp_get_int(kWhereList, type, status);
        if (status < 0) return;
    }
    if (size == 1) {
        block_class = kClassMarker;
        return;
    }
    PLSUPR(type, block_class);
    if (block_class < 0) status = kFailed;
}

void tp_find_block_type(int type, int& status)
{
    int lines = 0;
    llines(lines);
    // Each round reads one block and steps one on: more rounds than lines cannot find anything.
    for (int round = 0; round <= lines; ++round) {
        int size = 0, found = -1, block_class = 0;
        tp_block_head_read(kWhereList, size, found, block_class, status);
        if (status < 0 || found == type) return;
        tp_list_jump(1, status);
        if (status < 0) return;
    }
    status = kFailed;
}

bool tp_find_motion_block(int direction, int& status)
{
    int lines = 0;
    llines(lines);
    // One block per round: a level of n lines is walked within n rounds.
    for (int round = 0; round < lines; ++round) {
        int size = 0, type = 0, block_class = 0;
        tp_block_head_read(kWhereList, size, type, block_class, status);
        if (status < 0) return false;
        if (block_class == kClassMotion) return true;
        // kAtListEnd: now on the last block, examined in the next round; kUnmoved: there was no
        // block beyond.
        int jumped = 0;
        tp_list_jump(direction == 1 ? 1 : -1, jumped);
        if (jumped == kFailed) status = kFailed;
        if (jumped == kFailed || jumped == kUnmoved) return false;
    }
    return false;
}

void tp_list_create(int list, int& status)
{
    newls1(list, status);
    if (status < 0) {
        status = kFailed;
        return;
    }
    int zero = 0;
    gsblkn(2, 0, zero, status);
    if (status < 0) status = kFailed;
}

void tp_line_create(int& status)
{
    int answer = 0;
    lacces(kAccessNext, answer);
    if (answer == kUnmoved) {
        status = kFailed;
        return;
    }
    lcreat(answer == -1 ? kInsertAfter : kInsertBefore, status);
    if (status < 0) status = kFailed;
}

void tp_list_delete(int n, int& status)
{
    int answer = 0;
    ldelet(n, answer);
    status = answer == -1 || answer == -2 ? kFailed : 0;
}

void noop() {}
