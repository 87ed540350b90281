#include "dialogs/FlashMessage.h"

std::uint16_t flashStepIntervalFor(FlashDuration duration, std::chrono::milliseconds customTime)
{
    using namespace std::chrono_literals;
    const std::chrono::milliseconds shown = duration == FlashDuration::Standard ? 3000ms
                                            : duration == FlashDuration::Long   ? 30000ms
                                                                                : customTime;
    const auto held = static_cast<std::uint16_t>(shown.count());
    return static_cast<std::uint16_t>(held / kFlashSteps);
}
