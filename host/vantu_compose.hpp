// Texts composed of a leading text and groups of (format, value, trailing text), as the time
// estimate builds its report lines: format 'I' writes the value as an integer (cut towards zero),
// 'R' as a real with four decimals. The pieces are joined as they stand (a blank between a text
// and a number is the caller's), cut to kTextBufferChars characters.
#pragma once

#include <string>
#include <string_view>

struct tx_group {
    char format = 'I';
    double value = 0.0;
    std::string_view trailing;
};

void mktx1c(std::string_view text, const tx_group& a, std::string& out);
void mktx2c(std::string_view text, const tx_group& a, const tx_group& b, std::string& out);
void mktx3c(std::string_view text, const tx_group& a, const tx_group& b, const tx_group& c, std::string& out);
