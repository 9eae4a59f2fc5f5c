#include "model/ParameterDefaults.h"

namespace params {

protocol::TeachVector DefaultTeachVector() {
    protocol::TeachVector row;
    for (int k = 0; k < 5; ++k)
        row.w[k] = kDefaultTeachCell;
    row.w[5] = kDefaultGroup;
    row.w[6] = kDefaultHold;
    row.w[7] = 0;
    return row;
}

protocol::ParameterImage DefaultParameterImage() {
    protocol::ParameterImage image;
    image.parameters = kDefaultParameters;
    image.table.fill(DefaultTeachVector());
    return image;
}

} // namespace params
