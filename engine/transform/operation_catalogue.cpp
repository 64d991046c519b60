#include "operation_catalogue.h"

#include "transform/catalogue_support.h"

namespace mv {

void register_all_operations()
{
    catalogue::register_filter_operations();
    catalogue::register_tone_operations();
    catalogue::register_reduce_operations();
}

} // namespace mv
