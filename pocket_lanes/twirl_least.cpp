// The twirl-spline words, least version (see the header).
#include "pocket_lanes/twirl_least.hpp"

namespace {

struct twirl_words {
    int requested = 0;
    int made = 1;
};

twirl_words& words()
{
    static twirl_words w;
    return w;
}

constexpr int kNoTwirl = 1;

}  // namespace

void twirl_flags_reset() { words() = twirl_words{0, 0}; }
int twirl_requested_get() { return words().requested; }
int twirl_requested_set(int value) { return words().requested = value; }
int twirl_made_get() { return words().made; }
void twirl_made_set(int value) { words().made = value; }

void twirl_spline_show(int /*selector*/, int& /*work*/, int& status) { status = kNoTwirl; }
