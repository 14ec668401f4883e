// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zampli::teacher {

// What the teacher does with the folder open, from the File menu. Each
// returns the line for the status bar, empty when she changed her mind or
// was told in a message why it could not be done.

// Starts the child's program of `folder` through the copy's own link.
QString startProgramIn(QWidget *parent, const QString &folder);
// Writes the copy to a .zampli file she names.
QString exportCopy(QWidget *parent, const QString &folder);

// A copy of the program she picks, one holding «testi»; empty when she
// changed her mind or was told it is not one.
QString chooseCopyFolder(QWidget *parent, const QString &current);

// Her own copy of `folder`, where she keeps her copies.
struct OwnCopy {
    QString folder; // empty when none was made
    QString message;
};
OwnCopy makeOwnCopy(QWidget *parent, const QString &folder);

} // namespace zampli::teacher
