#include "cascade.h"

#include <algorithm>

namespace mv {

int cascade_origin(const CascadeMetrics& m)
{
    return m.step / 4;
}

std::vector<CascadePoint> cascade_positions(int count, const CascadeMetrics& m)
{
    std::vector<CascadePoint> out(std::max(count, 0));
    const int origin = cascade_origin(m);
    int x = origin, y = origin;
    for (int i = count - 1; i >= 0; --i) {
        out[i] = {x, y};
        x += m.step;
        y += m.caption_frame;
        if (y >= m.client_height / 3) {
            y = origin;
            if (x >= m.client_width / 3)
                x = origin;
        }
    }
    return out;
}

CascadePoint cascade_next(CascadePoint from, const CascadeMetrics& m)
{
    const int origin = cascade_origin(m);
    CascadePoint p{from.x + m.step, from.y + m.caption_frame};
    if (p.x >= m.client_width / 3)
        p.x = origin;
    if (p.y >= m.client_height / 3)
        p.y = origin;
    return p;
}

} // namespace mv
