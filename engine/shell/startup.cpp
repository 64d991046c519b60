#include "startup.h"

#include "core/error.h"
#include "core/product_table.h"
#include "tone/value_tables.h"

#include <new>

namespace mv {

int engine_startup()
{
    if (const int err = product_table_build())
        return err;
    try {
        value_tables();
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    return kOk;
}

} // namespace mv
