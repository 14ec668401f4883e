// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TeacherTabs.h"
#include "fakes/Fakes.h"
#include "imports/VoiceRecorder.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"
#include "window/MainWindow.h"

#include <QTabBar>
#include <QTabWidget>
#include <QtTest>

namespace zampli::test {

// The teacher's window on `folder`, shown and in front, with a sound player
// that only records what it was asked to play.
struct TeacherWindow {
    RecordingSoundPlayer player;
    teacher::VoiceRecorder recorder; // probed only by a test that records
    teacher::TeacherServices services{player, recorder};
    teacher::MainWindow window{services};

    explicit TeacherWindow(const QString &folder)
    {
        window.openFolder(folder);
        window.resize(1000, 700);
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            qFatal("the window is not active");
    }

    // Clicks the tab whose caption is `text`, as the teacher does; false when there is none.
    bool clickTab(const QString &text) { return test::clickTab(window.tabs(), text); }
};

} // namespace zampli::test
