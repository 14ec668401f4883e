// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace zampli {
class SoundPlayer;
}

namespace zampli::teacher {

class VoiceRecorder;

// What the tabs share: the player that lets the teacher hear a voice and the
// microphone.
struct TeacherServices {
    SoundPlayer &player;
    VoiceRecorder &recorder;
};

} // namespace zampli::teacher
