// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the program's SVG icon into a square PNG for the desktop's icon
// theme: zampli-render-icon <in.svg> <size> <out.png>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char *argv[])
{
    // The offscreen platform: this runs at build time, with no display.
    int qtArgc = 3;
    char platform[] = "-platform", offscreen[] = "offscreen";
    char *qtArgv[] = {argv[0], platform, offscreen, nullptr};
    QGuiApplication app(qtArgc, qtArgv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <in.svg> <size> <out.png>\n", argv[0]);
        return 2;
    }
    QSvgRenderer svg(QString::fromLocal8Bit(argv[1]));
    const int size = QByteArray(argv[2]).toInt();
    if (!svg.isValid() || size <= 0)
        return 1;
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    svg.render(&p);
    p.end();
    return image.save(QString::fromLocal8Bit(argv[3]), "PNG") ? 0 : 1;
}
