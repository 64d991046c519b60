// The colour reductions of the catalogue.
#include "transform/catalogue_support.h"

namespace mv::catalogue {

void register_reduce_operations()
{
}

} // namespace mv::catalogue
