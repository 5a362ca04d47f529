// Host interaction: interaction modes and the mode line, parameter translations, and the
// dialogs (menus, parameter pages, questions, picks, points, key polls, text input) that a script
// answers in the stand-in.
//
// Answer codes: menus answer the chosen item (1-based), -1 cancel, -2 back; questions 1 yes, 0 no,
// -1 cancel, -2 back.
#pragma once

#include "host/words.hpp"

#include <span>
#include <string>
#include <string_view>

// ---- interaction modes and the mode line ------------------------------------------------------
// Starts interaction mode `mode` with its mode line at (row, column); modint(0, 0, 0, 0, ...)
// ends the current mode. Either way the parameter page starts empty.
void modint(int mode, int row, int column, int flag, int& status);
void ofmod(int mode, int& status);                // 1 mode-line output on, 2 off
void ofwric(std::string_view text, int& status);  // writes the mode-line prompt
// what 2 clears highlight set `set` (set 0 also drops a pending clear-screen request) and answers
// 0; what 1 answers the pending clear-screen request (1: the screen must be cleared).
int gsclr(int what, int set);
// Redisplays the screen.
void modisp();
void ncr_mdnxt_get(int& mode);
void ncr_mdnxt_set(int mode);
void mdnxt_set(int mode);
// The host's preparation before an execution.
void prexec();

// ---- parameter translations -------------------------------------------------------------------
// Starts an empty table at every procedure start, dropping rows a run left behind. Status 0.
void nu_trns_init(int& status);
// Rows (parameter, message label, value kind 1, 2, 3 or 5, second message or -1) kept in order,
// duplicates included; a bad kind or a full table is refused with status -1.
void nu_trns_add(int message, int parameter, int kind, int second_message, int& status);
// Sorts the rows by parameter number, keeping the order of rows with the same number.
void nu_trns_sort(int& status);
void nu_trns_rels();

// ---- menus and questions --------------------------------------------------------------------
// A menu of "@"-separated choices; choice out: the item (1-based), -1 cancel, -2 back.
void menuc(std::string_view text, int& choice);
// The host's top menu: the same answers as menuc.
void topopc(std::string_view text, int& choice);
// The host's top menu with a prompt already shown: the same answers as menuc.
void topopt(std::string_view text, int& choice);
// A yes/no question; answer out: 1 yes, 0 no, -1 cancel, -2 back.
void irepyc(std::string_view question, int& answer);
// A question that offers one choice (the text of a one-item menu, "@" allowed at its end);
// answers as irepyc, 1 taking the choice.
void irply1(std::string_view question, std::string_view choice, int& answer);
// A yes/no question asked once for all selected procedures; answers as irepyc.
void rplyal(std::string_view question, int& answer);
// A question of the host's message catalogue by group and number; answers as irepyc.
void msg_quest(int group, int number, int& answer);

