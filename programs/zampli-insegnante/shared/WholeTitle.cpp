// SPDX-License-Identifier: GPL-3.0-or-later
#include "shared/WholeTitle.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QWidget>

#include <algorithm>

namespace zampli::teacher {

namespace {

// What a title bar takes beside its text: the window's buttons, an icon, margins.
constexpr int kTitleBarRest = 160;

} // namespace

void keepTitleWhole(QWidget *dialog)
{
    QFont bold = dialog->font();
    bold.setBold(true);
    const QString shown = QGuiApplication::applicationDisplayName().isEmpty()
                              ? dialog->windowTitle()
                              : dialog->windowTitle() + QStringLiteral(" — ") + QGuiApplication::applicationDisplayName();
    dialog->setMinimumWidth(std::max(dialog->minimumWidth(), QFontMetrics(bold).horizontalAdvance(shown) + kTitleBarRest));
}

} // namespace zampli::teacher
