// The key-state table behind getKeyState, shared by the platform's implementations: each
// updates it as key messages are taken from a window's queue.
#pragma once

#include "platform/window.h"

namespace platform::keys {

void noteKeyMessage(const Message& message);

}  // namespace platform::keys
