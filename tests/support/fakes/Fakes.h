// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/Clock.h"
#include "app/Programma.h"
#include "state/Modulo1.h"
#include "rules_fakes/ScriptedRandom.h"
#include "media/ProblemLog.h"
#include "media/SoundPlayer.h"
#include "state/AnswerLog.h"
#include "state/MessageBoxes.h"

class QWidget;

namespace zampli {
class Form;
}

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace zampli::test {

class FakeClock final : public Clock {
public:
    double secondsSinceMidnight() const override { return now; }
    void advance(double seconds);
    double now = 36000; // ten in the morning
};

// Records every path it is asked to play, in order.
class RecordingSoundPlayer final : public SoundPlayer {
public:
    void play(const QString &path) override
    {
        played << path;
        if (onPlay)
            onPlay(path);
    }
    QStringList played;
    std::function<void(const QString &)> onPlay; // e.g. to route it as the program does
};

// Records every box shown and answers with scripted answers (No by default).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    MessageBox::Answer show(const MessageBox &box, QWidget *parent) override;
    std::vector<MessageBox> shown;
    std::deque<MessageBox::Answer> answers;
    std::function<void(const MessageBox &)> onShow; // e.g. to look at the screen meanwhile
};

// Records every answer the windows leave, and passes each on to `also`
// when set (a real database, say).
class RecordingAnswerLog final : public AnswerLog {
public:
    void sessionStarted() override
    {
        ++sessions;
        if (also)
            also->sessionStarted();
    }
    void record(const AnswerRecord &answer) override
    {
        recorded.push_back(answer);
        if (also)
            also->record(answer);
    }
    std::vector<AnswerRecord> recorded;
    int sessions = 0;
    AnswerLog *also = nullptr;
};

// A whole program with fakes all round and a temporary media folder.
struct Harness {
    Harness();
    // The program reads its media from `mediaFolder` instead of an empty temporary one.
    explicit Harness(const QString &mediaFolder);
    ~Harness();

    QTemporaryDir folder;
    ScriptedRandom random;
    FakeClock clock;
    RecordingSoundPlayer sound;
    RecordingMessageBoxes boxes;
    QStringList problems;
    ProblemLog log{[this](const QString &line) { problems << line; }};
    int programEnds = 0;
    RecordingAnswerLog answers;
    std::unique_ptr<Programma> programma;
    Modulo1 *modulo = nullptr;   // the program's shared state
    Windows *windows = nullptr;  // its one instance of each window

    MediaPaths media() const { return modulo->services.media; }
    // Writes a small picture file at the path.
    void writePicture(const QString &path, const QColor &colour = Qt::darkGreen) const;
    // Writes every letter picture and face the listening windows name.
    void writeVowelPictures() const;
};

// Clicks `w` with the left button as a child would, through the window. Fails
// the test instead when no child could: the control is hidden, disabled, or
// its window is not on screen.
void clickAsUser(QWidget *w, QPoint at = {});

// The Opzioni item of a window that carries the check mark, or -1.
int checkedStyleItem(const Form &form);

} // namespace zampli::test
