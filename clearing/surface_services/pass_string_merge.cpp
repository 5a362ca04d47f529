// The merge of a link's strings with a segment's strings (merge_pass_strings).
#include "clearing/surface_services/pass_string_merge.hpp"

void merge_pass_strings(point_string_set& strings, point_string_set& link, int& status)
{
    MRGGST(kMergeJoinAtTool, kMergeNormalsAndWords, strings, link, status);
}
