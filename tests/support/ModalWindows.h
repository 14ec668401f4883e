// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <QtTest>
#include <functional>

namespace zampli::test {

// Runs `act` on the next modal window of type T (with that object name,
// when one is given) once it shows: a modal window's exec() does not return
// until the test acts on it.
template <class T = QWidget>
void whenModalShows(std::function<void(T *)> act, const QString &name = {})
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, name, act = std::move(act)] {
        auto *modal = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!modal || !modal->isVisible() || (!name.isEmpty() && modal->objectName() != name))
            return;
        timer->stop();
        timer->deleteLater();
        act(modal);
    });
    timer->start(20);
}

// Names `path` in a file window and presses its accepting button, as the
// teacher does. The name is set whole: typed key by key, the window's
// completer races the keys on a slow machine and may take the Return.
inline void acceptFileDialog(QFileDialog *dialog, const QString &path)
{
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    auto *buttons = dialog->findChild<QDialogButtonBox *>();
    if (!name || !buttons)
        qFatal("not the file window the tests know");
    name->setText(path);
    for (QAbstractButton *b : buttons->buttons())
        if (buttons->buttonRole(b) == QDialogButtonBox::AcceptRole)
            return QTest::mouseClick(b, Qt::LeftButton);
    qFatal("a file window without its accepting button");
}

} // namespace zampli::test
