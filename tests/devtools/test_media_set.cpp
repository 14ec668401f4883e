// SPDX-License-Identifier: GPL-3.0-or-later
// The default media set the build writes into the program's folder (where
// this test lives too): every file a window can name is there and loads,
// every recording is clean PCM of a sensible length, every word list is in
// the program's format.
#include "wordlist/WordList.h"
#include "media/MediaPaths.h"
#include "sound/SoundWav.h"

#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QStringDecoder>
#include <QtTest>

#include <algorithm>
#include <cmath>

using zampli::MediaPaths;

namespace {

const QStringList vowels = {"A", "E", "I", "O", "U"};

// Reads a recording as the program's sound player does, so a file the
// player would refuse fails here, then checks it; its RMS of full scale goes
// to rms.
void checkRecording(const QString &path, double *rms = nullptr)
{
    const zampli::WavRead read = zampli::loadWav(path);
    const std::optional<zampli::WavSound> &sound = read.sound;
    QVERIFY2(sound && read.kind.startsWith("WAV PCM 16 bit, ") && sound->format.channels == 1,
             qPrintable(path + ": not a 16-bit mono PCM WAV the player can read"));
    const auto *samples = reinterpret_cast<const qint16 *>(sound->samples.constData());
    const qsizetype count = sound->samples.size() / 2;
    double sum = 0, peak = 0;
    for (qsizetype i = 0; i < count; ++i)
        sum += std::pow(samples[i] / 32768.0, 2), peak = std::max(peak, std::abs(samples[i] / 32768.0));
    const double seconds = count / double(sound->format.rate);
    const double root = std::sqrt(sum / std::max<qsizetype>(count, 1));
    // 0.2 to 3 s, louder than -30 dBFS, not clipped.
    QVERIFY2(seconds >= 0.2 && seconds <= 3.0 && root > 0.0316 && peak < 0.999,
             qPrintable(path + QStringLiteral(": %1 s, RMS %2, peak %3").arg(seconds).arg(root).arg(peak)));
    if (rms)
        *rms = root;
}

QImage loadPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setFormat("jpg");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// The rectangle of pixels darker than `below` in every channel, and their number.
std::pair<QRect, qsizetype> ink(const QImage &image, int below)
{
    QRect box;
    qsizetype count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb p = image.pixel(x, y); std::min({qRed(p), qGreen(p), qBlue(p)}) < below)
                ++count, box |= QRect(x, y, 1, 1);
    return {box, count};
}

// Black on white, big enough for a child, and drawn whole: a letter centred
// on the font's box instead of its shape loses the top of the cursive capitals.
void checkLetterPicture(const QString &path)
{
    const QImage image = loadPicture(path);
    const QByteArray name = path.toLocal8Bit();
    QVERIFY2(std::min(image.width(), image.height()) >= 300 && image.pixelColor(0, 0).lightness() > 240, name);
    const QRect box = ink(image, 129).first;
    QVERIFY2(image.rect().adjusted(4, 4, -4, -4).contains(box) && !box.isEmpty()
                 && std::max(box.width() * 100 / image.width(), box.height() * 100 / image.height()) >= 40,
             name + ": none, too small or cut off");
}

// Sharp on a whiteboard: at least 800 px on the long side, so that a
// full-screen window's box shrinks it; the boxes' proportions (10:9) and a
// white ground, so that it fills its box with no band of another colour.
void checkWordPictureSize(const QString &word, const QImage &picture)
{
    const QByteArray name = word.toUtf8();
    QVERIFY2(std::max(picture.width(), picture.height()) >= 800,
             name + ": " + QByteArray::number(picture.width()) + "x" + QByteArray::number(picture.height()));
    QVERIFY2(picture.width() * 9 == picture.height() * 10, name + ": not 10:9");
    for (const QPoint corner : {QPoint(0, 0), QPoint(picture.width() - 1, picture.height() - 1)})
        QVERIFY2(picture.pixelColor(corner).lightness() > 245, name + ": ground not white");
    // The drawing fills its picture: a drawing's empty page left around it
    // makes it a small thing lost in white.
    const QRect drawn = ink(picture, 240).first;
    QVERIFY2(std::max(drawn.width() * 100 / picture.width(), drawn.height() * 100 / picture.height()) >= 85,
             name + ": drawing " + QByteArray::number(drawn.width()) + "x" + QByteArray::number(drawn.height()));
}

} // namespace

