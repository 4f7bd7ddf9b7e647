#pragma once
class Viewer;

/// Lets `viewer` draw `n` more frames, handling the application's events.
/// Stops at the test's first failure, so that a broken run stays short; fails
/// when no frame comes for a minute.
void drawFrames(const Viewer& viewer, int n);
