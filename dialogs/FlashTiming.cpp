#include "dialogs/FlashTiming.h"

std::uint16_t FlashStepIntervalFor(std::int32_t durationMs)
{
    const std::int32_t shown = durationMs < 0 ? FlashDurationDefault : durationMs == 0 ? 30000 : durationMs;
    const auto held = static_cast<std::uint16_t>(shown);
    return static_cast<std::uint16_t>(held / kFlashSteps);
}
