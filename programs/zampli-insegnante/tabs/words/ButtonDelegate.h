// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPersistentModelIndex>
#include <QStyledItemDelegate>

class QAbstractItemView;

namespace zampli::teacher {

// Draws the cells of a column as push buttons, labelled with their display
// text, and says when one is pressed: by a click, or by Space or Enter on
// the current cell. Painted, not a widget a row, so a list of 100,000 words
// opens as fast as one of ten.
class ButtonDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // A cell whose data for this role is false draws a disabled button.
    static constexpr int EnabledRole = Qt::UserRole + 1;

    explicit ButtonDelegate(QAbstractItemView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

signals:
    void clicked(const QModelIndex &index);

protected:
    bool editorEvent(QEvent *event, QAbstractItemModel *model, const QStyleOptionViewItem &option,
                     const QModelIndex &index) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRect buttonRect(const QStyleOptionViewItem &option, const QModelIndex &index) const;
    void setPressed(const QModelIndex &index);

    QAbstractItemView *view_;
    // Kept apart: the viewport outlives the view's own part while the view is destroyed.
    QWidget *viewport_;
    QPersistentModelIndex pressed_; // under a mouse button held down
};

} // namespace zampli::teacher
