// SPDX-License-Identifier: GPL-3.0-or-later
#include "media/Artwork.h"

#include <QHash>
#include <QIcon>
#include <QImageReader>
#include <QPointer>

#include <utility>
#include <vector>

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

struct Hold {
    bool held = false;
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> waiting;
};

Hold &hold()
{
    static Hold h;
    return h;
}

} // namespace

QPixmap Artwork::pixmap(Art art, const QSize &size)
{
    // Through Qt's SVG image plugin, loaded at the first picture: linked
    // into the program, its library would be loaded before the first window.
    const QSize pixels = size.expandedTo(QSize(1, 1));
    QImageReader reader(QString::fromLatin1(info(art).resource), "svg");
    reader.setScaledSize(pixels);
    const QImage image = reader.read();
    if (image.isNull()) {
        QPixmap empty(pixels);
        empty.fill(Qt::transparent);
        return empty;
    }
    return QPixmap::fromImage(image);
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

void Artwork::holdPointers()
{
    hold().held = true;
}

bool Artwork::pointersHeld()
{
    return hold().held;
}

void Artwork::whenPointersReleased(QObject *context, std::function<void()> then)
{
    hold().waiting.emplace_back(context, std::move(then));
}

void Artwork::releasePointers()
{
    Hold &h = hold();
    h.held = false;
    for (auto &[context, then] : std::exchange(h.waiting, {}))
        if (context)
            then();
}

} // namespace zampli
