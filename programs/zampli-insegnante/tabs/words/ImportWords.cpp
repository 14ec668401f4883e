// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabs/words/ImportWords.h"

#include "catalog/Vowels.h"
#include "core/WordListDocument.h"
#include "history/CopyHistory.h"
#include "media/FileNames.h"
#include "media/MediaContent.h"
#include "media/MediaPaths.h"
#include "media/PictureFile.h"
#include "shared/CountText.h"

#include <QDir>
#include <QFileInfo>

namespace zampli::teacher {

namespace {

// A file the import writes, as the history names it.
struct FileWrite {
    QString target;
    QString what;
    QByteArray bytes;
};

struct Plan {
    QList<FileWrite> files; // pictures and voices, written first
    QList<FileWrite> lists; // then the lists that name them
    int words = 0;
    QStringList kept;
    QStringList refused;
};

void planFiles(const MediaPaths &paths, const SourceWord &word, Plan &plan)
{
    if (!word.picture.isEmpty())
        plan.files << FileWrite{existingFile(paths.wordPicture(word.word)),
                                QStringLiteral("l'immagine di «%1»").arg(word.word), word.picture};
    if (!word.voice.isEmpty())
        plan.files << FileWrite{existingFile(paths.voice(word.word)), QStringLiteral("la voce di «%1»").arg(word.word),
                                word.voice};
}

// Pictures are decoded as for the windows' largest box, as the child's program decodes them.
constexpr QSize kLargestBox(400, 400);

// Why a word's picture or voice is not one the child's program would take, or nothing.
QString filesFault(const SourceWord &word)
{
    const QString picture = QStringLiteral("jpg/%1.jpg").arg(word.word);
    const QString voice = QStringLiteral("voci/%1.wav").arg(word.word);
    if (const QString why = importedFileFault(picture, word.picture); !word.picture.isEmpty() && !why.isEmpty())
        return QStringLiteral("%1 %2").arg(picture, why);
    // Judged by its content first: a drawing reaches the decoder only once it names nothing outside itself.
    if (!word.picture.isEmpty())
        if (const DecodedPicture decoded = decodePicture(word.picture, kLargestBox); decoded.image.isNull())
            return QStringLiteral("%1 non è un'immagine JPEG che ZAMPLI possa mostrare: %2").arg(picture, decoded.why);
    if (const QString why = importedFileFault(voice, word.voice); !word.voice.isEmpty() && !why.isEmpty())
        return QStringLiteral("%1 %2").arg(voice, why);
    return {};
}

// The chosen rows of one list: the words it gains, the files they bring.
void planList(const MediaPaths &paths, int list, const QList<SourceWord> &words, const QList<int> &rows, bool replace,
              Plan &plan)
{
    const QString listPath = existingFile(paths.wordList(vowelLetters()[list]));
    OpenedWordList opened = openWordList(listPath);
    WordListDocument &document = opened.document;
    document.requireInitial(vowelListNames()[list].front());
    const QStringList before = document.words();
    for (const int row : rows) {
        const SourceWord &word = words.at(row);
        const bool kept = holdsWord(before, word.word) && !replace;
        if (!opened.readOnly.isEmpty()) {
            plan.refused << QStringLiteral("«%1»: %2").arg(word.word, opened.readOnly);
        } else if (kept) {
            plan.kept << QStringLiteral("«%1»").arg(word.word);
        } else if (const QString bad = filesFault(word); !bad.isEmpty()) {
            plan.refused << QStringLiteral("«%1»: %2").arg(word.word, bad);
        } else if (holdsWord(before, word.word)) {
            planFiles(paths, word, plan);
            ++plan.words;
        } else if (const QString why = document.add(word.word); !why.isEmpty()) {
            plan.refused << QStringLiteral("«%1»: %2").arg(word.word, why);
        } else {
            planFiles(paths, word, plan);
            ++plan.words;
        }
    }
    if (document.words() != before)
        plan.lists << FileWrite{listPath, QStringLiteral("l'elenco %1").arg(QFileInfo(listPath).fileName()),
                                document.bytes()};
}

// Writes every file of `plan` as one change; what went wrong, or empty.
QString write(CopyHistory &history, const Plan &plan, const std::function<void()> &changed)
{
    history.beginGroup(QStringLiteral("importa %1").arg(countText(plan.words, "parola", "parole")), changed);
    QString error;
    for (const QList<FileWrite> *part : {&plan.files, &plan.lists})
        for (const FileWrite &file : *part) {
            if (!error.isEmpty())
                break;
            QDir().mkpath(QFileInfo(file.target).absolutePath());
            error = history.write(file.target, file.what, [&file] { return saveWhole(file.target, file.bytes); });
        }
    // Half an import is none: what came is taken back at once.
    error.isEmpty() ? history.endGroup() : history.dropGroup();
    return error;
}

} // namespace

bool holdsWord(const QStringList &words, const QString &word)
{
    return words.contains(word, Qt::CaseInsensitive);
}

QString ImportOutcome::summary() const
{
    if (!problem.isEmpty())
        return problem;
    QStringList lines;
    lines << (imported > 0 ? QStringLiteral("%1 con le immagini e le voci che avevano (Ctrl+Z le toglie tutte).")
                                 .arg(imported == 1 ? QStringLiteral("Importata 1 parola")
                                                    : QStringLiteral("Importate %1 parole").arg(imported))
                           : QStringLiteral("Nessuna parola importata."));
    if (!kept.isEmpty())
        lines << QStringLiteral("C'erano già e hanno tenuto la tua immagine e la tua voce: %1.")
                     .arg(kept.join(QStringLiteral(", ")));
    if (!refused.isEmpty())
        lines << QStringLiteral("Non importate:\n%1").arg(refused.join(u'\n'));
    return lines.join(u'\n');
}

ImportOutcome importWords(const QString &folder, CopyHistory &history, const ImportSource &source,
                          const QList<ImportChoice> &chosen, bool replace, const std::function<void()> &changed)
{
    const MediaPaths paths(folder);
    Plan plan;
    for (int list = 0; list < kVowelCount; ++list) {
        QList<int> rows;
        for (const ImportChoice &choice : chosen)
            if (choice.list == list && choice.row >= 0 && choice.row < source.lists[size_t(list)].size())
                rows << choice.row;
        if (!rows.isEmpty())
            planList(paths, list, source.lists[size_t(list)], rows, replace, plan);
    }
    ImportOutcome outcome{0, plan.refused, {}};
    outcome.kept = plan.kept;
    if (plan.files.isEmpty() && plan.lists.isEmpty())
        return outcome;
    if (const QString error = write(history, plan, changed); !error.isEmpty()) {
        outcome.problem = QStringLiteral("Le parole non sono state importate: %1").arg(error);
        return outcome;
    }
    outcome.imported = plan.words;
    return outcome;
}

} // namespace zampli::teacher
