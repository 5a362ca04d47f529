// The "CGP1" and "MXF1" model-data values.
#include "nc_services/model_values.hpp"

#include "host/vantu.hpp"

namespace {
constexpr int kGet = 1, kSet = 2;
}  // namespace

void gs_cgp1(int mode, double& value)
{
    word words[2];
    int status = 0;
    if (mode == kGet) {
        double_to_words(kDefaultCgp1, words);
        mdgetc("CGP1", 2, words, status);
        value = words_to_double(words);
    } else if (mode == kSet) {
        double_to_words(value, words);
        mdputc("CGP1", 2, words, status);
    }
}

void gs_mxf1(int mode, float& value)
{
    int status = 0;
    if (mode == kGet) {
        word w = real_to_word(kDefaultMxf1);
        mdgetc("MXF1", 1, &w, status);
        value = word_to_real(w);
    } else if (mode == kSet) {
        const word w = real_to_word(value);
        mdputc("MXF1", 1, &w, status);
    }
}
