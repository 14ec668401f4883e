// The default media set the build writes into the program's folder (where
// this test lives too): every file a window can name is there and loads,
// every recording is clean PCM of a sensible length, every word list is in
// the program's format.
#include "exercises/initial/words/WordList.h"
#include "media/MediaPaths.h"
#include "media/SoundWav.h"

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
    const std::optional<zampli::WavSound> sound = zampli::loadWav(path);
    QVERIFY2(sound && sound->format.sampleFormat() == QAudioFormat::Int16,
             qPrintable(path + ": not a 16-bit PCM WAV the player can read"));
    QVERIFY2(sound->format.channelCount() == 1 && sound->format.sampleRate() == 22050, qPrintable(path));
    const auto *samples = reinterpret_cast<const qint16 *>(sound->samples.constData());
    const qsizetype count = sound->samples.size() / 2;
    double sum = 0, peak = 0;
    for (qsizetype i = 0; i < count; ++i) {
        sum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
        peak = std::max(peak, std::abs(samples[i] / 32768.0));
    }
    const double seconds = sound->format.durationForBytes(sound->samples.size()) / 1e6;
    const double root = std::sqrt(sum / std::max<qsizetype>(count, 1));
    const double dB = 20 * std::log10(std::max(root, 1e-9));
    QVERIFY2(seconds >= 0.2 && seconds <= 3.0, qPrintable(path + QStringLiteral(": %1 s").arg(seconds)));
    QVERIFY2(dB > -30, qPrintable(path + QStringLiteral(": too quiet, %1 dBFS").arg(dB)));
    QVERIFY2(peak < 0.999, qPrintable(path + ": clipped"));
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
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::min({qRed(p), qGreen(p), qBlue(p)}) < below)
                ++count, box |= QRect(x, y, 1, 1);
        }
    }
    return {box, count};
}

// Black on white, big enough for a child, and drawn whole: a letter centred
// on the font's box instead of its shape loses the top of the cursive capitals.
void checkLetterPicture(const QString &path)
{
    const QImage image = loadPicture(path);
    const QByteArray name = path.toLocal8Bit();
    QVERIFY2(std::min(image.width(), image.height()) >= 300, name);
    QVERIFY2(image.pixelColor(0, 0).lightness() > 240, name);
    const QRect box = ink(image, 129).first;
    QVERIFY2(image.rect().adjusted(4, 4, -4, -4).contains(box) && !box.isEmpty(), name + ": none or cut off");
    QVERIFY2(std::max(box.width() * 100 / image.width(), box.height() * 100 / image.height()) >= 40, name);
    const QPoint offset = box.center() - image.rect().center();
    QVERIFY2(std::abs(offset.x()) <= image.width() / 10 && std::abs(offset.y()) <= image.height() / 10, name);
}

} // namespace

class TestMediaSet : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        paths_ = MediaPaths(QCoreApplication::applicationDirPath());
        for (const char *folder : {"jpg", "voci", "suoni", "testi"}) {
            const QString path = paths_.programFolder() + '/' + folder;
            QVERIFY2(QFileInfo(path).isDir(), qPrintable(path + " is missing: build zampli_media"));
        }
    }

    // Only the mouth tells the vowels apart, so it must differ visibly between
    // any two faces while the rest of the face stays put.
    void facesDifferOnlyAtTheMouth()
    {
        QList<QImage> faces;
        for (const QString &vowel : vowels) {
            faces << loadPicture(paths_.facePicture(vowel));
            QVERIFY2(!faces.last().isNull(), qPrintable(paths_.facePicture(vowel)));
            QCOMPARE(faces.last().size(), faces.first().size());
        }
        const auto changedShare = [](const QImage &a, const QImage &b, int top, int bottom) {
            int changed = 0;
            for (int y = top; y < bottom; ++y) {
                for (int x = 0; x < a.width(); ++x) {
                    const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                    changed += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q))
                                   + std::abs(qBlue(p) - qBlue(q)) > 90;
                }
            }
            return double(changed) / (a.width() * (bottom - top));
        };
        const int h = faces.first().height();
        for (int i = 0; i < faces.size(); ++i) {
            for (int j = i + 1; j < faces.size(); ++j) {
                const QByteArray pair = (vowels.at(i) + vowels.at(j)).toLatin1();
                QVERIFY2(changedShare(faces.at(i), faces.at(j), 0, h / 2) < 0.01, pair.constData());
                QVERIFY2(changedShare(faces.at(i), faces.at(j), h / 2, h / 2 * 2) > 0.01, pair.constData());
            }
        }
    }

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
        checkRecording(paths_.voice(vowel));
        QFile file(paths_.wordList(vowel));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const QByteArray bytes = file.readAll();
        QVERIFY2(bytes.endsWith("\r\n"), "the last line has no CR LF");
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        // Latin-1 accents followed by plain letters are never valid UTF-8.
        if (std::any_of(bytes.cbegin(), bytes.cend(), [](char c) { return uchar(c) > 0x7F; })) {
            QStringDecoder utf8(QStringDecoder::Utf8);
            const QString decoded = utf8.decode(bytes);
            QVERIFY2(utf8.hasError(), "UTF-8 text, not Latin-1");
        }

        const zampli::WordList list = zampli::readWordList(bytes);
        QCOMPARE(list.refused, QStringList());
        QVERIFY(!list.cut);
        const QStringList &words = list.words;
        // The program takes 1 to 50; the default set promises at least 10.
        QCOMPARE_GE(words.size(), 10);
        QCOMPARE_LE(words.size(), 50);
        QCOMPARE(words.size(), bytes.count("\r\n"));
        QCOMPARE(QSet<QString>(words.cbegin(), words.cend()).size(), words.size());
        // The A list starts a word with an accent, or the file-name encoding goes untested.
        if (vowel == "A")
            QVERIFY2(std::any_of(words.cbegin(), words.cend(), [](const QString &w) { return w.at(0) > '\x7f'; }),
                     "no accented word");
        for (const QString &word : words) {
            QVERIFY2(word == word.trimmed() && !word.contains('"'), qPrintable(word));
            QVERIFY2(word.normalized(QString::NormalizationForm_D).at(0).toUpper() == vowel.at(0),
                     qPrintable(word + " is in the wrong list"));
            const QImage picture = loadPicture(paths_.wordPicture(word));
            QVERIFY2(!picture.isNull(), qPrintable(paths_.wordPicture(word)));
            // Enough pixels not (near) white: a picture, not a blank.
            QVERIFY2(ink(picture, 200).second > picture.width() * picture.height() / 20,
                     qPrintable(word + ": (nearly) blank picture"));
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
    MediaPaths paths_{QString()};
};

QTEST_GUILESS_MAIN(TestMediaSet)
#include "test_media_set.moc"
