// Writers of tagged parameter records and of the code and length words of procedure segments.
#include "toolpath/param_record.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "toolpath/tp_words.hpp"

namespace {

constexpr int kFailed = -1;

bool known_deftyp(int deftyp)
{
    return deftyp == kTypeInteger || deftyp == kTypeReal || deftyp == kTypeGeometry || deftyp == kTypeText ||
           deftyp == kTypeExpression;
}

}  // namespace

void TPPUTNT(int where, int code, int n, int deftyp, const word* values, int& status)
{
    status = 0;
    if (n < 0 || (n > 0 && !values)) {
        erou1c("TPPUTNT, ERROR IN WORD COUNT ", n);
        status = kFailed;
        return;
    }
    const bool known = known_deftyp(deftyp);
    if (!known) erou1c("TPPUTNT, ERROR IN DEFTYP ", deftyp);
    const word head[kRecordHeadWords] = {code, n + 1, deftyp};
    for (int i = 0; i < kRecordHeadWords && status >= 0; ++i) TPPUT(where, 1, kTypeInteger, &head[i], status);
    if (status >= 0) TPPUT(where, n, deftyp, values, status);
    if (status >= 0 && !known) status = kUnknownDeftyp;
}

void tpptntl(int where, int code, int n, int deftyp, const word* values, int& counter, int& status)
{
    TPPUTNT(where, code, n, deftyp, values, status);
    if (status == kUnknownDeftyp) erou1c("[tpptntl] ERROR IN DEFTYP ", deftyp);
    if (status >= 0 || status == kUnknownDeftyp) counter += n + kRecordHeadWords;
    if (status >= 0) status = 0;
}

void tp_segment_begin(int where, int code, int& counter, int& status)
{
    counter = 0;
    status = 0;
    if (where == kWhereTemplateWrite) return;
    tp_put_int(where, code, status);
    if (status >= 0) tp_put_int(where, 0, status);
}

void tp_segment_end(int where, int counter, int& status)
{
    status = 0;
    if (where == kWhereTemplateWrite || counter <= 0) return;
    if (where != kWhereList && where != kWhereListNumbered && where != kWhereListWorld) return;
    // The position stands at the end of the segment: its length word lies counter + 1 words back.
    ljmpcg(counter + 1, counter, status);
    if (status < 0) {
        eroutc("TPPUT,ERRORS IN LIST", 0);
        status = kFailed;
    }
}
