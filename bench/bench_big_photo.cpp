// SPDX-License-Identifier: GPL-3.0-or-later
// A phone's 50-megapixel photo (8160 × 6144 JPEG) as the picture of the
// single-picture window's box: the time from asking to a picture at the box's
// size, and the most memory the program held meanwhile.
//
//   bench_big_photo

#include "ProcMemory.h"
#include "media/PictureLoader.h"
#include "media/ProblemLog.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

using namespace zampli;

namespace {

// The box of "ascolto 1": 5775 × 5535 twips at 15 twips a pixel.
constexpr QSize kBox(385, 369);

// In a process of its own: the photo's pixels take 150 MB before it is saved.
int makePhoto(const QString &path)
{
    QImage photo(8160, 6144, QImage::Format_RGB888);
    photo.fill(QColor(200, 40, 40));
    QPainter(&photo).fillRect(4080, 0, 4080, 6144, QColor(40, 40, 200));
    return photo.save(path, "JPEG", 90) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--make") == 0)
        return makePhoto(QString::fromLocal8Bit(argv[2]));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("A.jpg"));
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {QStringLiteral("--make"), path}) != 0)
        return 1;

    const double before = proc::resetPeakMb();
    ProblemLog quiet([](const QString &) {});
    PictureLoader loader(quiet);
    QElapsedTimer t;
    t.start();
    const std::optional<QImage> shown = loader.load(path, kBox);
    const double ms = t.nsecsElapsed() / 1e6;
    std::printf("50-megapixel photo in a %dx%d box: %s in %.0f ms, peak resident %.0f MB (%.0f MB before)\n",
                kBox.width(), kBox.height(), shown ? "shown" : "refused", ms, proc::statusMb("VmHWM"), before);
    return shown ? 0 : 1;
}
