// Parameter translations of the common NC parameters: for each parameter number, the message
// that labels it in the host's dialogs and listings, its value kind and a second message
// (a choice list; -1 none). The host keeps the table; the driver registers these lists at
// every run start, after the procedure type's own rows.
#pragma once

#include <span>

struct translation_row {
    int parameter;
    int message;
    int kind;            // 1, 2, 3 or 5
    int second_message;  // -1: none
};

// The three lists, in registration order.
std::span<const translation_row> common_translations_first();   // nc_trns_register2
std::span<const translation_row> common_translations_second();  // add_param_translations
std::span<const translation_row> common_translations_third();   // nc_trns_register

// Hands the rows to the host one by one (nu_trns_add) and stops at the first row whose status
// is not 0, returning that status; the rows before it stay registered.
void register_translations(std::span<const translation_row> rows, int& status);

void nc_trns_register2(int& status);       // the first list, then add_param_translations
void add_param_translations(int& status);  // the second list
void nc_trns_register(int& status);        // the third list
