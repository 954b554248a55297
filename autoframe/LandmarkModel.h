#pragma once
// dlib's face detector and 68-point landmark model, read once per process.
// Reading the landmark model from Debian's libdlib-data costs about a
// second, so the program starts it in the background when it starts and
// the first search waits for it only if it is not done yet.

#include <QString>

namespace LandmarkModel {

// Starts reading the models on a thread of their own; returns at once.
// Calling it again, or after the models were read, does nothing.
void StartLoading();

// True when both models were read (waits for a reading under way).
bool Available();

// Where the landmark model is read from.
QString ModelPath();

} // namespace LandmarkModel
