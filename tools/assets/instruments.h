// The pitched instruments: each renders one note, added into a stereo buffer at the note's time.
#pragma once

#include "tools/assets/audio_buffer.h"
#include "tools/assets/score.h"

namespace assets {

// Warm chord pad: three detuned saws spread across the stereo field through a low-pass
// whose cutoff follows the automation.
void renderPadNote(const NoteEvent& note, const Automation& cutoff, StereoBuffer& out);
// Bass: a saw and a sub sine an octave lower, through a low-pass that opens on each note.
void renderBassNote(const NoteEvent& note, StereoBuffer& out);
// Lead: two detuned saws and a square an octave down, with delayed vibrato.
void renderLeadNote(const NoteEvent& note, StereoBuffer& out);
// Pluck for arpeggios: a saw whose low-pass closes quickly.
void renderPluckNote(const NoteEvent& note, StereoBuffer& out);
// Bell: two-operator frequency modulation with a brightness that fades as it rings.
void renderBellNote(const NoteEvent& note, StereoBuffer& out);

}  // namespace assets
