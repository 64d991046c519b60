// Work split into bands of rows that run on the machine's cores at the same time. Each band
// is computed by the same function over its own rows, so the result does not depend on the
// number of threads. The calling thread keeps the progress window: it shows the bands'
// combined progress and turns its Cancel into a stop for every band.
#pragma once

#include <string_view>

namespace mv {

// File and row work on fewer bytes than this runs on the calling thread: starting threads
// would cost about as much as it saves, and the work keeps its exact row-by-row progress.
inline constexpr long long kParallelMinimumBytes = 1 << 20;

// Threads that band work runs on: the machine's cores (at most 8) unless set.
int parallel_threads();

// Sets the thread count for band work; 0 restores the machine's count. Returns the previous
// setting (0 when it was the machine's count).
int set_parallel_threads(int threads);

// Computes rows [begin, end) of the work; returns 0 or an error code (11 when cancelled).
using BandFunction = int (*)(int begin, int end, void* context);

// Runs `fn` over rows 0..count-1 split into one band per thread (a single call on the
// calling thread when there is one thread or fewer than 2 rows per band). While bands run on
// other threads their progress calls reach no sink: the calling thread shows one progress
// window titled `title` (from `pixels` >= 10000 on) over 0..count-1, fed by how far the
// bands got, and when it is cancelled every band's next progress call returns 11. Result:
// 0, or the error of the first band (in row order) that failed.
int parallel_bands(int count, BandFunction fn, void* context, long long pixels,
                   std::string_view title);

} // namespace mv
