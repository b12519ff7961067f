#include "data/command.h"

#include "data/layerFailure.h"

void Command::setCommandTimeout(int seconds) {
    if (seconds < 0) {
        throw MakeLayerFailure(LayerFailureNumber::InvalidArgument);
    }
    timeout_ = seconds;
}
