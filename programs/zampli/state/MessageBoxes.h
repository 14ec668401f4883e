// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zampli {

inline const QString kProgramTitle = QStringLiteral("ZAMPLI");

struct MessageBox {
    enum class Icon { None, Question, Information };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
    QString title = kProgramTitle;
    QString text;

    bool operator==(const MessageBox &) const = default;
};

// Modal message boxes, in Italian.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageBox::Answer show(const MessageBox &box, QWidget *parent) = 0;

    bool askYesNo(const QString &text, QWidget *parent);
    void inform(const QString &text, QWidget *parent);
    void tell(const QString &text, QWidget *parent); // OK, no icon
};

} // namespace zampli
