#include "mask_area.h"

#include "core/error.h"
#include "core/format.h"
#include "core/image_measure.h"

namespace mv {

MaskArea mask_area(const Image& mask)
{
    MaskArea a;
    if (mask.type != IMAGE_GRAY || mask.empty())
        return a;
    a.pixels = image_area(mask);
    a.coverage = 100.0 * a.pixels / double(mask.pixels());
    return a;
}

std::string mask_area_text(const MaskArea& a)
{
    return format_text("%2f pixels\n%2f percent coverage", a.pixels, a.coverage);
}

void mask_area_show(const Image& mask)
{
    message_dialog("Mask Area", mask_area_text(mask_area(mask)), kButtonsOk);
}

} // namespace mv
