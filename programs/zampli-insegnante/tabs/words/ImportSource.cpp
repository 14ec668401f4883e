// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/ImportSource.h"

#include "catalog/Vowels.h"
#include "copies/Copies.h"
#include "copies/CopyArchive.h"
#include "core/WordListDocument.h"
#include "media/FileNames.h"
#include "safefile/CappedFile.h"
#include "media/MediaPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace zampli::teacher {

namespace {

// A plain file's bytes, never a pipe's or a device's; empty when there is none.
QByteArray smallFile(const QString &path)
{
    CappedFile file = CappedFile::open(path, copies::kMaxMediaFileBytes);
    return file.isOpen() ? file.read(copies::kMaxMediaFileBytes).value_or(QByteArray()) : QByteArray();
}

ImportSource fromFolder(const QString &path)
{
    ImportSource source{path, {}, {}};
    if (!QFileInfo(path + QStringLiteral("/testi")).isDir()) {
        source.problem = QStringLiteral("%1 non è una copia di ZAMPLI (manca la cartella testi): scegli la cartella "
                                        "di un'altra copia o un file .zampli.").arg(QDir::toNativeSeparators(path));
        return source;
    }
    const MediaPaths paths(path);
    const QStringList letters = vowelLetters();
    for (int list = 0; list < kVowelCount; ++list) {
        const OpenedWordList opened = openWordList(existingFile(paths.wordList(letters[list])));
        for (const QString &word : opened.document.words())
            source.lists[size_t(list)] << SourceWord{word, smallFile(existingFile(paths.wordPicture(word))),
                                                     smallFile(existingFile(paths.voice(word)))};
    }
    return source;
}

// The archive's names are looked up, never used as paths; case is forgiven
// as the program forgives it.
ImportSource fromArchive(const QString &path)
{
    ImportSource source{path, {}, {}};
    const copies::ArchiveContents contents = copies::readCopyFile(path);
    if (!contents.problem.isEmpty()) {
        source.problem = contents.problem;
        return source;
    }
    QHash<QString, QByteArray> files;
    for (auto it = contents.files.cbegin(); it != contents.files.cend(); ++it)
        files.insert(it.key().toCaseFolded(), it.value());
    const auto file = [&files](const QString &name) { return files.value(name.toCaseFolded()); };
    const QStringList names = vowelListNames();
    for (int list = 0; list < kVowelCount; ++list) {
        const QByteArray bytes = file(QStringLiteral("testi/%1.txt").arg(names[list]));
        const QStringList words = WordListDocument::fromBytes(bytes).words();
        for (const QString &word : words)
            source.lists[size_t(list)] << SourceWord{word, file(QStringLiteral("jpg/%1.jpg").arg(word)),
                                                     file(QStringLiteral("voci/%1.wav").arg(word))};
    }
    return source;
}

} // namespace

ImportSource readImportSource(const QString &path, const QString &folder)
{
    const QFileInfo info(path);
    if (info.isDir() && copies::sameFolder(path, folder))
        return {path, {}, QStringLiteral("%1 è la copia aperta: scegli un'altra copia da cui prendere le parole.")
                              .arg(QDir::toNativeSeparators(path))};
    return info.isDir() ? fromFolder(path) : fromArchive(path);
}

} // namespace zampli::teacher
