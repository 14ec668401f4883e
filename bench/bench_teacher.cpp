// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's program: opening a copy of 250 words with their thumbnails
// (goal 300 ms) and importing a 12-megapixel photo (goal 1 s). Medians of
// several runs; each opening is a new window on the same folder.
#include "imports/PictureImport.h"
#include "imports/VoiceClean.h"
#include "imports/VoiceRecorder.h"
#include "media/SoundPlayer.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"
#include "tabs/words/WordsTab.h"
#include "window/MainWindow.h"

#include <QtTest>
#include <QtWidgets>
#include <algorithm>
#include <cstdio>

using namespace zampli::teacher;

namespace {

struct SilentPlayer final : zampli::SoundPlayer {
    void play(const QString &) override {}
};

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Five lists of 50 words, each with a picture as the program imports them and a voice.
void makeCopy(const QString &folder)
{
    for (const char *sub : {"testi", "jpg", "voci", "suoni"})
        QDir().mkpath(folder + "/" + sub);
    QImage picture(kPictureSize, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
    const QByteArray voice = wavBytes(Samples(kVoiceRate, 0.1f));
    for (const char *v : {"a", "e", "i", "o", "u"}) {
        QFile list(folder + "/testi/" + v + ".txt");
        list.open(QIODevice::WriteOnly);
        for (int i = 0; i < 50; ++i) {
            const QString word = QStringLiteral("%1parola%2").arg(QLatin1String(v)).arg(i);
            list.write(word.toLatin1() + "\r\n");
            savePicture(picture, folder + "/jpg/" + word + ".jpg");
            QFile wav(folder + "/voci/" + word + ".wav");
            wav.open(QIODevice::WriteOnly), wav.write(voice);
        }
    }
}

double openOnce(TeacherServices &services, const QString &folder)
{
    QElapsedTimer clock;
    clock.start();
    MainWindow window(services);
    window.openFolder(folder);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window is not shown");
    window.repaint(); // asks for the first tab's visible thumbnails, decoded once the paint is done
    QCoreApplication::processEvents();
    return double(clock.nsecsElapsed()) / 1e6;
}

double importOnce(const QString &photo, const QString &target)
{
    QElapsedTimer clock;
    clock.start();
    const ImportedPicture picture = importPicture(photo);
    if (picture.image.isNull() || !savePicture(picture.image, target).isEmpty())
        qFatal("the photo was not imported");
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("zampli-bench");
    QTemporaryDir dir;
    const QString folder = dir.filePath("Classe");
    makeCopy(folder);
    SilentPlayer player;
    VoiceRecorder recorder;
    TeacherServices services{player, recorder};
    QList<double> opens;
    for (int i = 0; i < 7; ++i)
        opens << openOnce(services, folder);
    std::printf("teacher: opening a copy of 250 words with thumbnails: median %.0f ms (goal 300 ms)\n", median(opens));

    // A 12-megapixel camera photo, turned by its EXIF orientation like a phone's.
    QImage photo(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < photo.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(photo.scanLine(y));
        for (int x = 0; x < photo.width(); ++x)
            line[x] = qRgb((x * 7 + y) % 256, (y * 3) % 256, (x ^ y) % 256);
    }
    const QString photoFile = dir.filePath("foto.jpg");
    photo.save(photoFile, "JPEG", 92);
    QList<double> imports;
    for (int i = 0; i < 5; ++i)
        imports << importOnce(photoFile, dir.filePath("ape.jpg"));
    std::printf("teacher: importing a 12-megapixel photo: median %.0f ms (goal 1000 ms)\n", median(imports));
    return 0;
}
