// SIGINT and SIGTERM as a request to end: the program's window gets the close message and
// the program shuts down as by its close box. A second signal ends the program at once.
#pragma once

namespace platform {

// Installs the handlers; before the window system starts, so that it keeps them.
void watchTerminationSignals();

// The signal that asked the program to end, or 0.
int terminationSignal();

// True once for each request, for whoever turns it into the close message.
bool takeTerminationRequest();

// Tests: forget a request.
void clearTerminationRequest();

}  // namespace platform
