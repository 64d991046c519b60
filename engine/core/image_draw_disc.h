// A filled disc with a soft edge, painted by the retouching tools.
#pragma once

#include "image.h"

namespace mv {

// Paints the disc of centre (cx, cy) and radius `radius` in pixel units with the colour
// red, green, blue. Pixels within 1.414214 of the rim are blended by how many of 5 x 5
// sub-points a quarter pixel apart fall inside the disc; pixels further inside take the
// colour. Gray images take the largest component; 16-bit images widen each byte (v * 257)
// first. Binary images and the pseudo-types are left unchanged.
void image_draw_disc(Image& img, double cx, double cy, double radius, int red, int green,
                     int blue);

} // namespace mv
