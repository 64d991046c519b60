#include "transform/use_registry.h"

mv::UseList& app_use_list()
{
    static mv::UseList list;
    return list;
}
