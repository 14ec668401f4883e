// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace zampli::teacher {

// What the teacher can do about a finding, with one button.
enum class Fix { None, ImportPicture, RecordVoice, ConvertVoice, RenameCase, OpenList };

struct Finding {
    QString file;    // relative to the folder, as the check names it
    QString what;    // the check's own words
    Fix fix = Fix::None;
    QString foundAs; // RenameCase: the file as it is on disk, relative
    bool problem = true; // false: a note, harmless to the child
};

// The folder checked by zampli-verifica's own code, each line turned into a
// finding with its fix.
QList<Finding> checkFolder(const QString &folder);

} // namespace zampli::teacher
