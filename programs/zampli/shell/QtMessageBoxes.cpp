// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/QtMessageBoxes.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QtMath>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

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

// The question's line: its icon, if any, and its text, centred.
static QHBoxLayout *questionLine(const MessageBox &box, QDialog &dialog, int pixels)
{
    auto *line = new QHBoxLayout;
    line->addStretch();
    if (box.icon != MessageBox::Icon::None) {
        auto *picture = new QLabel;
        const auto which = box.icon == MessageBox::Icon::Question ? QStyle::SP_MessageBoxQuestion
                                                                   : QStyle::SP_MessageBoxInformation;
        // The style draws it 32 pixels at most: grown to the words' size.
        picture->setPixmap(dialog.style()->standardIcon(which).pixmap(128).scaled(
            2 * pixels, 2 * pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        line->addWidget(picture);
    }
    line->addWidget(new QLabel(box.text));
    line->addStretch();
    return line;
}

// OK, or Sì and No (Escape answers No, as in the small box), centred, each
// at least `least` in size so that a finger finds it on the whiteboard.
static QHBoxLayout *answerLine(bool ok, QDialog &dialog, QSize least)
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const auto button = [&](const QString &caption, int answer) {
        auto *b = new QPushButton(caption);
        b->setMinimumSize(least);
        QObject::connect(b, &QPushButton::clicked, &dialog, [&dialog, answer] { dialog.done(answer); });
        buttons->addWidget(b);
        return b;
    };
    button(ok ? QStringLiteral("OK") : QStringLiteral("Sì"), QDialog::Accepted)->setDefault(true);
    if (!ok)
        button(QStringLiteral("No"), QDialog::Rejected);
    buttons->addStretch();
    return buttons;
}

// Dims the window behind the box: the exercise stays in sight, plainly not
// the thing to answer now.
class Dimmer final : public QWidget {
public:
    explicit Dimmer(QWidget &window) : QWidget(&window)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(window.rect());
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 128)); }
};

// The box over a program that fills the screen: in the middle of it, half
// its width, its words large enough to read across a classroom and its
// buttons at least a centimetre high, whatever the screen's pixels.
static MessageBox::Answer askFullScreen(const MessageBox &box, QWidget *parent)
{
    QWidget &window = *parent->window();
    QDialog dialog(&window, Qt::Dialog | Qt::FramelessWindowHint);
    dialog.setObjectName(QStringLiteral("fullScreenQuestion"));
    dialog.setWindowTitle(box.title);
    const QScreen *screen = window.screen();
    const double centimetre = (screen ? screen->physicalDotsPerInchY() : 96.0) / 2.54;
    QFont f = dialog.font();
    f.setPixelSize(qMax(12, window.height() / 20));
    // A style sheet would put the desktop's font back on every child: the
    // size goes in it too.
    dialog.setStyleSheet(QStringLiteral("#fullScreenQuestion { border: 4px solid black; } * { font-size: %1px; }")
                             .arg(f.pixelSize()));
    dialog.setFont(f);
    const int high = qMax(qCeil(centimetre), f.pixelSize() * 8 / 5);
    const QSize least(qMax(qCeil(3 * centimetre), 4 * f.pixelSize()), high);
    const bool ok = box.buttons == MessageBox::Buttons::Ok;
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(f.pixelSize(), f.pixelSize(), f.pixelSize(), f.pixelSize());
    layout->addStretch();
    layout->addLayout(questionLine(box, dialog, f.pixelSize()));
    layout->addSpacing(f.pixelSize());
    layout->addLayout(answerLine(ok, dialog, least));
    layout->addStretch();
    const QSize size = QSize(window.width() / 2, window.height() * 2 / 5).expandedTo(dialog.sizeHint());
    dialog.setGeometry(QRect(QPoint(), size).translated(window.geometry().center() - QRect(QPoint(), size).center()));
    Dimmer dimmer(window);
    const int answer = dialog.exec();
    return ok ? MessageBox::Answer::Ok : answer == QDialog::Accepted ? MessageBox::Answer::Yes : MessageBox::Answer::No;
}

MessageBox::Answer QtMessageBoxes::show(const MessageBox &box, QWidget *parent)
{
    if (parent && parent->window()->isFullScreen())
        return askFullScreen(box, parent);
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
