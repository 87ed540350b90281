#pragma once

// The contents of a flash message and the timing of its countdown: the display
// time runs out in five steps of the countdown bar.

#include <QString>
#include <array>
#include <chrono>
#include <cstdint>

// How long a flash message stays when nobody presses its button.
enum class FlashDuration {
    Standard,  // 3 seconds
    Long,      // 30 seconds
    Custom,    // FlashMessage::customTime
};

struct FlashMessage {
    QString caption;
    QString headline;
    std::array<QString, 5> lines;
    FlashDuration duration = FlashDuration::Standard;
    std::chrono::milliseconds customTime{0};
};

inline constexpr int kFlashSteps = 5;

// The time of one countdown step, held in 16 bits as the dialog keeps it: the
// display time cut to 16 bits, divided by the five steps. A custom time below
// 5 ms gives a step of 0, which never ends: the message then waits for its button.
std::uint16_t flashStepIntervalFor(FlashDuration duration, std::chrono::milliseconds customTime = {});
