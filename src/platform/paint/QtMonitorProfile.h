// The monitor's colour profile as the desktop announces it.
#pragma once

#include <cstdint>
#include <vector>

// The profile the X11 desktop publishes on the root window (the _ICC_PROFILE property of the
// first screen); empty on other platforms or when none is published.
std::vector<uint8_t> DesktopMonitorProfile();
// Hands the desktop's profile to the views' colour management (sRGB when there is none).
void InstallMonitorColorProfile();
