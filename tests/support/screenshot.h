// Screenshots of the windows under test, kept as artefacts of the test run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Where the test run keeps its artefacts: build/artifacts of the tree under test, as Wine
// reaches it; created when missing.
std::string ArtifactsDirectory();

// Saves what the screen shows of the windows (the smallest rectangle around them all; a dialog and
// the window it belongs to, say) as <name>.bmp in the artefacts directory, once two captures in a
// row agree, so that painting has finished. A <name>.png of an earlier run is removed first: the
// test run turns the BMP files into PNG after the tests (tests/support/bmp_to_png.cmake).
// False when nothing could be captured or written.
bool SaveScreenshot(const std::vector<HWND>& windows, const std::string& name);
inline bool SaveScreenshot(HWND window, const std::string& name) {
  return SaveScreenshot(std::vector<HWND>{window}, name);
}
