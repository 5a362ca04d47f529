// Control view of the procedure template file (host/vantu_template.hpp), for the tests and the
// runner: open a file with given contents for reading, or an empty one for writing, and look at
// what the module wrote.
#pragma once

#include "host/words.hpp"

#include <string>
#include <string_view>
#include <vector>

namespace vantu::control {

// One word of the file with the value type it was written with.
struct template_word {
    int type = 0;
    word value = 0;
    bool operator==(const template_word&) const = default;
};

// Opens the template file (closing one that was open); reading starts at its first word. Answers
// the handle get_template_file_ptr gives.
int template_open(std::string_view name, bool for_writing, std::vector<template_word> contents = {});
void template_close();
// The words of the open file (empty when none is open) and the read position.
std::vector<template_word> template_contents();
int template_read_position();

}  // namespace vantu::control