class TestMediaSet : public QObject {
    Q_OBJECT

private slots:
    void eachVowel_data()
    {
        QTest::addColumn<QString>("vowel");
        for (const QString &vowel : vowels)
            QTest::addRow("%s", qPrintable(vowel)) << vowel;
    }

    // Its letter pictures, its voice and its word list in the program's
    // format, every word with its picture and voice, named from the list as
    // the program reads it, so an accented word must find files named the way
    // Qt spells it.
    void eachVowel()
    {
        QFETCH(QString, vowel);
        for (int style = 1; style <= 4; ++style)
            checkLetterPicture(paths_.letterPicture(vowel, style));
        QVERIFY2(!loadPicture(paths_.facePicture(vowel)).isNull(), qPrintable(paths_.facePicture(vowel)));
        checkRecording(paths_.voice(vowel));
        QFile file(paths_.wordList(vowel));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray bytes = file.readAll();
        const qsizetype lines = bytes.count("\r\n");
        QVERIFY2(bytes.endsWith("\r\n") && bytes.count('\n') == lines && bytes.count('\r') == lines, "not CR LF lines");
        // Latin-1 accents followed by plain letters are never valid UTF-8.
        QStringDecoder utf8(QStringDecoder::Utf8);
        (void)QString(utf8.decode(bytes));
        QVERIFY2(utf8.hasError() || std::all_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) <= 0x7F; }),
                 "UTF-8 text, not Latin-1");

        const zampli::WordList list = zampli::readWordList(bytes);
        const QStringList &words = list.words;
        // The program takes 1 to 50; the default set promises at least 10, so that
        // a child does not meet the same picture again within a few turns.
        QVERIFY(list.refused.isEmpty() && !list.cut);
        QCOMPARE(words.size(), lines);
        QVERIFY2(words.size() >= 10 && words.size() <= 50, qPrintable(QString::number(words.size()) + " words"));
        QCOMPARE(QSet<QString>(words.cbegin(), words.cend()).size(), words.size());
        // The A list starts a word with an accent, or the file-name encoding goes untested.
        if (vowel == "A")
            QVERIFY2(std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return w.at(0) > '\x7f'; }),
                     "no accented word");
        for (const QString &word : words) {
            QVERIFY2(word == word.trimmed() && !word.contains('"')
                         && word.normalized(QString::NormalizationForm_D).at(0).toUpper() == vowel.at(0),
                     qPrintable(word + ": spaces, quotes, or in the wrong list"));
            // Present, and enough pixels not (near) white: a picture, not a blank.
            const QImage picture = loadPicture(paths_.wordPicture(word));
            QVERIFY2(ink(picture, 200).second > picture.width() * picture.height() / 20,
                     qPrintable(word + ": missing or (nearly) blank picture"));
            checkWordPictureSize(word, picture);
            checkRecording(paths_.voice(word));
            if (QTest::currentTestFailed())
                return;
        }
    }

    void praiseAndErrorSounds()
    {
        double praise = 0, error = 0;
        for (int n = 4; n >= 1; --n)
            checkRecording(paths_.praise(n), &praise);
        checkRecording(paths_.errorSound(), &error);
        QCOMPARE_LT(error, praise); // softer than speech
    }

private:
    MediaPaths paths_{QCoreApplication::applicationDirPath()}; // as the build writes it
};

QTEST_GUILESS_MAIN(TestMediaSet)
#include "test_media_set.moc"
