// The status codes of one pocket computation: what the lane engine, its contour input and the
// cutting stages hand to the computation driver, which turns each into one message.
#pragma once

inline constexpr int kEngineDone = 0;
inline constexpr int kEngineNoOffset = 1;       // an offset gave no usable loop (handled inside)
inline constexpr int kEngineTooManyPoints = 2;  // the outer contour cannot be read
inline constexpr int kEngineIslandPoints = 3;   // an island contour cannot be read
inline constexpr int kEngineArraysSmall = 8;    // the main arrays are too small: retried larger
inline constexpr int kEngineEndPoint = 9;       // the restart point cannot be placed
inline constexpr int kEngineTableFull = 10;     // lane table or stage tables full
inline constexpr int kEngineArrayFailed = 11;   // a pocket array operation failed
inline constexpr int kEngineEndLoopSmall = 13;
inline constexpr int kEngineOuterInIsland = 14;  // the outer contour lies inside an island
inline constexpr int kEngineWorkTables = 15;     // work tables or the point store cannot grow
inline constexpr int kEngineDegenerate = 16;     // the outer contour has 3 points or fewer
inline constexpr int kEngineNoLane = 17;         // no lane could be made
inline constexpr int kEngineNoGrid = 21;         // a contour cannot be laid on the surface grid
// The lanes were made, but offsets that failed or were refused left part of the pocket on the
// surface uncut (said on the error channel): the lanes stand, the run is no success.
inline constexpr int kEngineUncovered = 22;
inline constexpr int kEngineCannotLink = 51;     // the cut cannot move to every loop: a live lane left out
inline constexpr int kEngineEndPointNote = 100;  // done; the end point was dropped
