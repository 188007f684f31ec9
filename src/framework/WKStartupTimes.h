// Moments of the program's start for the start-to-picture measurement: when the environment
// names a file in QUILLMOOR_STARTUP_TIMES, the first time each moment is noted a line
// "<name> <seconds since the epoch>" is added to it. Without that, nothing is written.
#pragma once

void NoteStartupMoment(const char* name);
