#include "shell/QtMessageBoxes.h"

#include <QMessageBox>
#include <QPushButton>

namespace zampli {

static QMessageBox::Icon qtIcon(MessageBox::Icon icon)
{
    switch (icon) {
    case MessageBox::Icon::Question: return QMessageBox::Question;
    case MessageBox::Icon::Information: return QMessageBox::Information;
    case MessageBox::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

MessageBox::Answer QtMessageBoxes::show(const MessageBox &box, QWidget *parent)
{
    QMessageBox dialog(qtIcon(box.icon), box.title, box.text, QMessageBox::NoButton, parent);
    // Our own captions: the toolkit's would follow the system language.
    if (box.buttons == MessageBox::Buttons::Ok) {
        dialog.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        dialog.exec();
        return MessageBox::Answer::Ok;
    }
    QPushButton *yes = dialog.addButton(QStringLiteral("Sì"), QMessageBox::YesRole);
    QPushButton *no = dialog.addButton(QStringLiteral("No"), QMessageBox::NoRole);
    dialog.setDefaultButton(yes);
    dialog.setEscapeButton(no);
    dialog.exec();
    return dialog.clickedButton() == yes ? MessageBox::Answer::Yes : MessageBox::Answer::No;
}

} // namespace zampli
