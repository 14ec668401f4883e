// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Artwork.h"

#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QSvgRenderer>

namespace zampli {

namespace {

struct ArtInfo {
    const char *resource;
    QPointF hotSpot; // in the 32 x 32 design of the pointer
};

ArtInfo info(Art art)
{
    switch (art) {
    case Art::CursorArrow: return {":/cursor-arrow.svg", {3, 1}};
    case Art::NextArrow: return {":/next-arrow.svg", {16, 16}};
    case Art::FigureCard: return {":/figure-card.svg", {16, 16}};
    case Art::SpeakerNotes: return {":/speaker-notes.svg", {5, 16}};
    case Art::Icon: return {":/icon.svg", {16, 16}};
    case Art::Smile: return {":/smile.svg", {16, 16}};
    case Art::Sad: return {":/sad.svg", {16, 16}};
    case Art::Aeroplane: return {":/aeroplane.svg", {16, 16}};
    }
    return {":/icon.svg", {16, 16}};
}

QSvgRenderer &renderer(Art art)
{
    static QHash<int, QSvgRenderer *> renderers;
    QSvgRenderer *&r = renderers[int(art)];
    if (!r) {
        // Lives for the whole run, like the resource it reads.
        static QObject owner;
        r = new QSvgRenderer(QString::fromLatin1(info(art).resource), &owner);
    }
    return *r;
}

} // namespace

QPixmap Artwork::pixmap(Art art, const QSize &size)
{
    QPixmap pm(size.expandedTo(QSize(1, 1)));
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    renderer(art).render(&p, QRectF(QPointF(0, 0), QSizeF(pm.size())));
    return pm;
}

QCursor Artwork::cursor(Art art, int sizePixels)
{
    static QHash<quint64, QCursor> cache;
    const quint64 key = (quint64(art) << 32) | quint32(sizePixels);
    if (auto it = cache.constFind(key); it != cache.constEnd())
        return *it;
    const qreal scale = sizePixels / 32.0;
    const QPointF hot = info(art).hotSpot * scale;
    QCursor c(pixmap(art, QSize(sizePixels, sizePixels)), qRound(hot.x()), qRound(hot.y()));
    cache.insert(key, c);
    return c;
}

QIcon Artwork::windowIcon()
{
    // Drawn once: every window that loads carries it.
    static const QIcon icon = [] {
        QIcon i;
        for (int s : {16, 32, 48, 64, 128})
            i.addPixmap(pixmap(Art::Icon, QSize(s, s)));
        return i;
    }();
    return icon;
}

} // namespace zampli
