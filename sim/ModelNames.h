#pragma once
// The simulator speaks the program's own frame layout, parameter image and measurement frame:
// their names, as the sensor's side uses them.
#include "link/CheckByte.h"
#include "link/FrameCodec.h"
#include "live/MeasurementFrame.h"
#include "params/ParameterImage.h"

namespace sim {
using namespace comm;
using namespace live;
using namespace params;
} // namespace sim
