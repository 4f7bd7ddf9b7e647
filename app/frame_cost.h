#pragma once
/// The cost line of the F6 overlay: the share of the frame period spent on
/// the forest and the grass update.
#include "util/frame_clock.h"
#include <string>

/// previousFrame and frame start two consecutive frames; grass is taken after
/// the grass update of the current frame.
std::string formatCostText(bool grassShown, const util::FrameStamp& previousFrame,
                           const util::FrameStamp& frame, const util::FrameStamp& grass);
