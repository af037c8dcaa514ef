// Synthesised drums: every hit is made from sines, noise and filters, no recorded samples.
#pragma once

#include "tools/assets/audio_buffer.h"
#include "tools/assets/score.h"

namespace assets {

// Adds one hit into the buffer at its time.
void renderDrum(const DrumHit& hit, StereoBuffer& out);

// Seconds a hit of this kind sounds (risers: their own length).
double drumSeconds(const DrumHit& hit);

}  // namespace assets
