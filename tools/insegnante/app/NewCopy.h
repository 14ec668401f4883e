// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Copies.h"

#include <QString>

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

// `base`, or "`base` 2", "`base` 3"...: the first name not taken in `where`.
QString freeName(const QString &where, const QString &base);

} // namespace zampli::teacher
