#pragma once
// The simulator speaks the program's own protocol: frame layout, order numbers, parameter image
// and measurement frame, by their names as the sensor's side uses them.
#include "protocol/CheckByte.h"
#include "protocol/FrameCodec.h"
#include "protocol/MeasurementFrame.h"
#include "protocol/Orders.h"
#include "protocol/ParameterImage.h"

namespace sim {
using namespace protocol;
} // namespace sim
