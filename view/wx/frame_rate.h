// Counts the canvas's paints, for measuring the frame rate the window
// reaches. With the environment variable BRIMOSS_FPS_LOG set to a file name,
// every second's count is also appended to that file, one line
// "<seconds since the first paint> <paints in that second>".
#pragma once

// Called by the paint handler once per paint.
void CountPaint();

// Paints so far in this process.
long PaintCount();
