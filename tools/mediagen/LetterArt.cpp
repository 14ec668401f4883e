// SPDX-License-Identifier: GPL-3.0-or-later
#include "LetterArt.h"

#include "Canvas.h"

#include <QFontInfo>
#include <QPainter>

#include <algorithm>

namespace mediagen {

namespace {

constexpr int margin = 36;

} // namespace

QFont LetterArt::referenceFont(const QString &family, bool bold, QString *error)
{
    QFont font(family);
    font.setPixelSize(referenceSize);
    font.setBold(bold);
    font.setKerning(false);
    if (QFontInfo(font).family() != family)
        *error = QStringLiteral("font \"%1\" not found").arg(family);
    return font;
}

LetterArt::LetterArt(const QFont &font, const QString &letters, qreal stroke,
                     QHash<QChar, QPainterPath> replacements)
    : font_(font)
    , stroke_(stroke)
    , replacements_(std::move(replacements))
{
    scale_ = fitScale(letters);
}

QPainterPath LetterArt::outline(QChar letter) const
{
    const auto replaced = replacements_.constFind(letter);
    if (replaced != replacements_.cend())
        return *replaced;
    // Glyph contours may overlap; even-odd filling would punch holes there.
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addText(0, 0, font_, QString(letter));
    return path;
}

qreal LetterArt::fitScale(const QString &letters) const
{
    qreal width = 1, height = 1;
    for (const QChar letter : letters) {
        const QRectF box = outline(letter).boundingRect();
        width = std::max(width, box.width());
        height = std::max(height, box.height());
    }
    return std::min((pictureSize.width() - 2 * margin) / width,
                    (pictureSize.height() - 2 * margin) / height);
}

QImage LetterArt::render(QChar letter) const
{
    QImage canvas = whiteCanvas(pictureSize);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(pictureSize.width() / 2.0, pictureSize.height() / 2.0);
    painter.scale(scale_, scale_);
    const QPainterPath path = outline(letter);
    painter.translate(-path.boundingRect().center());
    painter.fillPath(path, Qt::black);
    if (stroke_ > 0) {
        const QPen pen(Qt::black, stroke_ / scale_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
    return canvas;
}

} // namespace mediagen
