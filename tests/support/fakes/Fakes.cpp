// SPDX-License-Identifier: GPL-3.0-or-later
#include "fakes/Fakes.h"

#include "shell/Form.h"

#include <QAction>
#include <QImage>
#include <QtTest>

namespace zampli::test {

void FakeClock::advance(double seconds)
{
    now += seconds;
    while (now >= kSecondsPerDay)
        now -= kSecondsPerDay;
}

MessageBox::Answer RecordingMessageBoxes::show(const MessageBox &box, QWidget *)
{
    shown.push_back(box);
    if (onShow)
        onShow(box);
    if (box.buttons == MessageBox::Buttons::Ok)
        return MessageBox::Answer::Ok;
    if (answers.empty())
        return MessageBox::Answer::No;
    const MessageBox::Answer a = answers.front();
    answers.pop_front();
    return a;
}

Harness::Harness() : Harness(QString()) {}

Harness::Harness(const QString &mediaFolder)
{
    const QString media = mediaFolder.isEmpty() ? folder.path() : mediaFolder;
    programma = std::make_unique<Programma>(
        Services{random, clock, sound, boxes, log, answers, MediaPaths(media), [this] { ++programEnds; }});
    modulo = &programma->modulo;
    windows = &programma->windows;
}

Harness::~Harness() = default;

void Harness::writePicture(const QString &path, const QColor &colour) const
{
    QDir().mkpath(QFileInfo(path).path());
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(colour);
    QVERIFY(image.save(path, "JPG"));
}

void Harness::writeVowelPictures() const
{
    for (const char *l : {"A", "E", "I", "O", "U"}) {
        const QString letter = QString::fromLatin1(l);
        writePicture(media().facePicture(letter));
        for (int style = 1; style <= 4; ++style)
            writePicture(media().letterPicture(letter, style));
    }
}

} // namespace zampli::test

namespace zampli::test {

void clickAsUser(QWidget *w, QPoint at)
{
    QVERIFY2(w, "no such control");
    const QString name = w->objectName();
    QVERIFY2(w->isVisible(), qPrintable(name + " is not on screen"));
    QVERIFY2(w->isEnabled(), qPrintable(name + " is disabled"));
    const QPoint point = at.isNull() ? w->rect().center() : at;
    QVERIFY2(w->rect().contains(point), qPrintable(name + ": the point is outside it"));
    // Whatever is really under the pointer there must be the control or part of it.
    QWidget *window = w->window();
    const QPoint inWindow = w->mapTo(window, point);
    QWidget *under = window->childAt(inWindow);
    QVERIFY2(under == w || w->isAncestorOf(under),
             qPrintable(name + " is covered by " + (under ? under->objectName() : QString("nothing"))));
    QTest::mouseClick(w, Qt::LeftButton, {}, point);
}

int checkedStyleItem(const Form &form)
{
    for (int i = 0;; ++i) {
        const auto *item = form.window()->findChild<QAction *>(QStringLiteral("mnuCaratteri_%1").arg(i));
        if (!item)
            return -1;
        if (item->isChecked())
            return i;
    }
}

} // namespace zampli::test
