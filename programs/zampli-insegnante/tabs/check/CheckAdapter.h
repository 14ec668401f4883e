// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace zampli::teacher {

// What the teacher can do about a finding, one button each.
enum class Fix { ImportPicture, RecordVoice, ImportVoice, ConvertVoice, RenameCase, OpenList, PutInstalled };

struct Finding {
    QString file;    // relative to the folder, as the check names it
    QString what;    // the check's own words
    QList<Fix> fixes; // empty: nothing here to press
    QString foundAs; // RenameCase: the file as it is on disk, relative
    bool problem = true; // false: a note, harmless to the child
};

// The folder checked by zampli-verifica's own code, each line turned into a
// finding with its fix.
QList<Finding> checkFolder(const QString &folder);

} // namespace zampli::teacher
