// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/ButtonDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace zampli::teacher {

namespace {

bool isEnabled(const QModelIndex &index)
{
    const QVariant enabled = index.data(ButtonDelegate::EnabledRole);
    return !enabled.isValid() || enabled.toBool();
}

// The keys that press a focused push button.
bool pressesButton(const QKeyEvent *key)
{
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    return plain && (key->key() == Qt::Key_Space || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                     key->key() == Qt::Key_Select);
}

} // namespace

ButtonDelegate::ButtonDelegate(QAbstractItemView *view) : QStyledItemDelegate(view), view_(view), viewport_(view->viewport())
{
    view_->installEventFilter(this);
    viewport_->installEventFilter(this);
}

QRect ButtonDelegate::buttonRect(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionButton button;
    button.text = index.data(Qt::DisplayRole).toString();
    const QSize text = option.fontMetrics.size(Qt::TextShowMnemonic, button.text);
    const QSize size = view_->style()->sizeFromContents(QStyle::CT_PushButton, &button, text, view_);
    return QStyle::alignedRect(option.direction, Qt::AlignCenter, size.boundedTo(option.rect.size()), option.rect);
}

void ButtonDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // The cell's ground shows the row's selection; the focus goes on the button.
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    cell.text.clear();
    cell.state &= ~QStyle::State_HasFocus;
    view_->style()->drawControl(QStyle::CE_ItemViewItem, &cell, painter, view_);

    QStyleOptionButton button;
    button.rect = buttonRect(option, index);
    button.text = index.data(Qt::DisplayRole).toString();
    button.palette = option.palette;
    button.fontMetrics = option.fontMetrics;
    button.direction = option.direction;
    const bool enabled = (option.state & QStyle::State_Enabled) && isEnabled(index);
    button.state = enabled ? QStyle::State_Enabled : QStyle::State_None;
    button.state |= enabled && pressed_ == index ? QStyle::State_Sunken : QStyle::State_Raised;
    button.state |= option.state & QStyle::State_HasFocus;
    if (!enabled)
        button.palette.setCurrentColorGroup(QPalette::Disabled);
    view_->style()->drawControl(QStyle::CE_PushButton, &button, painter, view_);
}

QSize ButtonDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return buttonRect(option, index).size() + QSize(8, 8);
}

void ButtonDelegate::setPressed(const QModelIndex &index)
{
    if (pressed_.isValid())
        view_->update(pressed_);
    pressed_ = index;
    if (pressed_.isValid())
        view_->update(pressed_);
}

// A click is a press and a release on the same enabled button. The press
// goes on to the view, which selects the row as for any other cell.
bool ButtonDelegate::editorEvent(QEvent *event, QAbstractItemModel *, const QStyleOptionViewItem &option,
                                 const QModelIndex &index)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseButtonRelease)
        return false;
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const bool onButton = mouse->button() == Qt::LeftButton && isEnabled(index) &&
                          buttonRect(option, index).contains(mouse->position().toPoint());
    if (type != QEvent::MouseButtonRelease) {
        if (onButton)
            setPressed(index);
        return false;
    }
    const bool click = onButton && pressed_ == index;
    setPressed({});
    if (click)
        emit clicked(index);
    return click;
}

bool ButtonDelegate::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == view_ && event->type() == QEvent::KeyPress) {
        const QModelIndex current = view_->currentIndex();
        if (pressesButton(static_cast<QKeyEvent *>(event)) && current.isValid() &&
            view_->itemDelegateForIndex(current) == this && isEnabled(current)) {
            emit clicked(current);
            return true;
        }
    }
    // A release away from the pressed button reaches no delegate: it is let go here.
    if (watched == viewport_ && event->type() == QEvent::MouseButtonRelease && pressed_.isValid() &&
        view_->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()) != pressed_)
        setPressed({});
    // The base class would take the view for an editor and close it on Enter.
    if (watched == view_ || watched == viewport_)
        return false;
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace zampli::teacher
