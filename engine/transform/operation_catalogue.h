// Registers every transformation of the catalogue, family by family.
#pragma once

namespace mv {

void register_all_operations();

} // namespace mv
