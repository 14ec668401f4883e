// SPDX-License-Identifier: GPL-3.0-or-later
#include "FaceArt.h"

#include "Canvas.h"

#include <QPainter>
#include <QPainterPath>

namespace mediagen {

namespace {

const QColor skin(0xFA, 0xD4, 0xB0);
const QColor skinLine(0xB9, 0x7A, 0x56);
const QColor hair(0x6B, 0x3E, 0x26);
const QColor cheek(0xFF, 0x8A, 0x8A, 110);
const QColor lips(0xD2, 0x45, 0x4B);
const QColor lipLine(0x9E, 0x25, 0x2D);
const QColor mouthInside(0x5B, 0x16, 0x1F);
const QColor tongue(0xF0, 0x7C, 0x86);
const QColor iris(0x3B, 0x6E, 0xA5);

constexpr QPointF faceCentre(200, 200);
constexpr qreal faceRadius = 150;
constexpr QPointF mouthCentre(200, 282);

QPen line(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QPainterPath ellipse(QPointF centre, qreal width, qreal height)
{
    QPainterPath path;
    path.addEllipse(centre, width / 2, height / 2);
    return path;
}

// An open mouth: lips around a dark inside, a tongue at the bottom and,
// when asked, the upper teeth.
void drawOpenMouth(QPainter &painter, const QPainterPath &opening, qreal lipWidth, bool upperTeeth)
{
    painter.setPen(line(lips, lipWidth));
    painter.setBrush(mouthInside);
    painter.drawPath(opening);

    const QRectF box = opening.boundingRect();
    painter.save();
    painter.setClipPath(opening);
    painter.setPen(Qt::NoPen);
    painter.setBrush(tongue);
    painter.drawEllipse(QPointF(box.center().x(), box.bottom()), box.width() * 0.38, box.height() * 0.42);
    if (upperTeeth) {
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(box.left(), box.top(), box.width(), box.height() * 0.22));
    }
    painter.restore();

    painter.setPen(line(lipLine, 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(opening);
}

void drawA(QPainter &painter)
{
    // The jaw dropped: the widest and deepest opening of the five, its top
    // nearly flat under the upper teeth and its bottom a broad curve, so it
    // never reads as the small round O.
    const qreal x = mouthCentre.x(), top = 246, bottom = 356, half = 60;
    QPainterPath opening(QPointF(x - half, top));
    opening.quadTo(QPointF(x, top - 10), QPointF(x + half, top));
    opening.cubicTo(QPointF(x + half + 8, top + 60), QPointF(x + half * 0.75, bottom), QPointF(x, bottom));
    opening.cubicTo(QPointF(x - half * 0.75, bottom), QPointF(x - half - 8, top + 60), QPointF(x - half, top));
    drawOpenMouth(painter, opening, 9, true);
}

void drawE(QPainter &painter)
{
    // Flat on top, round below: a wide, half-open mouth.
    const qreal half = 66, top = mouthCentre.y() - 14, depth = 44;
    QPainterPath opening(QPointF(mouthCentre.x() - half, top));
    opening.quadTo(QPointF(mouthCentre.x(), top - 8), QPointF(mouthCentre.x() + half, top));
    opening.cubicTo(QPointF(mouthCentre.x() + half * 0.8, top + depth),
                    QPointF(mouthCentre.x() - half * 0.8, top + depth),
                    QPointF(mouthCentre.x() - half, top));
    drawOpenMouth(painter, opening, 8, true);
}

void drawI(QPainter &painter)
{
    // The widest mouth, flat, both rows of teeth showing.
    const QRectF box(mouthCentre.x() - 88, mouthCentre.y() - 18, 176, 36);
    QPainterPath opening;
    opening.addRoundedRect(box, 18, 18);

    painter.setPen(line(lips, 8));
    painter.setBrush(Qt::white);
    painter.drawPath(opening);

    painter.save();
    painter.setClipPath(opening);
    painter.setPen(line(QColor(0xB0, 0xB0, 0xB8), 2.5));
    painter.drawLine(QPointF(box.left(), box.center().y()), QPointF(box.right(), box.center().y()));
    for (qreal x = box.left() + 22; x < box.right() - 10; x += 22) {
        painter.drawLine(QPointF(x, box.top()), QPointF(x, box.center().y()));
        painter.drawLine(QPointF(x, box.center().y()), QPointF(x, box.bottom()));
    }
    painter.restore();

    painter.setPen(line(lipLine, 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(opening);
    // Cheeks pulled back at the corners.
    painter.setPen(line(skinLine, 3));
    painter.drawArc(QRectF(box.left() - 20, box.top() - 4, 16, 44), 100 * 16, 160 * 16);
    painter.drawArc(QRectF(box.right() + 4, box.top() - 4, 16, 44), -80 * 16, 160 * 16);
}

void drawO(QPainter &painter)
{
    drawOpenMouth(painter, ellipse(mouthCentre, 70, 70), 14, false);
}

void drawU(QPainter &painter)
{
    // Lips pushed forward into a thick ring round a small hole.
    painter.setPen(line(lipLine, 3));
    painter.setBrush(lips);
    painter.drawEllipse(mouthCentre, 30, 27);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mouthInside);
    painter.drawEllipse(mouthCentre, 9, 8);
    // Pucker creases on the lips.
    painter.setPen(line(lipLine, 2.5));
    for (int i = 0; i < 8; ++i) {
        painter.save();
        painter.translate(mouthCentre);
        painter.rotate(i * 45 + 22.5);
        painter.drawLine(QPointF(15, 0), QPointF(25, 0));
        painter.restore();
    }
}

void drawSmile(QPainter &painter)
{
    painter.setPen(line(lipLine, 6));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(mouthCentre.x() - 45, mouthCentre.y() - 40, 90, 60), 200 * 16, 140 * 16);
}

} // namespace

QImage FaceArt::render(QChar vowel) const
{
    QImage canvas = whiteCanvas(pictureSize);
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(qreal(pictureSize.width()) / unitWidth, qreal(pictureSize.width()) / unitWidth);
    // A's jaw drops: the chin comes down to make room for the open mouth.
    drawHead(painter, vowel == QLatin1Char('A') ? 26 : 0);
    drawEyes(painter);
    drawMouth(painter, vowel);
    return canvas;
}

void FaceArt::drawHead(QPainter &painter, qreal jawDrop)
{
    painter.setPen(line(skinLine, 4));
    painter.setBrush(skin);
    // Ears, then the face over them: round above, its lower half longer by the jaw's drop.
    painter.drawEllipse(faceCentre + QPointF(-faceRadius + 4, 10), 24, 30);
    painter.drawEllipse(faceCentre + QPointF(faceRadius - 4, 10), 24, 30);
    const qreal upper = faceRadius * 0.97, lower = upper + jawDrop;
    QPainterPath face;
    face.moveTo(faceCentre + QPointF(faceRadius, 0));
    face.arcTo(QRectF(faceCentre.x() - faceRadius, faceCentre.y() - upper, 2 * faceRadius, 2 * upper), 0, 180);
    face.arcTo(QRectF(faceCentre.x() - faceRadius, faceCentre.y() - lower, 2 * faceRadius, 2 * lower), 180, 180);
    face.closeSubpath();
    painter.drawPath(face);

    // Hair: a cap over the top of the head with a fringe of three locks.
    QPainterPath cap;
    cap.moveTo(faceCentre + QPointF(-faceRadius - 6, 10));
    cap.cubicTo(faceCentre + QPointF(-faceRadius - 10, -faceRadius - 30),
                faceCentre + QPointF(faceRadius + 10, -faceRadius - 30),
                faceCentre + QPointF(faceRadius + 6, 10));
    cap.cubicTo(faceCentre + QPointF(faceRadius - 10, -40), faceCentre + QPointF(90, -75),
                faceCentre + QPointF(45, -80));
    cap.quadTo(faceCentre + QPointF(30, -55), faceCentre + QPointF(0, -72));
    cap.quadTo(faceCentre + QPointF(-25, -50), faceCentre + QPointF(-50, -78));
    cap.cubicTo(faceCentre + QPointF(-90, -75), faceCentre + QPointF(-faceRadius + 10, -40),
                faceCentre + QPointF(-faceRadius - 6, 10));
    painter.setPen(line(hair.darker(130), 3));
    painter.setBrush(hair);
    painter.drawPath(cap);

    painter.setPen(Qt::NoPen);
    painter.setBrush(cheek);
    painter.drawEllipse(faceCentre + QPointF(-88, 48), 26, 18);
    painter.drawEllipse(faceCentre + QPointF(88, 48), 26, 18);

    // A small nose.
    painter.setPen(line(skinLine, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(faceCentre + QPointF(-12, 10), QSizeF(24, 24)), 200 * 16, 140 * 16);
}

void FaceArt::drawEyes(QPainter &painter)
{
    for (const qreal side : {-1.0, 1.0}) {
        const QPointF eye = faceCentre + QPointF(side * 55, -20);
        painter.setPen(line(QColor(0x33, 0x22, 0x22), 3));
        painter.setBrush(Qt::white);
        painter.drawEllipse(eye, 20, 24);
        painter.setPen(Qt::NoPen);
        painter.setBrush(iris);
        painter.drawEllipse(eye + QPointF(0, 3), 12, 13);
        painter.setBrush(QColor(0x1A, 0x1A, 0x1A));
        painter.drawEllipse(eye + QPointF(0, 3), 6.5, 7);
        painter.setBrush(Qt::white);
        painter.drawEllipse(eye + QPointF(4, -2), 3.5, 3.5);
        // Eyebrows raised a little: a cheerful look.
        painter.setPen(line(hair, 6));
        painter.setBrush(Qt::NoBrush);
        painter.drawArc(QRectF(eye + QPointF(-22, -46), QSizeF(44, 24)), 30 * 16, 120 * 16);
    }
}

void FaceArt::drawMouth(QPainter &painter, QChar vowel)
{
    switch (vowel.unicode()) {
    case 'A': drawA(painter); break;
    case 'E': drawE(painter); break;
    case 'I': drawI(painter); break;
    case 'O': drawO(painter); break;
    case 'U': drawU(painter); break;
    default: drawSmile(painter); break;
    }
}

} // namespace mediagen
