// The word layer of the tool path: tpget, TPPUT, TPSKIP and the expression mover. Readers of the
// list suspend the host's open entity block and put it back on every way out, so a caller that
// has an entity open for block reading finds it as it left it.
#include "toolpath/tp_words.hpp"

#include "host/vantu_list.hpp"
#include "host/vantu_messages.hpp"
#include "host/vantu_nc.hpp"
#include "host/vantu_template.hpp"
#include "toolpath/entity_block_guard.hpp"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int kFailed = -1;

bool bad_buffer(int n, const word* values) { return n < 0 || (n > 0 && !values); }

bool is_list(int where) { return where == kWhereList || where == kWhereListNumbered || where == kWhereListWorld; }

int template_file()
{
    int file = 0;
    get_template_file_ptr(file);
    return file;
}

// Reads n words of the current list block; -2 when fewer were there.
void read_list(int n, word* values, int& status)
{
    int count = 0;
    lgetd(n, values, count, status);
    if (status < 0) {
        eroutc("[tpget] ERRORS IN LIST", 0);
        return;
    }
    status = count < n ? kTpShort : 0;
}

// Reads from the place named by WHERE (step 3 of reading).
void read_at(int where, int n, int type, word* values, int& status)
{
    if (is_list(where)) return read_list(n, values, status);
    switch (where) {
    case kWhereEntity: egetn(n, values, status); return;
    case kWhereParamLine: nu_parm_get_line(values, n, type, status); return;
    case kWhereTemplateRead:
        if (type == kTypeExpression) return tp_expr_io(where, n, values, status);
        if (int file = template_file(); file != 0)
            template_read_one_record(file, values, n, type, status);
        else
            status = kFailed;
        return;
    case kWhereNowhere:
        if (type == kTypeExpression) tp_expr_io(where, n, values, status);
        return;
    default:
        // An unknown WHERE reads nothing; the caller must not take its values as read.
        eroutc("[tpget] where = " + std::to_string(where) + " - unknown.", 0);
        status = kFailed;
    }
}

// Every value whose bits as a float are non-zero becomes the integer 1.
void flags_from_reals(int n, word* values)
{
    for (int i = 0; i < n; ++i) values[i] = word_to_real(values[i]) != 0.0f ? 1 : 0;
}

// The text words with every byte after the text's first zero byte, within 4n bytes, set to zero.
void zero_fill_text(std::vector<word>& words)
{
    const std::size_t bytes = words.size() * sizeof(word);
    std::vector<char> text(bytes);
    if (bytes) std::memcpy(text.data(), words.data(), bytes);
    const auto* end = static_cast<const char*>(std::memchr(text.data(), '\0', bytes));
    if (!end) return;
    std::memset(text.data() + (end - text.data()), 0, bytes - static_cast<std::size_t>(end - text.data()));
    std::memcpy(words.data(), text.data(), bytes);
}

// Moves one expression of 24 words through the template file in its three pieces.
void move_expression(int where, int file, word* expression, int& status)
{
    int value_type = expression[kExprTypeWord];
    if (where == kWhereTemplateRead) {
        word look_ahead[kExprWords];
        template_read_rw(file, look_ahead, kExprWords, status);
        if (status < 0) return;
        value_type = look_ahead[kExprTypeWord];
    }
    struct piece {
        int first;
        int count;
        int type;
    };
    const piece pieces[] = {{0, 2, value_type}, {2, kExprTextWords, kTypeText}, {kExprTypeWord, 1, kTypeInteger}};
    for (const piece& p : pieces) {
        if (where == kWhereTemplateRead)
            template_read_one_record(file, expression + p.first, p.count, p.type, status);
        else
            template_write_one_record(file, expression + p.first, p.count, p.type, status);
        if (status < 0) return;
    }
}

}  // namespace

