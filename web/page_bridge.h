// The program's side of its page: what it tells the page, what it waits for, and where its
// reports and log go (the browser's console).
#pragma once

#include <cstdint>

namespace page {

// Reports reach the console at their level (console.error, warn or log), and each log entry
// as plain text (console.log).
void sendReportsToConsole();

// Tells the page: "playing" (the first frame is shown), "ended", "failed", "drawn".
void tell(const char* event);

// Hands the page one frame's clocks while the show plays: the show's elapsed milliseconds
// (it compares them with the sound it hears).
void noteFrame(std::int32_t elapsedShowMs);

// Hands the page a measurement: the median milliseconds a frame took to draw.
void noteDrawTime(double milliseconds);

// Returns when the page asks for the show again ("play again"); the page runs meanwhile.
void waitForPlayAgain();

}  // namespace page
