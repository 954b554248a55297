#pragma once
// The pale yellow panels the editors and the one-pass window show their
// check and notes in, drawn like a tooltip over the window.

class QLabel;

// Boxed, filled in pale yellow with black text, rich text allowed.
void StyleAsNotePanel(QLabel* panel);
