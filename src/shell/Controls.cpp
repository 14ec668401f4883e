#include "shell/Controls.h"

#include <QMouseEvent>
#include <algorithm>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace zampli {

void ClickTracker::press(const QMouseEvent *e)
{
    pressed_ = e->button() == Qt::LeftButton;
}

bool ClickTracker::release(const QMouseEvent *e, const QRect &area)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton && area.contains(e->position().toPoint());
    pressed_ = false;
    return click;
}

void ClickLabel::mousePressEvent(QMouseEvent *e)
{
    click_.press(e);
    QLabel::mousePressEvent(e);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *e)
{
    const bool click = click_.release(e, rect());
    QLabel::mouseReleaseEvent(e);
    if (click)
        emit clicked();
}

PictureBox::PictureBox(QWidget *parent) : QWidget(parent) {}

void PictureBox::setPicture(std::optional<QImage> image, const QString &placeholderText)
{
    image_ = image ? std::move(*image) : QImage();
    placeholder_ = image_.isNull() ? placeholderText : QString();
    // An empty box is see-through, as an empty picture box is; a full one
    // paints every pixel, so nothing behind it needs repainting.
    setAttribute(Qt::WA_OpaquePaintEvent, !image_.isNull() || !placeholder_.isEmpty());
    update();
}

void PictureBox::clear()
{
    setPicture(std::nullopt, QString());
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!image_.isNull()) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(rect(), image_);
        return;
    }
    if (placeholder_.isEmpty())
        return;
    p.fillRect(rect(), QColor(250, 248, 235));
    p.setPen(QPen(QColor(150, 150, 150), 2, Qt::DashLine));
    p.drawRect(rect().adjusted(1, 1, -2, -2));
    QFont f = font();
    f.setBold(true);
    const int chars = qMax<qsizetype>(1, placeholder_.size());
    f.setPixelSize(qMax(8, qMin(height() * 2 / 3, width() * 3 / 2 / int(chars))));
    p.setFont(f);
    p.setPen(QColor(60, 60, 60));
    p.drawText(rect(), Qt::AlignCenter, placeholder_);
}

void PictureBox::mousePressEvent(QMouseEvent *e)
{
    click_.press(e);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *e)
{
    if (click_.release(e, rect()))
        emit clicked();
}

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

PictureButton::PictureButton(Art art, QWidget *parent) : QPushButton(parent), art_(art)
{
    setFocusPolicy(Qt::TabFocus);
}

void PictureButton::resizeEvent(QResizeEvent *e)
{
    QPushButton::resizeEvent(e);
    const int side = qMax(1, qMin(width(), height()) * 3 / 4);
    setIcon(QIcon(Artwork::pixmap(art_, QSize(side, side))));
    setIconSize(QSize(side, side));
}

} // namespace zampli
