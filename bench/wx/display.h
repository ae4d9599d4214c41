// The toolkit session the drawing benchmarks need: drawing into the off-screen
// image needs a display (run the benchmarks under xvfb-run).
#pragma once

// Starts the toolkit; false when there is no display to draw on.
bool StartDisplay(int& argc, char** argv);
bool DisplayReady();
void StopDisplay();
