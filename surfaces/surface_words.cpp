// The words of the surface preparation.
#include "surfaces/surface_words.hpp"

namespace {
int g_resurf_needed = 0;
}  // namespace

int& resurf_needed() { return g_resurf_needed; }
