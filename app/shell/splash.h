// The start-up picture shown on the empty workspace: the program's own 325 x 279 artwork.
#pragma once

#include <QPixmap>

QPixmap splash_picture();
