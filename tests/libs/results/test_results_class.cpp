// SPDX-License-Identifier: GPL-3.0-or-later
// One computer, a whole class: the children the adult names, who plays now,
// each session on its child, the class's table and what each child should
// practise next, a child erased without a trace, and files of the first
// version brought up to date. Real SQLite files in temporary folders.
#include "ClassOfAnswers.h"
#include "CopyFiles.h"
#include "ResultsPlant.h"
#include "ResultsRows.h"
#include "ResultsOldSchema.h"
#include "ResultsSample.h"
#include "results/ResultsEditor.h"
#include "results/ClassReader.h"

#include <QtTest>
#include <ctime>

using namespace zampli;
using namespace zampli::test;

namespace {

constexpr qint64 kMarch4 = 1709546400000; // 2024-03-04 10:00:00 UTC

AnswerRecord heard(qint64 at, const char *asked, const char *chosen)
{
    return {.atMs = at, .window = "FormZampli3", .turn = 1, .asked = asked, .chosen = chosen, .chosenAs = Shown::Letter,
            .chosenStyle = 1, .right = qstrcmp(asked, chosen) == 0, .answerMs = 1000};
}

// A session begun at `at` with one heard answer a second apart per {asked, chosen}; true once written.
bool played(ResultsWriter &w, qint64 at, std::initializer_list<std::pair<const char *, const char *>> answers)
{
    w.sessionStarted(at);
    for (const auto &[asked, chosen] : answers)
        w.record(heard(at += 1000, asked, chosen));
    return w.sync();
}

// Each child's advice, "name: advice; advice".
QStringList advice(ResultsReader &reader)
{
    QStringList children;
    for (const PractiseNext &p : ClassReader(reader).practiseNext()) {
        QStringList out;
        for (const Confusion &c : p.confusions)
            out << c.advice;
        children << (p.name.isNull() ? QStringLiteral("(senza nome)") : p.name) + QStringLiteral(": ") +
                        out.join(QStringLiteral("; "));
    }
    return children;
}

// Each session's id and child, "id:name".
QStringList owners(ResultsReader &reader, const ResultsFilter &f = {})
{
    QStringList out;
    for (const SessionSummary &s : reader.sessions(f))
        out << QStringLiteral("%1:%2").arg(s.id).arg(s.childName);
    return out;
}

int answersOf(const VowelScores &v)
{
    int n = 0;
    for (const Score &s : v)
        n += s.right + s.wrong;
    return n;
}

// The files of `folder` whose bytes hold `text`, the log and index files included.
QStringList filesHolding(const QString &folder, const QString &text)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains(text.toUtf8()))
            out << QFileInfo(f).fileName();
    }
    return out;
}

} // namespace

class ResultsClassTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString db_;
    QStringList told_;

    ResultsFile::Report report()
    {
        return [this](const QString &line) { told_ << line; };
    }

    // Four children, twelve school days of 100 answers each, to 2024-03-29.
    void writeClass()
    {
        QString error;
        QCOMPARE(writeClassOfAnswers(db_, {QDate(2024, 3, 29), 4, 12, 100, 3}, error), 4800);
        QCOMPARE(error, QString());
    }

