// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;
class QTreeWidget;

namespace zampli::teacher {

// The personal copies the desktop menu knows: make one, open one, remove one
// with its menu entry.
class CopiesTab : public QWidget {
    Q_OBJECT
public:
    explicit CopiesTab(QWidget *parent = nullptr);
    void refresh();

signals:
    void openCopy(const QString &folder);

private:
    void makeNew();
    void openSelected();
    void removeSelected();
    int selected() const;

    QTreeWidget *list_ = nullptr;
    QLabel *message_ = nullptr;
};

} // namespace zampli::teacher
