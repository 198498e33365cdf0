// The values the program and the command-line tool start the generator with: automatic update
// off, both channels off, the carrier and every mode's parameters at their working defaults.
#pragma once

class TQvGen4;

// Applies them through the property setters, so AutoUpdate goes off first and nothing is sent.
void QvGen4ApplyStartValues(TQvGen4& Gen);
