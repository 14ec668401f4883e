// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "media/MediaPaths.h"

#include <functional>

namespace zampli {

class AnswerLog;
class Random;
class Clock;
class SoundPlayer;
class MessageBoxes;
class ProblemLog;

// Everything outside the program that it reads or drives, handed in at start
// so that tests can put their own in its place.
struct Services {
    Random &random;
    Clock &clock;
    SoundPlayer &sound;
    MessageBoxes &boxes;
    ProblemLog &problems;
    AnswerLog &answers; // where the child's answers are kept
    MediaPaths media;
    std::function<void()> endProgram; // ends the run at once
};

} // namespace zampli
