// SPDX-License-Identifier: GPL-3.0-or-later
// Generates the program's default media set (see devtools/make-media.sh, which
// runs it):
//   zampli-mediagen speech WORDS.tsv WORK   word lists into WORK/set/testi,
//                                           speech.scm and clean.list into WORK
//   zampli-mediagen pictures WORDS.tsv SET  every picture into SET/jpg
#include "Canvas.h"
#include "FaceArt.h"
#include "LetterArt.h"
#include "SpeechScript.h"
#include "VectorArt.h"
#include "WordLists.h"
#include "WordTable.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

using namespace mediagen;

namespace {

const QString vowels = QStringLiteral("AEIOU");
// Extra line thickness in pixels: the cursive's hairlines need much more
// than the bold print.
constexpr qreal printedStroke = 2;
constexpr qreal cursiveStroke = 10;
// The cursive capitals' own lines are hairlines beside the small letters'
// stems: measured on the pictures, 15 to 33 pixels against 38 to 52.
constexpr qreal cursiveCapitalStroke = 26;

int fail(const QString &message)
{
    std::fprintf(stderr, "zampli-mediagen: %s\n", qPrintable(message));
    return 1;
}

int makeSpeech(const WordTable &table, const QString &work)
{
    if (const QString error = writeWordLists(table, work + QStringLiteral("/set")); !error.isEmpty())
        return fail(error);
    if (const QString error = writeSpeechScript(table, work); !error.isEmpty())
        return fail(error);
    return 0;
}

// Styles 1..4: printed upper, printed lower, cursive upper, cursive lower.
int makeLetters(const QString &jpg)
{
    QString error;
    const QFont printedFont = LetterArt::referenceFont(QStringLiteral("Andika"), true, &error);
    const QFont cursiveFont = LetterArt::referenceFont(QStringLiteral("Ecolier_court"), false, &error);
    if (!error.isEmpty())
        return fail(error);
    // Upper and lower case each fill the picture: a small cursive "a" next
    // to its large capital would be too thin for a child to see.
    const QString lower = vowels.toLower();
    const LetterArt printedUpper(printedFont, vowels, printedStroke);
    const LetterArt printedLower(printedFont, lower, printedStroke);
    const LetterArt cursiveUpper(cursiveFont, vowels, cursiveCapitalStroke,
                                 {{QLatin1Char('A'), cursiveCapitalA(cursiveFont)},
                                  {QLatin1Char('I'), cursiveCapitalI(cursiveFont)},
                                  {QLatin1Char('O'), cursiveCapitalO(cursiveFont)},
                                  {QLatin1Char('U'), cursiveCapitalU(cursiveFont)}});
    QHash<QChar, QPainterPath> withEntry;
    for (const QChar small : lower)
        withEntry.insert(small, cursiveSmallWithEntry(cursiveFont, small));
    const LetterArt cursiveLower(cursiveFont, lower, cursiveStroke, withEntry);
    for (const QChar vowel : vowels) {
        const QImage styles[] = {printedUpper.render(vowel), printedLower.render(vowel.toLower()),
                                 cursiveUpper.render(vowel), cursiveLower.render(vowel.toLower())};
        for (int style = 1; style <= 4; ++style) {
            const QString path = QStringLiteral("%1/%2%3.jpg").arg(jpg).arg(vowel).arg(style);
            if (!saveJpeg(styles[style - 1], path))
                return fail(QStringLiteral("cannot write %1").arg(path));
        }
    }
    return 0;
}

int makeFaces(const QString &jpg)
{
    const FaceArt faces;
    for (const QChar vowel : vowels) {
        const QString path = QStringLiteral("%1/%2.jpg").arg(jpg, vowel);
        if (!saveJpeg(faces.render(vowel), path))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}

int makeWordPictures(const WordTable &table, const QString &jpg)
{
    for (const Word &word : table.words()) {
        QString error;
        const QImage picture = VectorArt::render(word.picture, &error);
        if (picture.isNull())
            return fail(QStringLiteral("the picture of \"%1\": %2").arg(word.text, error));
        const QString path = QStringLiteral("%1/%2.jpg").arg(jpg, word.text);
        if (!saveJpeg(picture, path))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}

int makePictures(const WordTable &table, const QString &set)
{
    const QString jpg = set + QStringLiteral("/jpg");
    if (const int status = makeLetters(jpg))
        return status;
    if (const int status = makeFaces(jpg))
        return status;
    return makeWordPictures(table, jpg);
}

} // namespace

int main(int argc, char *argv[])
{
    // Pictures are drawn without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4 || (args.at(1) != QLatin1String("speech") && args.at(1) != QLatin1String("pictures")))
        return fail(QStringLiteral("usage: zampli-mediagen speech|pictures WORDS.tsv FOLDER"));

    const WordTable table = WordTable::load(args.at(2));
    if (!table.error().isEmpty())
        return fail(table.error());
    if (args.at(1) == QLatin1String("speech"))
        return makeSpeech(table, args.at(3));
    return makePictures(table, args.at(3));
}