// ---- parameter pages ----------------------------------------------------------------------------
// A page is built line by line after modint (lines numbered from 1 in the order placed) and run
// by modif1. Each line keeps the address of its value: the variable must live until the page is
// run or cleared (modint, modinz), and modif1 writes the new value into it.
//
// A parameter field of a host kind: 1 integer, 2 real, 3 integer from host list `relation`, 4
// choice from host list `relation`, 5 real of the second kind, 7 text of 20 characters held
// blank-padded in the five words from `value` (the caller's array), 8 real with an expression
// text. Integers are words as they are, reals are floats in the word. Limits apply unless both
// are 0 (never to a text); choices are 1 or more. Status -1 for an unknown kind.
void nu_mod_exec(int kind, int label, int relation, word& value, float minimum, float maximum, int& status);
// Clears the page (and the host's menu state) without ending the interaction. During an action
// of a page that modcom closed, the page stays built to be shown again, until a new line is placed.
void modinz();
// Closes the menu before an action of it runs (the page stays built). Status 0.
void modcom(int& status);
// A line of text, or with "@"-separated choices a cycling choice whose 1-based value is `value`.
void modmc(std::string_view text, int& value);
// A cycling choice placed as the host's cycling menu; as modmc.
void modmpc(std::string_view text, int& value);
// A real field and an integer field with their limits (inclusive).
void modrc(std::string_view label, float& value, float minimum, float maximum);
void modic(std::string_view label, int& value, int minimum, int maximum);
// An empty line that keeps its place on the page; moduc2 is its second form.
void modumc(std::string_view text, int value);
void moduc2(std::string_view text, int value);
// The second form of a text or choice line: as modmc, marked (shown highlighted) when marked is
// not 0.
void modmc2(std::string_view text, int& value, int marked);
// A cycling choice placed as the host's cycling menu, marked when marked is not 0; as modmpc.
void mdmpc2(std::string_view text, int& value, int marked);
// An integer and a real field with their limits (inclusive), marked when marked is not 0; as
// modic and modrc.
void modic2(std::string_view label, int& value, int minimum, int maximum, int marked);
void modrc2(std::string_view label, float& value, float minimum, float maximum, int marked);
// The colour of the menu lines placed next: -1 the colour of an EXIT line, -2 back to the
// menu's own colour.
void setcolr(int colour);
// The host's titled cycling menu: the part of the text before the first "@" is its title, the
// "@"-separated choices follow it (value 1 the first of them); without "@" a line of text.
void modmmc(std::string_view text, int& value);
// A menu item: a text line that answers its number when chosen.
void modm(std::string_view text);
// Real fields (modfc of the condition pages, modfx of the user pages) and an integer field (modi)
// with their limits (inclusive), as modrc and modic.
void modfc(std::string_view label, float& value, float minimum, float maximum);
void modfx(std::string_view label, float& value, float minimum, float maximum);
void modi(std::string_view label, int& value, int minimum, int maximum);
// A text field of at most `length` characters (1 to kMaxTextField).
inline constexpr int kMaxTextField = 80;
void mods(std::string_view label, std::string& text, int length);
// A colour selector on a colour cell (colours 0 to 15).
void modclr(int& colour);
// A column break: the lines placed next start a new column (the break is not a line).
void modcls();
// The host's preparation of the screen before a form of the module is shown.
void prcont();
// Runs the page; status out: the chosen line, 0 Enter (accept), -1 go on, -2 leave, -3 show again.
void modif1(int& status);
// Runs the page of a procedure being edited that can only be continued: as modif1.
void contin(int& status);
// Runs the page as modif1 with the form word and the watch list (line numbers) of the module's
// dialog, whose meaning is the host's. A step that changes a field answers the first line it
// changed (the dialog acts on one change at a time); otherwise the answer is modif1's.
void modifa(int prompt_flag, int& form_word, std::span<const int> watch, int& status);

// ---- picks, points, keys, text ----------------------------------------------------------------
// Picks an entity: choice 0 with the entity's id, or -1 exit, -2 back, -3 mode menu (entity
// untouched). A pick of a tool-path block answers choice 0 with entity 0; ncd_get_picked
// (host/vantu_ncd_file.hpp) gives the block.
void pick(int& choice, int& entity);
// Before a pick: setir readies the indication, enatpo lets the user indicate tool-path blocks;
// setatn(0) turns the attention display off for the pick, setatn(1) back on after it.
void setir();
void enatpo();
void setatn(int on);
// Indicates a point (mode: the host's point mode); status 0 with the point, -1 cancel, -2 back
// (point untouched).
void getpt(float (&point)[3], int mode, int& status);
// Polls the keyboard: key receives the code of a pressed key (32 SPACE) and stays as it was when
// none is pressed (callers preset it to -1).
void gupdat(int& key);
// The pending key: its code, or 0 when none.
void modkey(int& key);
// The message form: clrfrm clears it, col1st answers its first column, dsptx4 shows a label and
// a text (the first label_length and text_length characters), drtxtc shows a text where the
// input will follow.
void clrfrm();
int col1st();
void dsptx4(std::string_view label, int label_length, std::string_view text, int text_length);
void drtxtc(std::string_view text);
// Reads a line of text of at most `capacity` characters; count out: the characters read, -1 when
// the input was cancelled (text untouched).
void rtexts(int capacity, std::string& text, int& count);
