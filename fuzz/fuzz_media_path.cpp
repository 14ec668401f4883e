// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the media paths: any name, however odd, is put
// between the program folder and its extension unchanged, and the lookup that
// forgives case differences answers with the path itself or with an entry on
// disk that differs from it in case only, never with anything else.
//
// Input: byte 0 picks the path (low three bits) and the decoding of the name
// (bit 3: raw UTF-16, with lone surrogates and all), byte 1 is the number a
// path takes (style, praise), the rest is the name.
#include "media/FileNames.h"
#include "media/MediaPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QTemporaryDir *root = nullptr;

// Media as teachers leave them: names in other case, one name twice but for
// case, a folder where a file should be, a dangling link, accents.
void makeMediaFolder(const QString &dir)
{
    for (const char *folder : {"JPG", "voci/Sub", "suoni/no.wav", "testi"})
        QDir(dir).mkpath(QString::fromLatin1(folder));
    for (const char *file : {"JPG/APE.JPG", "JPG/Àncora.jpg", "JPG/A1.jpg", "voci/E.WAV", "testi/a.txt",
                             "testi/A.TXT", "testi/I.txt"}) {
        QFile f(dir + QLatin1Char('/') + QString::fromUtf8(file));
        f.open(QIODevice::WriteOnly);
    }
    QFile::link(dir + QStringLiteral("/nowhere"), dir + QStringLiteral("/JPG/Rotto.jpg"));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    root = new QTemporaryDir;
    makeMediaFolder(root->path());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int number = static_cast<std::int8_t>(data[1]);
    const char *rest = reinterpret_cast<const char *>(data + 2);
    const QString name = data[0] & 8 ? QString::fromUtf16(reinterpret_cast<const char16_t *>(rest), qsizetype(size - 2) / 2)
                                     : QString::fromUtf8(rest, qsizetype(size - 2));
    // Nothing outside the test folder is looked at.
    if (name.contains(QLatin1String("..")))
        return 0;

    const zampli::MediaPaths media(root->path());
    QString path, expected;
    switch (data[0] & 7) {
    case 0: path = media.wordPicture(name), expected = "/jpg/" + name + ".jpg"; break;
    case 1: path = media.facePicture(name), expected = "/jpg/" + name + ".jpg"; break;
    case 2: path = media.letterPicture(name, number), expected = "/jpg/" + name + QString::number(number) + ".jpg"; break;
    case 3: path = media.voice(name), expected = "/voci/" + name + ".wav"; break;
    case 4: path = media.wordList(name), expected = "/testi/" + name.toLower() + ".txt"; break;
    case 5: path = media.praise(number), expected = "/suoni/si" + QString::number(number) + ".wav"; break;
    case 6: path = media.errorSound(), expected = QStringLiteral("/suoni/no.wav"); break;
    default: path = root->path() + QLatin1Char('/') + name, expected = QLatin1Char('/') + name; break;
    }
    if (path != root->path() + expected)
        std::abort();

    const QString found = zampli::existingFile(path);
    if (found == path)
        return 0;
    // Another name: an entry that is there, inside the folder, the same but for case.
    const QFileInfo info(found);
    if (!found.startsWith(root->path() + QLatin1Char('/')) || !(info.exists() || info.isSymLink())
        || QDir::cleanPath(found).compare(QDir::cleanPath(path), Qt::CaseInsensitive) != 0)
        std::abort();
    return 0;
}
