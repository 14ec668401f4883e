#include "MediaCheck.h"

#include "wordlist/WordList.h"
#include "media/FileNames.h"
#include "media/MediaPaths.h"
#include "sound/SoundWav.h"

#include <QFileInfo>
#include <QImageReader>

namespace zampli {

namespace {

const QStringList kVowels = {"A", "E", "I", "O", "U"};

class Checker {
public:
    explicit Checker(const QString &folder) : media_(folder), folder_(media_.programFolder()) {}

    MediaReport run()
    {
        for (const QString &v : kVowels) {
            for (int style = 1; style <= 4; ++style)
                picture(media_.letterPicture(v, style));
            picture(media_.facePicture(v));
            sound(media_.voice(v));
        }
        for (int n = 1; n <= 4; ++n)
            sound(media_.praise(n));
        sound(media_.errorSound());
        for (const QString &v : kVowels)
            list(v);
        return std::move(report_);
    }

private:
    // The file as the program finds it; notes a name that differs in case only.
    std::optional<QString> find(const QString &path)
    {
        ++report_.checked;
        const QString found = existingFile(path);
        if (!QFileInfo(found).isFile()) {
            problem(path, QStringLiteral("manca"));
            return std::nullopt;
        }
        if (found != path)
            report_.notes << QStringLiteral("%1: trovato come %2 (maiuscole e minuscole diverse)")
                                 .arg(shown(path), shown(found));
        return found;
    }

    void picture(const QString &path)
    {
        const std::optional<QString> file = find(path);
        if (!file)
            return;
        QImageReader reader(*file);
        if (reader.format() != "jpeg")
            problem(path, QStringLiteral("non è un'immagine JPEG"));
        else if (reader.read().isNull())
            problem(path, QStringLiteral("immagine JPEG illeggibile o incompleta"));
    }

    void sound(const QString &path)
    {
        const std::optional<QString> file = find(path);
        if (file && !loadWav(*file))
            problem(path, QStringLiteral("non è un suono WAV PCM utilizzabile"));
    }

    void list(const QString &vowel)
    {
        const QString path = media_.wordList(vowel);
        const std::optional<QString> file = find(path);
        if (!file)
            return;
        const WordListFile read = loadWordList(*file);
        if (!read.opened) {
            problem(path, QStringLiteral("illeggibile"));
            return;
        }
        if (read.tooBig)
            note(path, QStringLiteral("file troppo grande, il programma ne legge solo l'inizio"));
        if (read.list.cut)
            note(path, QStringLiteral("più di %1 parole, il programma usa le prime %1").arg(WordList::kMaxWords));
        for (const QString &word : read.list.refused)
            note(path, QStringLiteral("parola scartata, non può essere un nome di file: \"%1\"").arg(word));
        if (read.list.words.isEmpty())
            problem(path, QStringLiteral("nessuna parola"));
        for (const QString &word : read.list.words) {
            picture(media_.wordPicture(word));
            sound(media_.voice(word));
        }
    }

    QString shown(const QString &path) const
    {
        return path.startsWith(folder_ + QLatin1Char('/')) ? path.mid(folder_.size() + 1) : path;
    }
    void problem(const QString &path, const QString &what) { report_.problems << shown(path) + QStringLiteral(": ") + what; }
    void note(const QString &path, const QString &what) { report_.notes << shown(path) + QStringLiteral(": ") + what; }

    MediaPaths media_;
    QString folder_;
    MediaReport report_;
};

} // namespace

MediaReport checkMedia(const QString &folder)
{
    return Checker(folder).run();
}

} // namespace zampli
