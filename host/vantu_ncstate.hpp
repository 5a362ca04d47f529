// Host calls behind the NC state blocks: the NC function-name table, the current view, the tool
// tables and the tool instance, the work plane and display depth, the symbol switches, the
// world-to-model mapping, the bad-surface list and the message-window lines. Used by the restore and save of the NC
// state, the machining type and the message window of the procedure driver.
#pragma once

#include "host/words.hpp"

#include <string_view>

// The host's NC function-name table: count entries of width characters each (blank-padded, no
// terminator), entry k naming NC function k + 1. Status 0; -1 for a width below 1, a count
// below 0 or no buffer (nothing written).
void gtncfn(int width, int count, char* names, int& status);
// 1 when NC function `code` is one the user defined (a user function of the host), else 0.
int gnccod(int code);

// The current view number: mode 1 reads it, mode 2 sets it. 0 means that no MACSYS is selected.
void gsvnum(int mode, int& view);

// Resets the host's tables of the current tool path at an NC state restore.
void tbinit();

// The tool instance shown on the screen: -1 answers the instance id (-1: none), -2 releases it
// and answers -1, a value of 0 or more records it as the instance and answers it.
int tm_inst_id(int request);

// Makes the view the work plane. Status 0; -1 for a view outside 1..47 (nothing changed).
void setwap(int view, int& status);
// Sets the display depth (the DEPTH level of the tool path).
void setdsp(float depth);
// Switches a symbol kind of the display (item) off (0) or on (1).
void edsym(int item, int on);
// The two words of the current work-plane setting: mode 1 reads them, mode 2 sets them. 0 and 0:
// world coordinates. A UCS entity and kWorkPlaneOfUcs: the plane of that UCS, in whose
// coordinates the contour services work: dfcpol gives a contour's polygon there, dfcof2 offsets
// a contour lying in a plane parallel to the UCS's XY and makes the offset's curves placed in the
// UCS (their "RP" names it). Other words are world coordinates too; other modes do nothing.
inline constexpr int kWorkPlaneOfUcs = 1;
void gswpld(int mode, int (&words)[2]);
// Maps a world point into model coordinates, and back. World coordinates are those of the
// working view: coordinates in its UCS (origin and axes given in model coordinates) when its view
// pointer ("WVPTR", set with setwv) names one made by xsys4 or zsys3, else the model point
// shifted by the model frame's origin.
void mapw2m(const float* world, float* model);
void mapm2w(const float* model, float* world);
// The same mappings of a point in double precision.
void madw2m(const double* world, double* model);
void madm2w(const double* model, double* world);

// Ends the list of bad surfaces collected during a run.
void end_badsrf();

// a >= b within the host's tolerance (non-zero for true).
int geval(float a, float b);

// Width of the host's message window in columns.
int maxcol();
// A line shown at once in the host's message window.
void sheerx(std::string_view text);
// A message box with one text; usrme5 with several lines separated by "|".
void usrmes(std::string_view text);
void usrme5(std::string_view text);
