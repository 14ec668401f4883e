// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab on a real database in a temporary state folder: what it
// shows of the answers written, names and deletions done through its own
// controls, the files it exports, and its charts as the teacher reads them.
#include "ResultsHarness.h"
#include "ResultsPlant.h"
#include "ResultsTabDriver.h"
#include "ResultsSample.h"
#include "SoundFiles.h"
#include "tabs/results/ResultsCharts.h"
#include "tabs/results/ResultsNames.h"
#include "tabs/results/ResultsTab.h"

#include <QBarSet>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGraphicsSimpleTextItem>
#include <QHorizontalStackedBarSeries>
#include <QLineSeries>

#include <QtTest>
#include <QtWidgets>
#include <functional>

using namespace zampli;
using namespace zampli::test;
using namespace zampli::teacher;

namespace {

// Names `path` in the next file window and accepts it.
void answerFileDialog(const QString &path)
{
    whenModalShows<QFileDialog>([path](QFileDialog *d) { acceptFileDialog(d, path); });
}

// One answer as the child's program writes it.
AnswerRecord answer(qint64 atMs, const char *window, int turn, const QString &asked, Shown askedAs,
                    const QString &chosen, Shown chosenAs)
{
    return {.atMs = atMs, .window = QString::fromLatin1(window), .turn = turn, .asked = asked, .askedAs = askedAs,
            .chosen = chosen, .chosenAs = chosenAs, .right = asked == chosen, .answerMs = 900};
}

// Today, or `offset` days from it, as the teacher reads a date.
QString day(int offset = 0)
{
    return QDate::currentDate().addDays(offset).toString(u"dd/MM/yyyy");
}

QLineSeries *lineOf(const QChart &chart, const QString &vowel)
{
    for (QAbstractSeries *s : chart.series())
        if (s->name() == vowel)
            return qobject_cast<QLineSeries *>(s);
    return nullptr;
}

} // namespace

class TeacherResultsTest : public QObject, ResultsTabDriver {
    Q_OBJECT
    QTemporaryDir state_, folder_, out_;

