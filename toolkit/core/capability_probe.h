// What the system can draw: the alpha-blending entry of msimg32 (held until
// shut-down) and whether themed drawing is possible.
#pragma once
#include <stdint.h>
#include <windows.h>

void CapabilityProbeStart();
void CapabilityProbeEnd();

HMODULE CapabilityAlphaBlendModule();
FARPROC CapabilityAlphaBlend();
int32_t CapabilityVisualStyles();

// The decisions behind the probe, open to tests: whether the system version
// (null when GetVersionExA failed) still allows themes, and the themed test
// given the common-controls version and IsAppThemed's answer (-1: missing).
int32_t CapabilityVersionAllowsThemes(const OSVERSIONINFOA* version);
int32_t CapabilityThemedDecide(uint32_t commonControlsVersion, int32_t appThemed);
