// A page gets no signals: closing its tab simply ends it.
#include "platform/termination.h"

namespace platform {

void watchTerminationSignals() {}

int terminationSignal() { return 0; }

bool takeTerminationRequest() { return false; }

void clearTerminationRequest() {}

}  // namespace platform
