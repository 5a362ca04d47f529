// The flag segment 27 of a procedure block and the flag globals behind it (proc_geom_pairs): six
// option words and twelve (flag, entity id) pairs, one per geometry kind 10001 to 10011 and
// 10013. The procedure writer writes the segment (wflags) and rewrites it in place (update_flags);
// the readers take it back (get_flags); the procedure types and the driver set the pairs.
#pragma once

#include "host/words.hpp"

#include <array>

struct proc_geom_pairs {
    static constexpr int kOptions = 6, kPairs = 12, kPairWords = 2 * kPairs;
    std::array<word, kOptions> options{};  // option words 1 to 6 (items 51-55, 82)
    std::array<word, kPairWords> pairs{};  // pair k: word 2k the flag, 2k + 1 the entity id
};
using geom_pair_words = std::array<word, proc_geom_pairs::kPairWords>;

proc_geom_pairs& proc_flags();

// Option words by number (1 to 6): 1 the procedure's record in the host's NC database, 3 the
// parameters changed, 4 the machine parameters changed, 5 recompute, 6 the stored motions are
// back in the list.
inline constexpr int kOptRecord = 1, kOptNewRecord = 2, kOptUpdate = 3, kOptMachine = 4, kOptRecompute = 5,
                     kOptMotionsCopied = 6;
// Geometry kinds; 10012 has no pair.
inline constexpr int kFirstGeomKind = 10001, kLastGeomKind = 10013, kKindWithoutPair = 10012;
inline constexpr int kNoEntity = -1;

// The pair of a kind (0 to 11), or -1 for a kind without one.
int geom_pair_index(int kind);

// Writes segment 27 from the flag globals with WHERE 3; a failure reports "[wflags], ERRORS IN
// LIST" and keeps its status, after the length word was back-patched.
void wflags(int& status);
// The same with WHERE 2 from the given words.
void wflags_from(word option2, word option1, word option3, word option4, word option5, word option6,
                 geom_pair_words pairs, int& status);
// Overwrites every record of segment 27 of the current procedure block with the global of its
// code. An unknown code, a record of other than one value or a list failure reports
// "[update_flags], ERRORS IN LIST" and gives -1.
void update_flags(int& status);
// Reads segment 27 from the current list position, which stands on the segment's length word,
// into the option words and the 24 pair words. length answers the segment's length. An unknown
// code, or a record that is not one value, reports "get_flags, ERRORS IN LIST" and gives -1.
void get_flags(word& option2, word& option1, word& option3, word& option4, word& option5, word& option6, word* pairs,
               int& length, int& status);
// Finds segment 27 of the current procedure block and reads it into the flag globals.
void read_proc_flags(int& status);
// Mode 1 copies the 24 pair words and the 6 option words out, mode 2 stores them.
void proc_flags_getset(int mode, geom_pair_words& pairs, std::array<word, proc_geom_pairs::kOptions>& options);
// Every pair := (0, -1).
void geom_pairs_init(geom_pair_words& pairs);
// Option words 3 to 6 := 1 and every pair := (1, -1). Status 0.
void flags_reset(int& status);
// Option words 3, 4 and 5 := 1, and the flag of every pair with an entity := 1.
void proc_flags_mark_all();
// Mode 1 sets the pair's id, 2 clears its flag, 3 clears the flag and sets the id; a kind without
// a pair changes nothing.
void geom_flag_update(int mode, int kind, int id, geom_pair_words& pairs);
// The pair of a kind: id and flag (-1 and 0 for a kind without a pair).
void geom_pair_get(int kind, geom_pair_words pairs, int& id, int& flag);
// Option word 5 := 1 for the kinds whose change asks for a recompute: 10003, 10005, 10006, 10010.
void geom_kind_mark_recompute(int kind);
