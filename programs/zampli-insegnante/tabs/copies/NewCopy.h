// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "copies/Copies.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace zampli::teacher {

// Where a new copy is suggested: the folder it goes in and its name.
struct CopyPlace {
    QString where;
    QString name;
};

// Asks the teacher for the new copy's name and place, then makes it from the
// media of `source` with a progress window she can stop. Nothing when she
// changed her mind before the copy began; else what the copy came to.
std::optional<copies::CopyResult> makeCopyAsking(QWidget *parent, const QString &source, const CopyPlace &suggested);

// A copy's work, given what tells it how far it is and whether to stop.
using CopyWork = std::function<copies::CopyResult(const copies::Progress &)>;

// Runs `work` on a thread of its own with a progress window (past half a
// second) the teacher can stop; a signal that ends the program is obeyed
// once nothing half made is left.
copies::CopyResult runStoppable(QWidget *parent, const QString &label, const CopyWork &work);

// Asks for a copy's file (*.zampli), then for the new copy's name and place,
// and makes it. Nothing when the teacher changed her mind.
std::optional<copies::CopyResult> importCopyAsking(QWidget *parent, const QString &programFolder);

// Asks where to write the copy in `folder` as one file, and writes it.
// Nothing when the teacher changed her mind.
std::optional<copies::CopyResult> exportCopyAsking(QWidget *parent, const QString &folder);

// The one folder every new copy is suggested in: ~/ZAMPLI, or the home
// folder when the system does not say which it is.
QString newCopiesFolder();

} // namespace zampli::teacher
