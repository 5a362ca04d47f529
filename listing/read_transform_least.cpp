// The current read transformation, least version (see the header).
#include "listing/read_transform_least.hpp"

read_transformation& current_read_transformation()
{
    static read_transformation transformation;
    return transformation;
}