private slots:
    void initTestCase()
    {
        qputenv("TZ", "UTC");
        tzset();
    }
    void init()
    {
        db_ = dir_.filePath(QStringLiteral("%1.sqlite").arg(QTest::currentTestFunction()));
        told_.clear();
    }

    // A missing file is made only when asked. Names differ in more than
    // case, accented letters too; blanks are no name.
    void childrenNamedOnce()
    {
        ResultsEditor editor;
        QVERIFY(!editor.open(db_));
        QVERIFY(!QFileInfo::exists(db_));
        QVERIFY(editor.open(db_, ResultsEditor::IfMissing::Make));
        const qint64 marco = editor.addChild(QStringLiteral("  Marco "));
        const qint64 nicolo = editor.addChild(QStringLiteral("Nicolò"));
        QVERIFY(marco > 0 && nicolo > 0);
        QCOMPARE(editor.addChild(QStringLiteral("marco")), qint64(0));
        QVERIFY2(editor.error().contains(QStringLiteral("c'è già un bambino di nome Marco")), qPrintable(editor.error()));
        QCOMPARE(editor.addChild(QStringLiteral("NICOLÒ")), qint64(0));
        QCOMPARE(editor.addChild(QStringLiteral("   ")), qint64(0));
        QVERIFY2(editor.error().contains(QStringLiteral("scrivi il nome")), qPrintable(editor.error()));
        QVERIFY(!editor.renameChild(nicolo, QStringLiteral("MARCO")));
        QVERIFY(editor.renameChild(nicolo, QStringLiteral("Nicola")));
        ResultsReader reader;
        QVERIFY(reader.open(db_));
        QStringList names;
        for (const ChildEntry &c : reader.children())
            names << c.name;
        QCOMPARE(names, QStringList({"Marco", "Nicola"}));
    }

    // The adult's "now playing" reaches the sessions the child's program
    // begins afterwards; a past session can be given to a child later.
    void sessionsBelongToWhoPlays()
    {
        ResultsEditor editor;
        QVERIFY(editor.open(db_, ResultsEditor::IfMissing::Make));
        const qint64 marco = editor.addChild(QStringLiteral("Marco"));
        const qint64 giulia = editor.addChild(QStringLiteral("Giulia"));
        ResultsWriter w(db_, dir_.path(), report());
        QVERIFY(editor.choosePlaying(marco));
        QVERIFY(played(w, kMarch4, {{"E", "I"}}));
        QVERIFY(editor.choosePlaying(0));
        QVERIFY(played(w, kMarch4 + 60000, {{"A", "A"}}));
        QVERIFY(editor.choosePlaying(giulia));
        QVERIFY(played(w, kMarch4 + 120000, {{"O", "O"}}));
        ResultsReader reader;
        QVERIFY(reader.open(db_));
        QCOMPARE(ClassReader(reader).nowPlaying().name, QStringLiteral("Giulia"));
        QCOMPARE(owners(reader), QStringList({"1:Marco", "2:", "3:Giulia"}));
        QVERIFY(editor.nameSession(2, marco));
        QVERIFY(!editor.nameSession(2, 99));
        QVERIFY(!editor.nameSession(99, marco));
        QCOMPARE(owners(reader, {.childId = marco}), QStringList({"1:Marco", "2:Marco"}));
        QCOMPARE(reader.sessions({.childId = ResultsFilter::kNoChild}).size(), 0);
        QCOMPARE(told_, QStringList());
    }

    // Children × vowels, right out of asked, and the last day played; each
    // child's two mix-ups, the commoner first, in the teacher's words.
    void classOverviewAndPractiseNext()
    {
        writeClass();
        ResultsReader reader;
        QVERIFY2(reader.open(db_), qPrintable(reader.error()));
        const QList<ChildOverview> rows = ClassReader(reader).classOverview();
        QStringList seen;
        for (const ChildOverview &r : rows)
            seen << QStringLiteral("%1 %2 %3").arg(r.name).arg(answersOf(r.vowels)).arg(r.lastDay.toString(Qt::ISODate));
        QCOMPARE(seen, QStringList({"Alessia 1200 2024-03-29", "Bruno 1200 2024-03-29", "Chiara 1200 2024-03-29",
                                    "Davide 1200 2024-03-29"}));
        // Alessia takes a heard E for an I in almost half of those answers:
        // her E is her weakest vowel, her A (never mixed up) her best.
        const VowelScores alessia = rows[0].vowels;
        const auto share = [](const Score &s) { return double(s.right) / (s.right + s.wrong); };
        QVERIFY2(share(alessia[1]) < 0.9 && share(alessia[0]) > 0.95,
                 qPrintable(QStringLiteral("%1 %2").arg(share(alessia[1])).arg(share(alessia[0]))));
        const QList<ChildOverview> one = ClassReader(reader).classOverview({.fromMs = QDateTime(QDate(2024, 3, 29), QTime(0, 0)).toMSecsSinceEpoch(),
                                                               .childId = rows[1].childId});
        QCOMPARE(one.size(), 1);
        QCOMPARE(one[0].name, QStringLiteral("Bruno"));
        QCOMPARE(answersOf(one[0].vowels), 100);

        QCOMPARE(advice(reader), QStringList({
                             "Alessia: scambia spesso la E con la I quando le sente; "
                             "scambia spesso la I con la E quando legge la lettera",
                             "Bruno: scambia spesso la O con la U quando le sente; "
                             "scambia spesso la O con la A quando cerca l'iniziale di una parola",
                             "Chiara: scambia spesso la A con la O quando vede la bocca che le dice; "
                             "scambia spesso la U con la O quando le sente",
                             "Davide: scambia spesso la I con la E quando legge la lettera; "
                             "scambia spesso la I con la E quando vede la bocca che le dice",
                         }));
        const Confusion first = ClassReader(reader).practiseNext()[0].confusions[0];
        QCOMPARE(first.askedAs, QStringLiteral("voce"));
        QVERIFY2(first.outOf >= 40 && first.times * 4 > first.outOf, qPrintable(QString::number(first.times)));
    }

    // A mix-up counts from exactly 20 answers, 5 of them the same wrong
    // vowel, one in ten; one answer fewer on any of the three, and it does not.
    void practiseNextCountsFromTheThresholds()
    {
        // Each child's name, wrong answers and right ones.
        const std::tuple<const char *, int, int> children[] = {
            {"Anna", 5, 15}, {"Bice", 5, 45}, {"Carla", 5, 14}, {"Dora", 4, 16}, {"Elsa", 5, 46}};
        ResultsEditor editor;
        QVERIFY(editor.open(db_, ResultsEditor::IfMissing::Make));
        ResultsWriter w(db_, dir_.path(), report());
        qint64 at = kMarch4;
        for (const auto &[name, wrong, right] : children) {
            QVERIFY(editor.choosePlaying(editor.addChild(QString::fromLatin1(name))));
            w.sessionStarted(at);
            for (int k = 0; k < wrong + right; ++k)
                w.record(heard(at += 1000, "E", k < wrong ? "I" : "E"));
            QVERIFY(w.sync());
            at += 3600000;
        }
        ResultsReader reader;
        QVERIFY(reader.open(db_));
        QCOMPARE(advice(reader), QStringList({
                             "Anna: scambia spesso la E con la I quando le sente",
                             "Bice: scambia spesso la E con la I quando le sente",
                             "Carla: ",
                             "Dora: ",
                             "Elsa: ",
                         }));
    }

    // Erasing a child takes her sessions, those labelled with her name and
    // her name itself out of every file of the state folder, while the
    // child's program still has the file open; the others stay.
    void erasedChildLeavesNoTrace()
    {
        const QString name = QStringLiteral("Ermenegilda");
        ResultsEditor editor;
        QVERIFY(editor.open(db_, ResultsEditor::IfMissing::Make));
        const qint64 her = editor.addChild(name);
        const qint64 other = editor.addChild(QStringLiteral("Bruno"));
        ResultsWriter w(db_, dir_.path(), report());
        const qint64 day = 86400000;
        for (int d = 0; d < 3; ++d) {
            QVERIFY(editor.choosePlaying(d == 1 ? other : her));
            QVERIFY(played(w, kMarch4 + d * day, {{"E", "I"}, {"E", "E"}}));
        }
        QVERIFY(editor.choosePlaying(0));
        QVERIFY(played(w, kMarch4 + 3 * day, {{"U", "U"}}));
        labelByHand(db_, 2, QStringLiteral("ermenegilda"));
        labelByHand(db_, 4, QStringLiteral("ermenegilda"));
        QVERIFY(editor.choosePlaying(her));
        QCOMPARE(editor.addChild(QStringLiteral("bruno")), qint64(0)); // leaves a reason in error()
        // Copies of a damaged file hold every child's answers: they go with her.
        const QString copy = db_ + QStringLiteral(".guasto-20240305-101010");
        const QString pendingCopy = db_ + QStringLiteral(".in-attesa.guasto-20240306-090000");
        for (const QString &file : {copy, copy + QStringLiteral("-wal"), pendingCopy})
            writeFile(file, "risposte di " + name.toUtf8() + " e di Bruno");
        QVERIFY(!filesHolding(dir_.path(), name).isEmpty());

        // Sessions 2 (Bruno's) and 4 (nobody's) bear her name as a label, and keep their answers without it.
        const ErasePreview going = editor.previewChild(her);
        QCOMPARE(going.sessions, QList<qint64>({1, 3}));
        QCOMPARE(going.answers, 4);
        QCOMPARE(going.days, QList<QDate>({QDate(2024, 3, 4), QDate(2024, 3, 6)}));
        QStringList named = going.damagedCopies;
        named.sort();
        QCOMPARE(named, QStringList({copy, pendingCopy}));
        QVERIFY(editor.eraseChild(her));
        QCOMPARE(editor.error(), QString());
        QCOMPARE(filesHolding(dir_.path(), name), QStringList());
        QCOMPARE(filesHolding(dir_.path(), name.toLower()), QStringList());
        QCOMPARE(queryRows(db_, "SELECT id, coalesce(child_id, '-'), coalesce(label, '-') FROM sessions ORDER BY id"),
                 QStringLiteral("2|%1|- / 4|-|-").arg(other));
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM answers"), QStringLiteral("3"));
        // Nobody plays now; the child's program goes on writing.
        QVERIFY(played(w, kMarch4 + 4 * day, {{"A", "A"}}));
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM sessions WHERE child_id IS NULL"), QStringLiteral("2"));
        QVERIFY(!editor.eraseChild(her));
    }

    // A file of the second version, its problems counted without words and
    // its merged batches, is brought up to date: the problem shows unread,
    // the batches stay merged, and the sessions begun then get their child.
    void secondVersionFileUpgraded()
    {
        QVERIFY(plant(db_, "PRAGMA journal_mode=WAL;"
                       RESULTS_SECOND_VERSION_TABLES
                       "INSERT INTO sessions VALUES(1, 1709546400000, 1709546460000, '/opt/zampli', NULL);"
                       "INSERT INTO answers VALUES(1, 1, 1709546401000, 'FormZampli3', 1, 'E', 'voce', 0, NULL,"
                       " 'I', 'lettera', 1, 0, 900);"
                       "INSERT INTO problems VALUES(1, 1709546402000, 'risposte perse', 12);"
                       "INSERT INTO merged_batches VALUES('lotto-1', 1709546403000);"
                       "PRAGMA user_version = 2;"));
        ResultsReader reader;
        QVERIFY2(reader.open(db_), qPrintable(reader.error()));
        QCOMPARE(queryRows(db_, "PRAGMA user_version"), QStringLiteral("5"));
        const QList<ProblemEntry> unread = reader.problems(true);
        QCOMPARE(unread.size(), 1);
        QCOMPARE(unread[0].kind, QStringLiteral("risposte perse"));
        QCOMPARE(unread[0].count, 12);
        QCOMPARE(unread[0].atMs, 1709546402000);
        QVERIFY(unread[0].detail.isNull());
        QCOMPARE(queryRows(db_, "SELECT id FROM merged_batches"), QStringLiteral("lotto-1"));
        ResultsEditor editor;
        QVERIFY(editor.open(db_));
        QVERIFY(editor.markProblemsRead());
        QCOMPARE(reader.problems(true).size(), 0);
        QVERIFY(editor.choosePlaying(editor.addChild(QStringLiteral("Anna"))));
        {
            ResultsWriter w(db_, dir_.path(), report());
            QVERIFY(played(w, kMarch4 + 86400000, {{"A", "A"}}));
        }
        QCOMPARE(owners(reader), QStringList({"1:", "2:Anna"}));
        QCOMPARE(told_, QStringList());
    }

    // Help is printed and nothing is written; an unknown option writes nothing either.
    void generatorHelpWritesNothing()
    {
        QTemporaryDir work;
        const std::pair<QStringList, int> runs[] = {
            {{"--help"}, 0}, {{"-h"}, 0}, {{"--classe", "--help"}, 0}, {{"--aiuto"}, 2}};
        for (const auto &[args, code] : runs) {
            QProcess gen;
            gen.setWorkingDirectory(work.path());
            gen.start(QStringLiteral(RESULTSGEN), args);
            QVERIFY(gen.waitForFinished(10000));
            QCOMPARE(gen.exitCode(), code);
            QVERIFY(code ? gen.readAllStandardError().contains("opzione sconosciuta: --aiuto")
                         : gen.readAllStandardOutput().startsWith("uso:"));
        }
        QCOMPARE(QDir(work.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_GUILESS_MAIN(ResultsClassTest)
#include "test_results_class.moc"
