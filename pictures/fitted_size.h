#pragma once
// The size a picture takes in a frame: scaled by the smaller of the two ratios,
// enlarged as well as reduced, so it touches the frame on at least one side.

#include "common/geometry.h"

Size fittedSize(Size picture, Size frame);
