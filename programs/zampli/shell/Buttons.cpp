// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/Buttons.h"

#include "shell/Controls.h"
#include "shell/DesignCanvas.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <algorithm>

namespace zampli {

QStringList splitAtWidestGap(const QString &text)
{
    const QString words = text.trimmed();
    qsizetype best = -1, bestLength = 0;
    for (qsizetype i = 0; i < words.size();) {
        if (words[i] != QLatin1Char(' ')) {
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < words.size() && words[j] == QLatin1Char(' '))
            ++j;
        // Prefer the widest gap; among equals, the one nearest the middle.
        const auto distance = [&](qsizetype at) { return qAbs(at - words.size() / 2); };
        if (j - i > bestLength || (j - i == bestLength && distance(i) < distance(best))) {
            best = i;
            bestLength = j - i;
        }
        i = j;
    }
    if (best < 0)
        return {text};
    return {words.left(best), words.mid(best + bestLength)};
}

CaptionButton::Caption CaptionButton::caption() const
{
    const QRect area = rect().adjusted(3, 0, -3, 0);
    const QStringList twoLines = splitAtWidestGap(text());
    QFont f = font();
    for (; f.pixelSize() > 6; f.setPixelSize(f.pixelSize() - 1)) {
        const QFontMetrics fm(f);
        if (fm.horizontalAdvance(text()) <= area.width() && fm.height() <= area.height())
            return {f, {text()}};
        const bool fits = fm.height() * twoLines.size() <= area.height() &&
                          std::all_of(twoLines.begin(), twoLines.end(), [&](const QString &line) {
                              return fm.horizontalAdvance(line) <= area.width();
                          });
        if (fits)
            return {f, twoLines};
    }
    return {f, twoLines};
}

void CaptionButton::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    p.drawControl(QStyle::CE_PushButton, option);

    const Caption c = caption();
    const QFontMetrics fm(c.font);
    p.setFont(c.font);
    p.setPen(palette().color(QPalette::ButtonText));
    const int lineHeight = fm.height();
    int y = (height() - lineHeight * int(c.lines.size())) / 2;
    for (const QString &line : c.lines) {
        p.drawText(QRect(0, y, width(), lineHeight), Qt::AlignCenter, line);
        y += lineHeight;
    }
}

// Return and Enter click a focused button as Space does (the button takes
// Space itself); a key held down clicks once.
static bool clickedByReturn(QPushButton &button, QKeyEvent *e)
{
    if (!isPressKey(e) || e->key() == Qt::Key_Space)
        return false;
    e->accept();
    if (!e->isAutoRepeat())
        button.click();
    return true;
}

void CaptionButton::keyPressEvent(QKeyEvent *e)
{
    if (!clickedByReturn(*this, e))
        QPushButton::keyPressEvent(e);
}

void PictureButton::keyPressEvent(QKeyEvent *e)
{
    if (!clickedByReturn(*this, e))
        QPushButton::keyPressEvent(e);
}

PictureButton::PictureButton(QWidget *parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::setPicture(Art art)
{
    art_ = art;
    drawPicture();
}

void PictureButton::resizeEvent(QResizeEvent *e)
{
    QPushButton::resizeEvent(e);
    drawPicture();
}

void PictureButton::drawPicture()
{
    if (!art_)
        return;
    const int side = qMax(1, qMin(width(), height()) * 3 / 4);
    setIcon(QIcon(Artwork::pixmap(*art_, QSize(side, side))));
    setIconSize(QSize(side, side));
}

static PictureButton *addPictureButton(DesignCanvas &canvas, const QString &name, const QRect &twips, Art picture,
                                       Art pointer)
{
    auto *button = canvas.add<PictureButton>(name, {.twips = twips, .pointer = pointer});
    button->setPicture(picture);
    return button;
}

PictureButton *addNextButton(DesignCanvas &canvas, const QString &name, const QRect &twips)
{
    return addPictureButton(canvas, name, twips, Art::NextArrow, Art::NextArrow);
}

PictureButton *addListenAgainButton(DesignCanvas &canvas, const QString &name, const QRect &twips)
{
    return addPictureButton(canvas, name, twips, Art::FigureCard, Art::SpeakerNotes);
}

} // namespace zampli
