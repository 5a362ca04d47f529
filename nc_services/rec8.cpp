// rec8_get_put on the entity store (see the header).
#include "nc_services/rec8.hpp"

#include "host/vantu_entity.hpp"
#include "host/vantu_entity_ext.hpp"
#include "host/words.hpp"

#include <cstring>

namespace {

constexpr int kGet = 1, kPut = 2;
constexpr int kUcsClass = 8, kUcsType = 1;
constexpr int kPutAside = 1, kCannotPutAside = 2;
constexpr int kRecordWords = 16;

void to_words(const ucs_record& r, word (&w)[kRecordWords])
{
    w[0] = real_to_word(r.value);
    for (int i = 0; i < 3; ++i) w[1 + i] = real_to_word(r.origin[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 9; ++i) w[4 + i] = real_to_word(r.matrix[static_cast<std::size_t>(i)]);
    w[13] = r.name[0];
    w[14] = r.name[1];
    w[15] = r.further;
}

void from_words(const word (&w)[kRecordWords], ucs_record& r)
{
    r.value = word_to_real(w[0]);
    for (int i = 0; i < 3; ++i) r.origin[static_cast<std::size_t>(i)] = word_to_real(w[1 + i]);
    for (int i = 0; i < 9; ++i) r.matrix[static_cast<std::size_t>(i)] = word_to_real(w[4 + i]);
    r.name = {w[13], w[14]};
    r.further = w[15];
}

}  // namespace

void rec8_get_put(int mode, int id, ucs_record& record, int& status)
{
    if (mode != kGet && mode != kPut) {
        status = -1;
        return;
    }
    int aside = 0, given_back = 0, closed = 0;
    eginfo(aside);
    if (aside == kCannotPutAside) {
        status = -1;
        return;
    }
    int entity_class = -1, entity_type = -1;
    eopen(id, entity_class, entity_type, status);
    if (status == 0 && (entity_class != kUcsClass || entity_type != kUcsType)) status = -1;
    word words[kRecordWords] = {};
    if (status == 0 && mode == kGet) {
        egetn(kRecordWords, words, status);
        if (status == 0)
            from_words(words, record);
        else
            status = -1;
    } else if (status == 0) {
        to_words(record, words);
        eputn(kRecordWords, words, status);
    }
    if (status != 0 && status != kEntityMissing) status = -1;
    eclose(closed);
    if (aside == kPutAside) esinfo(given_back);
}
