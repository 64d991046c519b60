// Builds the program-wide tables every part of the engine relies on. Called once before any
// image exists, by the editor and by the batch tool alike.
#pragma once

namespace mv {

// 0, or 1 when a table cannot be allocated (start-up then fails).
int engine_startup();

} // namespace mv
