// The program's cursors, drawn at start: 1-12 the tools' own cursors, 100 the hand. Other
// numbers give the platform's standard cursors (negative) or the default arrow.
#pragma once

#include <QCursor>
#include <QImage>
#include <cstdint>

// Draws and keeps the program's cursors; safe to call more than once.
void LoadProgramCursors();
// The cursor for a number: a loaded program cursor, a standard cursor for a negative number
// the platform has, and the default arrow otherwise.
QCursor ProgramCursor(int32_t number);
// Whether a program cursor with that number was loaded.
bool HasProgramCursor(int32_t number);
// The drawing of a program cursor (32 x 32, transparent background); null for other numbers.
QImage ProgramCursorImage(int32_t number);
