// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fakes/Fakes.h"
#include "imports/VoiceRecorder.h"
#include "shared/TeacherServices.h"

namespace zampli::test {

// The teacher's program's services with a sound player that only records
// what it was asked to play; the microphone is probed only by a test that records.
struct FakeServices {
    RecordingSoundPlayer player;
    teacher::VoiceRecorder recorder;
    teacher::TeacherServices services{player, recorder};
};

} // namespace zampli::test
