// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {

class AnswerLog;
class Clock;
class MediaPaths;
class MessageBoxes;
class PictureLoader;
class ProblemLog;
class Random;
class Speaker;
struct SharedCounters;

// What an exercise window may use of the program, and nothing more.
struct ExerciseServices {
    Speaker &speaker;
    SharedCounters &counters;
    Random &random;
    const Clock &clock;
    const MediaPaths &media;
    const PictureLoader &pictures;
    MessageBoxes &messages;
    ProblemLog &problems;
    AnswerLog &answers;
};

} // namespace zampli