void tp_expr_io(int where, int n, word* values, int& status)
{
    status = 0;
    if (where != kWhereTemplateRead && where != kWhereTemplateWrite) return;
    if (bad_buffer(n, values)) {
        status = kFailed;
        return;
    }
    const int file = template_file();
    if (file == 0) {
        status = kFailed;
        return;
    }
    for (int k = 0; k < n / kExprWords && status >= 0; ++k)
        move_expression(where, file, values + k * kExprWords, status);
}

void tpget(int where, int n, int type, word* values, int& status)
{
    status = 0;
    if (bad_buffer(n, values)) {
        eroutc("[tpget] ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    std::optional<entity_block_guard> guard;
    if (where != kWhereEntity) guard.emplace();
    int version = kFirstExpressionVersion;
    if (type == kTypeExpression && where != kWhereTemplateRead) tp_vnum_get(version);
    const bool old_reals = version < kFirstExpressionVersion;
    read_at(where, n, old_reals ? kTypeReal : type, values, status);
    if (status < 0) return;
    if (old_reals) rel_nc_init_expr(values, n, status);
    if (status >= 0 && type == kTypeFlags) flags_from_reals(n, values);
}

void TPPUT(int where, int n, int type, const word* values, int& status)
{
    status = 0;
    if (bad_buffer(n, values)) {
        eroutc("TPPUT,ERRORS IN LIST", 0);
        status = kFailed;
        return;
    }
    std::vector<word> words(values, values + n);
    if (type == kTypeText) zero_fill_text(words);
    if (where == kWhereTemplateWrite) {
        if (type == kTypeExpression) return tp_expr_io(where, n, words.data(), status);
        int file = template_file();
        if (file != 0) template_write_one_record(file, words.data(), n, type, status);
        if (file == 0 || status < 0) status = kFailed;
        return;
    }
    if (where == kWhereEntity) {
        eputn(n, words.data(), status);
        if (status < 0) status = kFailed;
        return;
    }
    lputd(n, words.data(), status);
    if (status < 0) {
        eroutc("TPPUT,ERRORS IN LIST", 0);
        status = kFailed;
    }
}

void TPSKIP(int where, int n, int& status)
{
    status = 0;
    word ignored = 0;
    switch (where) {
    case kWhereEntity:
    case kWhereNowhere: eskipn(n, status); return;
    case kWhereParamLine:
        for (int i = 0; i < n && status >= 0; ++i) nu_parm_get_line(&ignored, 1, kTypeInteger, status);
        return;
    case kWhereTemplateRead: {
        const int file = template_file();
        if (file == 0) {
            status = kFailed;
            return;
        }
        for (int i = 0; i < n && status >= 0; ++i) template_read_one_record(file, &ignored, 1, kTypeInteger, status);
        return;
    }
    default: {
        int skipped = 0;
        lskip(n, skipped, status);
        if (status < 0) {
            eroutc("TPSKIP,ERRORS IN LIST", 0);
            return;
        }
        const long long wanted = n < 0 ? -static_cast<long long>(n) : n;
        if (skipped < wanted) status = kTpShort;
    }
    }
}

void tpget_t3(int where, int n, word* values, int& status) { tpget(where, n, kTypeContour, values, status); }

void tpget_flags(int where, int n, int type, word* values, int& status)
{
    tpget(where, n, type, values, status);
    if (status < 0 || type != kTypeFlags) return;
    for (int i = 0; i < n; ++i) values[i] = values[i] != 0 ? 1 : 0;
}

void tpskip_args(int where, int n, int& status) { TPSKIP(where, n, status); }

void tp_get_int(int where, int& value, int& status) { tpget(where, 1, kTypeInteger, &value, status); }

void tp_get_real(int where, float& value, int& status)
{
    word w = real_to_word(value);
    tpget(where, 1, kTypeReal, &w, status);
    value = word_to_real(w);
}

void tp_put_int(int where, int value, int& status) { TPPUT(where, 1, kTypeInteger, &value, status); }

void tp_put_real(int where, float value, int& status)
{
    const word w = real_to_word(value);
    TPPUT(where, 1, kTypeReal, &w, status);
}
