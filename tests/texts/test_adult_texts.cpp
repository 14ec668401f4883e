// SPDX-License-Identifier: GPL-3.0-or-later
// Every text an adult reads speaks to her as "tu": the string literals of
// the programs and libraries, the Italian manual pages, LEGGIMI and the
// guide hold no second person plural ("Scegliete", "controllate",
// "vostra", "potete", "rinominatelo"). Italian writes the plural imperative
// like a feminine plural participle ("Cancellate 3 sessioni", "giuste e
// sbagliate"), so a word ending in -ate, -ete or -ite counts as a verb only
// where a verb would stand: first in its clause, or after a word that
// leads one ("poi", "o", "se", "non", "dove"...).
#include <QtTest>

#include <QDirIterator>
#include <QRegularExpression>

namespace {

struct Text {
    QString where;
    QString text;
};

QString sourceRoot() { return qEnvironmentVariable("ZAMPLI_TEST_SOURCE_DIR"); }

QString readText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return QString::fromUtf8(file.readAll());
}

// The string literals of a C++ file, comments, character literals and
// #include lines left out (an apostrophe after a digit separates digits);
// literals written one after the other ("a" "b") are one text.
QList<Text> literals(const QString &name, const QString &source)
{
    static const QRegularExpression token(QStringLiteral(R"re(//[^\n]*|/\*.*?\*/|#include[^\n]*|(?<![0-9])'(?:[^'\\]|\\.)*+'|"((?:[^"\\]|\\.)*+)")re"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QList<Text> found;
    int line = 1;
    qsizetype counted = 0, lastEnd = -1;
    for (auto it = token.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (m.capturedStart(1) < 0)
            continue;
        // Escapes read as a space, but for the quotes and the backslash themselves.
        const QString raw = m.captured(1);
        QString text;
        for (qsizetype j = 0; j < raw.size(); ++j) {
            if (raw[j] != u'\\')
                text += raw[j];
            else if (const QChar c = raw[++j]; QStringLiteral("\"\\'").contains(c))
                text += c;
            else
                text += u' ';
        }
        line += int(QStringView(source).mid(counted, m.capturedStart() - counted).count(u'\n'));
        counted = m.capturedStart();
        if (lastEnd >= 0 && !found.isEmpty() && QStringView(source).mid(lastEnd, counted - lastEnd).trimmed().isEmpty())
            found.last().text += text;
        else
            found.append({QStringLiteral("%1:%2").arg(name).arg(line), text});
        lastEnd = m.capturedEnd();
    }
    return found;
}

// A document's paragraphs, tags left out.
QList<Text> paragraphs(const QString &name, const QString &document)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression blank(QStringLiteral("\\n\\s*\\n"));
    QList<Text> found;
    for (const QString &paragraph : QString(document).replace(tag, QStringLiteral(" ")).split(blank))
        found.append({name, paragraph});
    return found;
}

// The words of `text` in the second person plural.
QStringList voiForms(const QString &text)
{
    static const QStringList always = {"voi",   "vostro", "vostra", "vostri", "vostre", "avete", "siete",
                                       "potete", "dovete", "volete", "sapete", "fate",   "dite",  "andate"};
    // Words that lead a clause whose verb follows.
    static const QStringList leading = {"e",    "o",    "poi",  "se",    "non",  "ne",     "ci",     "vi",    "che",
                                        "dove", "quando", "perché", "prima", "voi", "ora", "allora", "oppure", "quindi"};
    // Words with the ending that are no verb, or no second person plural.
    static const QStringList notVerbs = {"ripete", "rete", "parete", "sete",  "abete",  "prete", "segrete",  "lite",
                                         "vite",   "mite", "suite",  "estate", "serate", "patate", "sbagliate",
                                         "libsamplerate"};
    static const QRegularExpression word(QStringLiteral("[\\p{L}]+"));
    static const QRegularExpression ending(QStringLiteral("(ate|ete|ite)$"));
    static const QRegularExpression withPronoun(QStringLiteral("(ate|ete|ite)(lo|la|li|le|ne|ci|vi|mi|gli|glielo|gliela)$"));
    static const QRegularExpression clauseStart(QStringLiteral("(^|[.:;!?(\\[«\"—–-])\\s*$"));
    static const QRegularExpression lastWord(QStringLiteral("(\\p{L}+)\\s*$"));
    const bool prose = text.contains(u' ');
    QStringList found;
    for (auto it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const QString raw = m.captured();
        const QString w = raw.toLower();
        // Identifiers, SQL, paths and file names.
        if (std::count_if(raw.begin(), raw.end(), [](QChar c) { return c.isUpper(); }) > 1)
            continue;
        const QChar before = m.capturedStart() > 0 ? text[m.capturedStart() - 1] : QChar(u' ');
        const QChar after = m.capturedEnd() < text.size() ? text[m.capturedEnd()] : QChar(u' ');
        const QChar afterThat = m.capturedEnd() + 1 < text.size() ? text[m.capturedEnd() + 1] : QChar(u' ');
        const bool extension = after == u'.' && afterThat.isLetter(); // "a.txt", not the end of a sentence
        if (QStringLiteral("/._").contains(before) || after == u'/' || after == u'_' || extension
            || notVerbs.contains(w))
            continue;
        if (always.contains(w) || (w.size() > 7 && withPronoun.match(w).hasMatch())) {
            found << w;
            continue;
        }
        if (w.size() <= 4 || !ending.match(w).hasMatch())
            continue;
        // "Cancellate %1 sessioni", "Non importate:": a participle heading its count or list.
        const QString rest = text.mid(m.capturedEnd()).trimmed();
        if (rest.isEmpty() || rest[0] == u'%' || rest[0] == u':' || rest[0].isDigit())
            continue;
        const QString head = text.left(m.capturedStart());
        const QRegularExpressionMatch previous = lastWord.match(head);
        const bool first = clauseStart.match(head).hasMatch() && (prose || m.capturedStart() > 0);
        if (first || (previous.hasMatch() && leading.contains(previous.captured(1).toLower())))
            found << w;
    }
    return found;
}

} // namespace

class AdultTextsTest : public QObject {
    Q_OBJECT

private slots:
    // The check itself on sentences of the kind the programs write.
    void voiIsToldFromParticiples_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("voi");
        QTest::newRow("imperative first") << "%1 c'è già: scegliete un altro nome." << QStringList{"scegliete"};
        QTest::newRow("after o and poi")
            << "Liberate spazio o controllate i permessi, poi riprovate." << QStringList{"liberate", "controllate", "riprovate"};
        QTest::newRow("possessive and modal")
            << "La cartella è nel cestino, da dove potete riprenderla se è vostra." << QStringList{"potete", "vostra"};
        QTest::newRow("pronoun attached") << "Il nome non va: rinominatelo con lettere comuni." << QStringList{"rinominatelo"};
        QTest::newRow("tu") << "Scegli un altro nome, poi riprova." << QStringList{};
        QTest::newRow("participles")
            << "Le parole importate restano; le risposte non sono ancora arrivate." << QStringList{};
        QTest::newRow("participle heading a count") << "Cancellate %1 sessioni." << QStringList{};
        QTest::newRow("participle heading a list") << "Non importate: %1" << QStringList{};
        QTest::newRow("third person") << "Il bambino ripete la vocale." << QStringList{};
        QTest::newRow("code") << "UPDATE sessions SET state = 1" << QStringList{};
    }
    void voiIsToldFromParticiples()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, voi);
        QCOMPARE(voiForms(text), voi);
    }

    void everyAdultTextSaysTu()
    {
        const QString root = sourceRoot();
        QVERIFY2(QFileInfo(root + "/libs").isDir(), "ZAMPLI_TEST_SOURCE_DIR names no source tree");
        QList<Text> texts;
        int sources = 0;
        for (const char *folder : {"programs", "libs"}) {
            QDirIterator it(root + "/" + folder, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                texts += literals(QDir(root).relativeFilePath(path), readText(path));
                ++sources;
            }
        }
        QStringList documents{root + "/LEGGIMI.md"};
        for (const QString &name : QDir(root + "/man/it").entryList(QDir::Files))
            documents << root + "/man/it/" + name;
        for (const QString &name : QDir(root + "/docs/guida").entryList({"*.html"}, QDir::Files))
            documents << root + "/docs/guida/" + name;
        for (const QString &path : documents)
            texts += paragraphs(QDir(root).relativeFilePath(path), readText(path));
        // Both kinds were found: a check of nothing would pass.
        QVERIFY2(sources > 100 && documents.size() > 8, qPrintable(QString::number(sources)));

        QStringList voi;
        for (const Text &t : std::as_const(texts))
            if (const QStringList words = voiForms(t.text); !words.isEmpty())
                voi << QStringLiteral("%1: %2 in «%3»").arg(t.where, words.join(", "), t.text.simplified().left(120));
        QVERIFY2(voi.isEmpty(), qPrintable(voi.join(u'\n')));
    }
};

QTEST_GUILESS_MAIN(AdultTextsTest)
#include "test_adult_texts.moc"
