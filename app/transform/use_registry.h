// The editor's one use list: which windows read which image windows. Image windows consult it
// before they close; transformation windows, Amount controls and input selectors add and
// remove their entries.
#pragma once

#include "transform/use_list.h"

mv::UseList& app_use_list();
