#pragma once

#include "platform/resources/resourcemodule.h"

#include <QImage>

// A decoded resource bitmap as an image the toolkit draws; a null image for a damaged one.
QImage ToQImage(const Bitmap& bitmap);
