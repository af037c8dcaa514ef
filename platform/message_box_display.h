// How a message box is shown, one way per platform: a box of the window system on the desktop,
// a line on the page in a browser. Only platform/ sources include this file.
#pragma once

#include "base/report.h"

namespace platform::message_box_display {

// Shows the box `entry` reported (caption and text in UTF-8), where the platform can.
void show(const base::Report& entry);

}  // namespace platform::message_box_display
