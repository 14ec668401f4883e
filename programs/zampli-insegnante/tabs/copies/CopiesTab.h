// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "copies/Copies.h"

#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace zampli::teacher {

// The personal copies the desktop menu knows: make one, open one, bring an
// old one up to date, remove one with its menu entry (its folder to the
// trash), carry one to another computer as a file (.zampli) and make a copy
// from such a file. The copy open in the window cannot be removed.
class CopiesTab : public QWidget {
    Q_OBJECT
public:
    explicit CopiesTab(const QString &openFolder, QWidget *parent = nullptr);
    void refresh();
    // Makes a new copy from a copy's file, then opens it.
    void importFile();

signals:
    void openCopy(const QString &folder);

private:
    void makeNew();
    void openSelected();
    void updateSelected();
    void removeSelected();
    void exportSelected();
    // What a new copy came to, which is then opened; nothing when the teacher changed her mind.
    void showMade(const std::optional<copies::CopyResult> &made);
    void showSelected();
    int selected() const;

    QString openFolder_;
    QTreeWidget *list_ = nullptr;
    QPushButton *update_ = nullptr;
    QPushButton *remove_ = nullptr;
    QPushButton *export_ = nullptr;
    QLabel *message_ = nullptr;
};

} // namespace zampli::teacher