    QTableView *table() { return tab_->findChild<QTableView *>("sessioni"); }
    int rows() { return table()->model()->rowCount(); }
    QString cellText(int row, int column) { return table()->model()->index(row, column).data().toString(); }
    QStringList sessions() { return rowTexts(table()->model(), u'|'); }
    // The sample's three sessions as the table shows them: day, hours, right
    // and wrong answers, name, windows (by the child's menu when there is one).
    static QStringList sampleRows()
    {
        return {day() + "|09:00|09:05|2|1||ZAMPLI/SUONI riconosci 1", day() + "|10:00|10:05|1|1||FormZampli5",
                day() + "|11:00|11:05|1|1||FormZampli9"};
    }
    QComboBox *kinds() { return tab_->findChild<QComboBox *>("tipoMatrice"); }
    // Does `act` and waits for the reading it leads to to be on screen.
    void andWait(const std::function<void()> &act)
    {
        QSignalSpy read(tab_.get(), &ResultsTab::updated);
        act();
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), 10000);
    }
    void chooseRow(int row)
    {
        const QRect at = table()->visualRect(table()->model()->index(row, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, at.center());
    }
    // Moves `box` from its top down to item `at` by keyboard, as the teacher would.
    static void keyTo(QComboBox *box, int at)
    {
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Home);
        for (int i = 0; i < at; ++i)
            QTest::keyClick(box, Qt::Key_Down);
    }
    // Moves the kind of matrix down the list, as the keyboard does, to the item that begins with `text`.
    void chooseKind(const QString &text)
    {
        const int at = kinds()->findText(text, Qt::MatchStartsWith);
        QVERIFY2(at >= 0, qPrintable(text));
        keyTo(kinds(), at);
        QCOMPARE(kinds()->currentIndex(), at);
    }
    QStringList kindTexts() { return itemTexts(kinds()); }
    QString db() const { return resultsDatabasePath(resultsFolder(), folder_.path()); }
    // A session from `startMs` to `endMs` holding `answers`, as the child's program writes it.
    void writeSession(qint64 startMs, qint64 endMs, const QList<AnswerRecord> &answers)
    {
        ResultsWriter writer(db(), folder_.path(), [](const QString &line) { qFatal("%s", qPrintable(line)); });
        writer.sessionStarted(startMs);
        for (const AnswerRecord &a : answers)
            writer.record(a);
        writer.sessionEnded(endMs);
        QVERIFY(writer.sync());
    }
    // One more answer, an O, in a session of its own at `hour` today.
    void writeOne(int hour, const char *window, Shown askedAs, Shown chosenAs)
    {
        writeSession(todayAt(hour, 0), todayAt(hour, 2), {answer(todayAt(hour, 1), window, 1, "O", askedAs, "O", chosenAs)});
    }
    // A session at `hour` today of heard vowels answered with tiles, one
    // answer per pair "asked chosen", written for whoever plays now.
    void writeHeard(int hour, const QStringList &pairs)
    {
        QList<AnswerRecord> answers;
        for (int k = 0; k < pairs.size(); ++k)
            answers << answer(todayAt(hour, 0) + 1000 * (k + 1), "FormZampli3", k + 1, pairs[k].left(1), Shown::Voice,
                              pairs[k].right(1), Shown::Tile);
        writeSession(todayAt(hour, 0), todayAt(hour, 59), answers);
    }
    // `answers` heard E, the first `asI` taken for an I.
    void writeMixUps(int hour, int answers, int asI)
    {
        QStringList pairs(answers, QStringLiteral("E E"));
        std::fill_n(pairs.begin(), asI, QStringLiteral("E I"));
        writeHeard(hour, pairs);
    }
    // Chooses `text` in the box `name` by keyboard and waits for its reading.
    void chooseIn(const char *name, const QString &text)
    {
        auto *box = widget<QComboBox>(name);
        QTRY_VERIFY2(box->findText(text) >= 0, qPrintable(text));
        const int at = box->findText(text);
        QVERIFY(box->currentIndex() != at);
        andWait([&] { keyTo(box, at); });
        QCOMPARE(box->currentText(), text);
    }
    void chooseChild(const QString &name) { chooseIn("bambino", name); }
    QChart *chart(const char *name) { return widget<QChartView>(name)->chart(); }
    QStringList barTexts()
    {
        QStringList out;
        for (QGraphicsSimpleTextItem *label : static_cast<VowelBarsChart *>(chart("perVocale"))->labels())
            out << label->text();
        return out;
    }
    // The first and last day of the trend's time axis, as its labels write them.
    QString trendSpan()
    {
        const auto axes = chart("andamento")->axes(Qt::Horizontal);
        auto *time = qobject_cast<QDateTimeAxis *>(axes.value(0));
        if (!time)
            return QStringLiteral("no time axis");
        return time->min().toString(time->format()) + QStringLiteral(" – ") + time->max().toString(time->format());
    }
    QStringList matrixCells() { return rowTexts(widget<QTableView>("matrice")->model(), u' '); }
    void addChild(const QString &name)
    {
        widget<QLineEdit>("nomeBambino")->setText(name);
        andWait([this] { click("aggiungiBambino"); });
    }
    QStringList classRows() { return rowTexts(widget<QTableView>("classe")->model(), u'|'); }
    void open()
    {
        tab_ = std::make_unique<ResultsTab>(folder_.path());
        tab_->resize(1100, 700);
        andWait([this] { tab_->show(); });
        QVERIFY(QTest::qWaitForWindowExposed(tab_.get()));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());
    }

    void init()
    {
        tab_.reset();
        QDir(state_.path()).removeRecursively();
        QVERIFY(QDir().mkpath(QFileInfo(db()).absolutePath()));
        writeSample(db(), folder_.path());
        if (QByteArray(QTest::currentTestFunction()) == "eachKindHasItsOwnMatrixToCopy")
            writeOne(12, "FormPosizioni1", Shown::Voice, Shown::Face);
        open();
    }

    void showsTheSessionsWritten()
    {
        QCOMPARE(sessions(), sampleRows());
        auto *words = tab_->findChild<QListWidget *>("paroleSbagliate");
        QCOMPARE(words->count(), 1);
        QCOMPARE(words->item(0)->text(), QStringLiteral("ELEFANTE: 1 sbagliata su 2"));
        // Styles by their names, every date dd/mm/yyyy.
        QCOMPARE(tab_->findChild<QDateEdit *>("al")->text(), day());
        QCOMPARE(tab_->findChild<QDateEdit *>("dal")->text(), day()); // from the first answer kept
        QCOMPARE(kindTexts(), QStringList({QStringLiteral("Vede la bocca, sceglie la lettera in stampato "
                                                          "minuscolo (2 risposte)"),
                                           QStringLiteral("Vede la parola, sceglie la vocale con cui inizia "
                                                          "(2 risposte)"),
                                           QStringLiteral("Sente la vocale, sceglie la tessera colorata "
                                                          "(3 risposte)")}));
        // The child plays while the teacher looks: the new session shows without a click.
        writeOne(12, "FormPosizioni1", Shown::Voice, Shown::Face);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QCOMPARE(cellText(3, 6), QStringLiteral("POSIZIONI/SUONI ascolto 1"));
    }

    // Each kind of question has its own matrix: a face chosen after a heard
    // vowel is never counted with the tiles chosen after one. The matrix is a
    // table: Ctrl+C copies the cells chosen, with their vowels, split by tabs.
    void eachKindHasItsOwnMatrixToCopy()
    {
        chooseKind(QStringLiteral("Sente la vocale, sceglie la tessera colorata"));
        QCOMPARE(matrixCells(), QStringList({"1 0 0 0 0", "0 1 1 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
        auto *view = tab_->findChild<QTableView *>("matrice");
        QApplication::clipboard()->clear();
        const QAbstractItemModel *m = view->model();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(m->index(0, 0)).center());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          view->visualRect(m->index(1, 2)).center());
        QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("\tA\tE\tI\nA\t1\t0\t0\nE\t0\t1\t1\n"));
        QCOMPARE(m->index(1, 2).data(Qt::AccessibleTextRole).toString(),
                 QStringLiteral("Chiesta E, scelta I: 1 volta su 2 (50%)"));
        chooseKind(QStringLiteral("Sente la vocale, sceglie la bocca")); // O heard, the face of O chosen
        QCOMPARE(matrixCells(), QStringList({"0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 1 0", "0 0 0 0 0"}));
        chooseKind(QStringLiteral("Vede la bocca")); // the face of I, E chosen
        QCOMPARE(matrixCells(), QStringList({"0 0 0 0 0", "0 0 0 0 0", "0 1 1 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
    }

    // Every count the teacher reads has its thousands marked, as Italians write them.
    void missedWordsMarkTheThousands()
    {
        QCOMPARE(missedText({QStringLiteral("ISOLA"), 2101, 6383}), QStringLiteral("ISOLA: 2.101 sbagliate su 6.383"));
    }

    // The tab's indexes go only into a file of ours it understands; it never makes one.
    void indexesOnlyInAFileOfOurs()
    {
        const QString missing = out_.filePath(QStringLiteral("mai-scritto.sqlite"));
        QVERIFY(!ResultsReader::addIndexes(missing));
        QVERIFY(!QFile::exists(missing));
        const QString file = out_.filePath(QStringLiteral("altra.sqlite")); // one the tab has not read
        writeSample(file, folder_.path());
        const char *ours = "SELECT name FROM sqlite_master WHERE name LIKE 'answers_reader%' ORDER BY name";
        QVERIFY(plant(file, "PRAGMA user_version = 99"));
        QVERIFY(!ResultsReader::addIndexes(file));
        QCOMPARE(queryRows(file, ours), QString());
        QVERIFY(plant(file, QByteArray("PRAGMA user_version = " + QByteArray::number(schemaVersion())).constData()));
        QVERIFY(ResultsReader::addIndexes(file));
        QCOMPARE(queryRows(file, ours), QStringLiteral("answers_reader_kinds / answers_reader_tally"));

        // A file another program added to is left for the child's program to set aside.
        const QString planted = out_.filePath(QStringLiteral("piantata.sqlite"));
        writeSample(planted, folder_.path());
        QVERIFY(plant(planted, "CREATE TRIGGER t AFTER INSERT ON answers BEGIN DELETE FROM answers; END"));
        QVERIFY(!ResultsReader::addIndexes(planted));
        QCOMPARE(queryRows(planted, ours), QString());
    }

    // A file of the version before the summaries: brought up to date and
    // summarised at its first reading, its views the same.
    void anOlderFileIsSummarisedAtItsFirstReading()
    {
        tab_.reset();
        QVERIFY(plant(db(), "DROP TABLE summary_kinds; DROP TABLE summary_words; DROP TABLE summary_windows;"
                            "DROP TABLE summary_mark; PRAGMA user_version = 4"));
        open();
        QTRY_COMPARE_WITH_TIMEOUT(queryRows(db(), "SELECT last_answer, odd FROM summary_mark", true),
                                  QStringLiteral("7|0"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(sessions(), sampleRows(), 10000);
    }

    // A named session is found by its name; "senza nome" shows the sessions
    // nobody was named for, and erasing what it shows takes those and never
    // a named child's.
    void aNamedSessionIsFoundByItsNameAndTheUnnamedApart()
    {
        chooseRow(1);
        QTest::keyClicks(widget<QLineEdit>("nome"), QStringLiteral("Giulia"));
        andWait([this] { click("daiNome"); });
        QCOMPARE(sessions().at(1), day() + "|10:00|10:05|1|1|Giulia|FormZampli5");
        auto *child = widget<QComboBox>("bambino");
        QCOMPARE(child->count(), 3);
        QCOMPARE(child->itemText(2), QStringLiteral("senza nome")); // the other two sessions
        chooseChild(QStringLiteral("Giulia"));
        QCOMPARE(sessions(), QStringList{day() + "|10:00|10:05|1|1|Giulia|FormZampli5"});

        chooseChild(QStringLiteral("senza nome"));
        QCOMPARE(sessions(), (QStringList{sampleRows()[0], sampleRows()[2]}));
        QString asked;
        pressInBox(QStringLiteral("Cancella"), &asked);
        andWait([this] { click("cancellaTutto"); });
        QVERIFY2(asked.contains(QStringLiteral("(2 sessioni)")), qPrintable(asked));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("2|2"));
        // Told once the new reading is on screen, not replaced by it.
        QTRY_COMPARE(said(), QStringLiteral("Cancellate 2 sessioni."));
    }

    // Erasing a session asks first, saying how many answers of which day;
    // Annulla keeps it, Cancella removes exactly that session. Erasing all
    // asks once the same way.
    void eraseAsksThenRemovesExactlyThatSession()
    {
        chooseRow(1);
        QString said;
        pressInBox(QStringLiteral("Annulla"), &said);
        click("cancellaSessione");
        QTRY_VERIFY(!said.isEmpty());
        QVERIFY2(said.contains(QStringLiteral("2 risposte")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("del %1, dalle 10:00").arg(day())),
                 qPrintable(said));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("1|3 / 2|2 / 3|2"));
        QCOMPARE(rows(), 3);

        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaSessione"); });
        QCOMPARE(sessions(), (QStringList{sampleRows()[0], sampleRows()[2]}));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("1|3 / 3|2"));

        pressInBox(QStringLiteral("Annulla"));
        click("cancellaTutto");
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(rows(), 2);
        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaTutto"); });
        QCOMPARE(rows(), 0);
        QCOMPARE(queryRows(db(), "SELECT count(*) FROM answers"), QStringLiteral("0"));
    }

    // The teacher names a child and says she plays now: the child's program
    // writes her answers to her, and the class's table and what she should
    // practise follow without a click. With one child chosen, by a double
    // click on her row or in «Bambino», every picture is hers alone: the
    // bars, the matrix, the words missed, the trend and its days, the class's rows.
    void whoPlaysNowGetsTheAnswersAndHerPictures()
    {
        addChild(QStringLiteral("Marco"));
        addChild(QStringLiteral("Giulia"));
        QCOMPARE(widget<QComboBox>("oraGioca")->count(), 3); // nobody, then the children by name
        chooseIn("oraGioca", QStringLiteral("Marco"));
        QCOMPARE(queryRows(db(), "SELECT c.name FROM now_playing p JOIN children c ON c.id = p.child_id"),
                 QStringLiteral("Marco"));
        writeMixUps(13, 30, 8);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QCOMPARE(cellText(3, 5), QStringLiteral("Marco"));
        QTRY_VERIFY_WITH_TIMEOUT(classRows().contains("Marco|–|22 su 30 (73%)|–|–|–|" + day()), 10000);
        QVERIFY2(classRows().contains("senza nome|1 su 1 (100%)|2 su 4 (50%)|1 su 2 (50%)|–|–|" + day()), qPrintable(classRows().join('\n')));
        const auto *practise = widget<QListWidget>("daEsercitare");
        QStringList lines;
        for (int i = 0; i < practise->count(); ++i)
            lines << practise->item(i)->text();
        QVERIFY2(lines.contains(QStringLiteral("Marco: scambia spesso la E con la I quando le sente (8 volte su 30)")),
                 qPrintable(lines.join('\n')));
        chooseIn("oraGioca", QStringLiteral("Giulia"));
        writeHeard(14, {"A A", "A A", "A A", "A O", "U U", "U U"});
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 5, 10000);

        andWait([this] { clickClassRow(classRows(), "Marco|", true); });
        QTRY_COMPARE(rows(), 1);
        QCOMPARE(widget<QComboBox>("bambino")->currentText(), QStringLiteral("Marco"));
        QCOMPARE(barTexts(), QStringList({"nessuna risposta", "22 su 30 (73%)", "nessuna risposta", "nessuna risposta",
                                          "nessuna risposta"}));
        QCOMPARE(matrixCells(), QStringList({"0 0 0 0 0", "0 22 8 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
        QTRY_COMPARE(classRows(), QStringList({"Marco|–|22 su 30 (73%)|–|–|–|" + day()}));

        chooseChild(QStringLiteral("Giulia"));
        QCOMPARE(rows(), 1);
        QCOMPARE(barTexts(), QStringList({"3 su 4 (75%)", "nessuna risposta", "nessuna risposta", "nessuna risposta",
                                          "2 su 2 (100%)"}));
        auto *series = qobject_cast<QHorizontalStackedBarSeries *>(chart("perVocale")->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->barSets().at(0)->at(4), 3.0); // A's right answers, in the top row
        QCOMPARE(series->barSets().at(5)->at(4), 1.0); // and its wrong one
        QCOMPARE(kindTexts(), QStringList({"Sente la vocale, sceglie la tessera colorata (6 risposte)"}));
        QCOMPARE(matrixCells(), QStringList({"3 0 0 1 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 2"}));
        QCOMPARE(widget<QListWidget>("paroleSbagliate")->count(), 0); // ELEFANTE was missed by nobody named
        QCOMPARE(trendSpan(), day() + " – " + day(1));
        QLineSeries *a = lineOf(*chart("andamento"), QStringLiteral("A"));
        QVERIFY(a);
        QCOMPARE(a->count(), 1);
        QCOMPARE(a->at(0).y(), 75.0);
        QCOMPARE(lineOf(*chart("andamento"), QStringLiteral("E"))->count(), 0);
        QTRY_COMPARE(classRows(), QStringList({"Giulia|3 su 4 (75%)|–|–|–|2 su 2 (100%)|" + day()}));
        // Those of nobody named are still there to choose.
        QVERIFY(widget<QComboBox>("bambino")->findText(QStringLiteral("senza nome")) >= 0);
    }

    // With one kind of question chosen, every picture counts only its answers.
    void everyPictureFollowsTheKindChosen()
    {
        QCOMPARE(widget<QComboBox>("domande")->itemText(0), QStringLiteral("Tutte"));
        chooseIn("domande", QStringLiteral("Sente la vocale, sceglie la tessera colorata"));
        QCOMPARE(sessions(), QStringList{sampleRows()[0]}); // the session at 9, the only one of heard vowels
        QCOMPARE(barTexts(), QStringList({"1 su 1 (100%)", "1 su 2 (50%)", "nessuna risposta", "nessuna risposta",
                                          "nessuna risposta"}));
        QCOMPARE(kindTexts(), QStringList({"Sente la vocale, sceglie la tessera colorata (3 risposte)"}));
        QCOMPARE(matrixCells(), QStringList({"1 0 0 0 0", "0 1 1 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
        QCOMPARE(widget<QListWidget>("paroleSbagliate")->count(), 0); // ELEFANTE was a word to begin
        QCOMPARE(lineOf(*chart("andamento"), QStringLiteral("I"))->count(), 0);
        QTRY_COMPARE(classRows(), QStringList({"senza nome|1 su 1 (100%)|1 su 2 (50%)|–|–|–|" + day()}));
    }

    // A session begun the day before the first day shown counts on that
    // first day: the trend keeps to the days chosen.
    void aSessionOverMidnightStaysInTheDaysChosen()
    {
        const QDate today = QDate::currentDate();
        QCOMPARE(widget<QDateEdit>("dal")->date(), today); // from the sample's first answer
        const qint64 midnight = QDateTime(today, QTime(0, 0)).toMSecsSinceEpoch();
        writeSession(midnight - 10 * 60000, midnight + 10 * 60000,
                     {answer(midnight - 5 * 60000, "FormZampli3", 1, "A", Shown::Voice, "A", Shown::Tile),
                      answer(midnight + 5 * 60000, "FormZampli3", 1, "U", Shown::Voice, "U", Shown::Tile)});
        andWait([this] { click("aggiorna"); });
        QCOMPARE(rows(), 4);
        QCOMPARE(trendSpan(), day() + " – " + day(1));
        QLineSeries *u = lineOf(*chart("andamento"), QStringLiteral("U"));
        QVERIFY(u);
        QCOMPARE(u->count(), 1);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(u->at(0).x())), QDateTime(today, QTime(12, 0)));
        QCOMPARE(barTexts().at(0), QStringLiteral("1 su 1 (100%)")); // the A of the day before is not counted
    }

    // A child with no answer in the days chosen is told so in words, not by empty pictures alone.
    void aChildWithoutAnswersIsSaidInWordsAndOneErasedIsGone()
    {
        addChild(QStringLiteral("Luca"));
        chooseChild(QStringLiteral("Luca"));
        QCOMPARE(rows(), 0);
        QCOMPARE(said(),
                 QStringLiteral("Nessuna risposta per Luca, dal %1 al %1. Scegli altri giorni, o un altro bambino in "
                                "«Bambino».")
                     .arg(day()));
        QCOMPARE(barTexts(), QStringList(5, QStringLiteral("nessuna risposta")));
        QCOMPARE(kindTexts(), QStringList());
        QCOMPARE(trendSpan(), day() + " – " + day(1));
        chooseChild(QStringLiteral("Tutti"));
        QCOMPARE(said(), QString());

        // Erasing a child asks first with what goes; then nothing of him stays in the tab.
        addChild(QStringLiteral("Marco"));
        chooseIn("oraGioca", QStringLiteral("Marco"));
        writeMixUps(13, 3, 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QTRY_VERIFY(!classRows().filter(QRegularExpression("^Marco\\|")).isEmpty());
        clickClassRow(classRows(), "Marco|", false);
        QString said;
        pressInBox(QStringLiteral("Annulla"), &said);
        click("cancellaBambino");
        QTRY_VERIFY(!said.isEmpty());
        QVERIFY2(said.contains(QStringLiteral("Cancello Marco e tutte le sue risposte (1 sessione, 3 risposte, del %1)")
                                   .arg(day())),
                 qPrintable(said));
        QCOMPARE(queryRows(db(), "SELECT name FROM children ORDER BY name"), QStringLiteral("Luca / Marco"));
        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaBambino"); });
        QCOMPARE(queryRows(db(), "SELECT name FROM children"), QStringLiteral("Luca"));
        QCOMPARE(rows(), 3);
        QCOMPARE(itemTexts(widget<QComboBox>("oraGioca")), (QStringList{"senza nome", "Luca"}));
        QTRY_VERIFY(classRows().filter(QStringLiteral("Marco")).isEmpty());
    }

    // Trouble with the file is at the top of the tab until the teacher says she read it.
    void problemsShownUntilRead()
    {
        QVERIFY(!widget<QWidget>("barraProblemi")->isVisible());
        QVERIFY(plant(db(), "INSERT INTO problems(at_ms, kind, count) VALUES(1709546400000, 'risposte perse', 5)"));
        andWait([this] { click("aggiorna"); });
        QVERIFY(widget<QWidget>("barraProblemi")->isVisible());
        QVERIFY2(widget<QLabel>("problemi")->text().contains(QStringLiteral("5 risposte non sono state conservate")),
                 qPrintable(widget<QLabel>("problemi")->text()));
        andWait([this] { click("hoLetto"); });
        QVERIFY(!widget<QWidget>("barraProblemi")->isVisible());
        QCOMPARE(queryRows(db(), "SELECT read FROM problems"), QStringLiteral("1"));
    }

    // Each export through the file window: the CSV with its mark and header,
    // the summary a PDF of one page, or why it could not be written.
    void exportsWriteTheFileNamed()
    {
        const QString csv = out_.filePath(QStringLiteral("risposte.csv"));
        answerFileDialog(csv);
        click("esportaCsv");
        const QByteArray bytes = readAll(csv);
        QVERIFY2(bytes.startsWith("\xEF\xBB\xBF" "Data;Ora;Sessione;Nome;Finestra;Turno;Chiesto;"),
                 qPrintable(said()));
        QCOMPARE(bytes.count('\n'), 8); // the header and seven answers

        const QString pdf = out_.filePath(QStringLiteral("riepilogo.pdf"));
        answerFileDialog(pdf);
        click("esportaPdf");
        const QString text = QString::fromLatin1(readAll(pdf));
        QVERIFY2(text.startsWith(QStringLiteral("%PDF-")), qPrintable(said()));
        QCOMPARE(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 1);

        // A summary the disk refuses is told with the system's reason and a
        // way out, and nothing is left in the folder. A name of 255
        // characters is refused even to root, as no permission would be.
        const QString name = QString(251, u'r') + QStringLiteral(".pdf");
        answerFileDialog(out_.filePath(name));
        click("esportaPdf");
        QCOMPARE(said(),
                 QStringLiteral("Non posso scrivere %1 nella cartella %2 (nome troppo lungo): scegli un'altra cartella.")
                     .arg(name, QDir::toNativeSeparators(out_.path())));
        QCOMPARE(QDir(out_.path()).entryList({QStringLiteral("*rrrr*")}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TeacherResultsTest)
#include "test_teacher_results.moc"
