// SPDX-License-Identifier: GPL-3.0-or-later
#include "mediacheck/MediaCheck.h"

#include "catalog/Vowels.h"
#include "wordlist/WordList.h"
#include "media/FileNames.h"
#include "media/MediaPaths.h"
#include "media/PictureFile.h"
#include "media/Printable.h"
#include "sound/SoundWav.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QLocale>
#include <algorithm>
#include <vector>

namespace zampli {

namespace {

// Pictures are decoded as for a box of the windows' largest size, the way
// the program decodes them.
constexpr QSize kLargestBox(400, 400);

// Letters and faces fill most of a whiteboard's full screen, a box of
// 1,675 x 1,606 pixels at 3840x2160: a smaller picture is enlarged there, and blurs.
constexpr int kLargeScreenSide = 2000;

class Checker {
public:
    Checker(const QString &folder, int shownOfAKind)
        : media_(folder), folder_(media_.programFolder()), shownOfAKind_(shownOfAKind)
    {
    }

    MediaReport run()
    {
        const QStringList vowels = vowelLetters();
        for (const QString &v : vowels) {
            for (int style = 1; style <= 4; ++style)
                picture(media_.letterPicture(v, style), Enlarged::FullScreen);
            picture(media_.facePicture(v), Enlarged::FullScreen);
            sound(media_.voice(v));
        }
        for (int n = 1; n <= 4; ++n)
            sound(media_.praise(n));
        sound(media_.errorSound());
        for (const QString &v : vowels)
            list(v);
        addMore(report_.problems, problemsOfKind_);
        addMore(report_.notes, notesOfKind_);
        return std::move(report_);
    }

private:
    // The file as the program finds it; notes a name that differs in case only.
    QString find(const QString &path)
    {
        ++report_.checked;
        const QString found = existingFile(path);
        if (found != path)
            note(path, QStringLiteral("trovato come %1 (maiuscole e minuscole diverse)").arg(shown(found)),
                 QStringLiteral("case"));
        return found;
    }

    enum class Enlarged { No, FullScreen };
    void picture(const QString &path, Enlarged enlarged = Enlarged::No)
    {
        if (!firstTime(path))
            return;
        const DecodedPicture decoded = decodePicture(find(path), kLargestBox);
        if (decoded.image.isNull())
            problem(path, withConsequence(decoded.why, QStringLiteral("il programma mostra un riquadro vuoto al suo posto")),
                    decoded.why);
        else if (enlarged == Enlarged::FullScreen && !decoded.own.isEmpty()
                 && std::max(decoded.own.width(), decoded.own.height()) < kLargeScreenSide)
            note(path,
                 QStringLiteral("%1 × %2 pixel, piccola per uno schermo grande: a tutto schermo si vede sfocata; "
                                "ne servono almeno %3 sul lato lungo")
                     .arg(decoded.own.width())
                     .arg(decoded.own.height())
                     .arg(kLargeScreenSide),
                 QStringLiteral("small"));
    }

    void sound(const QString &path)
    {
        if (!firstTime(path))
            return;
        const WavRead read = probeWav(find(path));
        if (!read.sound)
            problem(path,
                    withConsequence(read.why, QStringLiteral("il programma fa sentire il suono d'avviso al suo posto; "
                                                             "registrarlo di nuovo o salvarlo come WAV")),
                    read.why);
        else if (read.cut())
            note(path,
                 QStringLiteral("%1: il programma ne fa sentire solo l'inizio; accorciarlo").arg(read.kind),
                 QStringLiteral("long"));
    }

    void list(const QString &vowel)
    {
        const QString path = media_.wordList(vowel);
        const WordListFile read = loadWordList(find(path));
        if (!read.opened) {
            problem(path, read.refusal, read.refusal);
            return;
        }
        if (read.tooBig)
            note(path, QStringLiteral("file troppo grande, il programma ne legge solo l'inizio"), "big");
        if (read.list.cut)
            note(path, QStringLiteral("più di %1 parole, il programma usa le prime %1").arg(WordList::kMaxWords),
                 "cut");
        for (const QString &word : read.list.refused)
            note(path, QStringLiteral("parola scartata, non può essere un nome di file: \"%1\"").arg(word),
                 "word " + path);
        if (read.list.words.isEmpty())
            problem(path, QStringLiteral("nessuna parola"), "empty");
        for (const QString &word : read.list.words) {
            picture(media_.wordPicture(word));
            sound(media_.voice(word));
        }
    }

    // A word listed twice, or in two lists, names the same files: each is told once.
    bool firstTime(const QString &path)
    {
        if (seen_.contains(path))
            return false;
        seen_.insert(path);
        return true;
    }

    // A missing file says all; anything else, what the program does instead.
    static QString withConsequence(const QString &why, const QString &instead)
    {
        return why == QLatin1String("manca") ? why : why + QStringLiteral(": ") + instead;
    }
    QString shown(const QString &path) const
    {
        return path.startsWith(folder_ + QLatin1Char('/')) ? path.mid(folder_.size() + 1) : path;
    }
    struct Kind {
        int count = 0;
        qsizetype after = 0; // where its last line shown is
    };
    void problem(const QString &path, const QString &what, const QString &kind)
    {
        ++report_.problemCount;
        add(report_.problems, problemsOfKind_[kind], shown(path) + QStringLiteral(": ") + what);
    }
    void note(const QString &path, const QString &what, const QString &kind)
    {
        ++report_.noteCount;
        add(report_.notes, notesOfKind_[kind], shown(path) + QStringLiteral(": ") + what);
    }
    void add(QStringList &lines, Kind &kind, const QString &line) const
    {
        if (++kind.count <= shownOfAKind_)
            lines << line, kind.after = lines.size();
    }
    // "… e altri N" after the last line shown of each kind cut short.
    void addMore(QStringList &lines, const QHash<QString, Kind> &kinds) const
    {
        const QLocale italian(QLocale::Italian, QLocale::Italy);
        std::vector<Kind> cut;
        for (const Kind &kind : kinds)
            if (kind.count > shownOfAKind_)
                cut.push_back(kind);
        std::sort(cut.begin(), cut.end(), [](const Kind &a, const Kind &b) { return a.after > b.after; });
        for (const Kind &kind : cut)
            lines.insert(kind.after,
                         QStringLiteral("… e altri %1").arg(italian.toString(kind.count - shownOfAKind_)));
    }

    MediaPaths media_;
    QString folder_;
    int shownOfAKind_;
    MediaReport report_;
    QHash<QString, Kind> problemsOfKind_, notesOfKind_;
    QSet<QString> seen_;
};

} // namespace

MediaReport checkMedia(const QString &folder, int shownOfAKind)
{
    return Checker(folder, shownOfAKind).run();
}

QStringList reportLines(const MediaReport &report, const QString &folder)
{
    QStringList lines;
    for (const QString &line : report.problems)
        lines << visible(line);
    for (const QString &line : report.notes)
        lines << visible(QStringLiteral("nota: ") + line);
    lines << visible(QStringLiteral("%1 in %2: %3, %4.")
                         .arg(report.checked == 1 ? QStringLiteral("Controllato 1 file")
                                                  : QStringLiteral("Controllati %1 file").arg(report.checked),
                              folder, counted(report.problemCount, "problema", "problemi"),
                              counted(report.noteCount, "nota", "note")));
    return lines;
}

} // namespace zampli
