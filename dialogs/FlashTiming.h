#pragma once

// Timing of the flash message: the display time and the five countdown steps.

#include <cstdint>

inline constexpr std::uint16_t FlashDurationDefault = 3000;
inline constexpr int kFlashSteps = 5;

// The time of one countdown step for a requested display time: below 0 the
// standard 3 seconds, 0 gives 30 seconds, otherwise the time itself; held in
// 16 bits as the dialog keeps it. Below 5 ms the step is 0 and never ends.
std::uint16_t FlashStepIntervalFor(std::int32_t durationMs);
