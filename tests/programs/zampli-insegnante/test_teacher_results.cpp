// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab on a real database in a temporary state folder: what it
// shows of the answers written, names and deletions done through its own
// controls, the files it exports, and its charts as the teacher reads them.
#include "ResultsHarness.h"
#include "ResultsSample.h"
#include "TeacherTabs.h"
#include "tabs/results/ResultsCharts.h"
#include "tabs/results/ResultsNames.h"
#include "tabs/results/ResultsTab.h"

#include <QBarCategoryAxis>
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

// Runs `act` on the next modal window as soon as it shows.
void onModal(std::function<void(QWidget *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            timer->deleteLater();
            timer->stop();
            act(w);
        }
    });
    timer->start();
}

// Names `path` in the file window and presses its Save button. The name is
// set whole: typed key by key, the window's completer races the click and
// the name the window offers first may win.
void answerFileDialog(const QString &path)
{
    onModal([path](QWidget *w) {
        auto *name = w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(path);
        auto *buttons = w->findChild<QDialogButtonBox *>();
        QVERIFY(buttons);
        QTest::mouseClick(buttons->button(QDialogButtonBox::Save), Qt::LeftButton);
        // This window left open fails the test instead of hanging it; only a fault leaves it that long.
        QTimer::singleShot(60000, w, [w] {
            if (auto *d = qobject_cast<QDialog *>(w); d && d->isVisible())
                d->reject();
        });
    });
}

// Presses `text` in the next box, keeping what the box said in `said`.
void pressInBox(const QString &text, QString *said = nullptr)
{
    onModal([text, said](QWidget *w) {
        if (auto *box = qobject_cast<QMessageBox *>(w); box && said)
            *said = box->text();
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            if (b->text() == text)
                return QTest::mouseClick(b, Qt::LeftButton);
        QFAIL("no such button");
    });
}

// A chart in a view on screen, laid out as the tab lays it out.
template <class Chart>
struct OnScreen {
    explicit OnScreen(QSize size)
    {
        view.resize(size);
        view.show();
    }
    Chart *chart = new Chart;
    QChartView view{chart};
};

QLineSeries *lineOf(const QChart &chart, const QString &vowel)
{
    for (QAbstractSeries *s : chart.series())
        if (s->name() == vowel)
            return qobject_cast<QLineSeries *>(s);
    return nullptr;
}

} // namespace

class TeacherResultsTest : public QObject {
    Q_OBJECT
    QTemporaryDir state_, folder_, out_;
    std::unique_ptr<ResultsTab> tab_;

    QTableView *table() { return tab_->findChild<QTableView *>("sessioni"); }
    int rows() { return table()->model()->rowCount(); }
    QString cellText(int row, int column) { return table()->model()->index(row, column).data().toString(); }
    QComboBox *kinds() { return tab_->findChild<QComboBox *>("tipoMatrice"); }
    // Does `act` and waits for the reading it leads to to be on screen.
    void andWait(const std::function<void()> &act)
    {
        QSignalSpy read(tab_.get(), &ResultsTab::updated);
        act();
        QTRY_VERIFY_WITH_TIMEOUT(!read.isEmpty(), 10000);
    }
    void click(const char *name) { QTest::mouseClick(tab_->findChild<QPushButton *>(name), Qt::LeftButton); }
    void chooseRow(int row)
    {
        const QRect at = table()->visualRect(table()->model()->index(row, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, at.center());
    }
    // Moves the kind of matrix down the list, as the keyboard does, to the item that begins with `text`.
    void chooseKind(const QString &text)
    {
        const int at = kinds()->findText(text, Qt::MatchStartsWith);
        QVERIFY2(at >= 0, qPrintable(text));
        kinds()->setFocus();
        QTest::keyClick(kinds(), Qt::Key_Home);
        for (int i = 0; i < at; ++i)
            QTest::keyClick(kinds(), Qt::Key_Down);
        QCOMPARE(kinds()->currentIndex(), at);
    }
    QStringList kindTexts()
    {
        QStringList out;
        for (int i = 0; i < kinds()->count(); ++i)
            out << kinds()->itemText(i);
        return out;
    }
    QString db() const { return resultsDatabasePath(resultsFolder(), folder_.path()); }
    // One more answer in a session of its own, at `hour` today, as the child's program writes it.
    void writeOne(int hour, const char *window, Shown askedAs, Shown chosenAs)
    {
        ResultsWriter writer(db(), folder_.path(), [](const QString &line) { qFatal("%s", qPrintable(line)); });
        writer.sessionStarted(todayAt(hour, 0));
        AnswerRecord a;
        a.atMs = todayAt(hour, 1);
        a.window = QString::fromLatin1(window);
        a.turn = 1;
        a.asked = a.chosen = QStringLiteral("O");
        a.askedAs = askedAs;
        a.chosenAs = chosenAs;
        a.right = true;
        a.answerMs = 900;
        writer.record(a);
        writer.sessionEnded(todayAt(hour, 2));
        QVERIFY(writer.sync());
    }
    // A session at `hour` today of heard vowels answered with tiles, one
    // answer per pair "asked chosen", written for whoever plays now.
    void writeHeard(int hour, const QStringList &pairs)
    {
        ResultsWriter writer(db(), folder_.path(), [](const QString &line) { qFatal("%s", qPrintable(line)); });
        writer.sessionStarted(todayAt(hour, 0));
        for (int k = 0; k < pairs.size(); ++k) {
            AnswerRecord a;
            a.atMs = todayAt(hour, 0) + 1000 * (k + 1);
            a.window = QStringLiteral("FormZampli3");
            a.turn = k + 1;
            a.asked = pairs[k].left(1);
            a.chosen = pairs[k].right(1);
            a.askedAs = Shown::Voice;
            a.chosenAs = Shown::Tile;
            a.right = a.asked == a.chosen;
            a.answerMs = 900;
            writer.record(a);
        }
        writer.sessionEnded(todayAt(hour, 59));
        QVERIFY(writer.sync());
    }
    // `answers` heard E, the first `asI` taken for an I.
    void writeMixUps(int hour, int answers, int asI)
    {
        QStringList pairs(answers, QStringLiteral("E E"));
        std::fill_n(pairs.begin(), asI, QStringLiteral("E I"));
        writeHeard(hour, pairs);
    }
    // Chooses `name` in "Bambino" by keyboard and waits for her reading.
    void chooseChild(const QString &name)
    {
        auto *child = widget<QComboBox>("bambino");
        QTRY_VERIFY2(child->findText(name) >= 0, qPrintable(name));
        const int at = child->findText(name);
        QVERIFY(child->currentIndex() != at);
        child->setFocus();
        andWait([&] {
            QTest::keyClick(child, Qt::Key_Home);
            for (int i = 0; i < at; ++i)
                QTest::keyClick(child, Qt::Key_Down);
        });
        QCOMPARE(child->currentText(), name);
    }
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
    QStringList matrixCells()
    {
        const QAbstractItemModel *m = widget<QTableView>("matrice")->model();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            out << cells.join(QLatin1Char(' '));
        }
        return out;
    }
    template <class W>
    W *widget(const char *name)
    {
        W *w = tab_->findChild<W *>(QLatin1String(name));
        if (!w)
            qFatal("no %s", name);
        return w;
    }
    void addChild(const QString &name)
    {
        widget<QLineEdit>("nomeBambino")->setText(name);
        andWait([this] { click("aggiungiBambino"); });
    }
    // Chooses `name` in "Ora gioca" by keyboard, as the teacher would.
    void choosePlaying(const QString &name)
    {
        auto *playing = widget<QComboBox>("oraGioca");
        const int at = playing->findText(name);
        QVERIFY2(at >= 0, qPrintable(name));
        playing->setFocus();
        QTest::keyClick(playing, Qt::Key_Home);
        andWait([&] {
            for (int i = 0; i < at; ++i)
                QTest::keyClick(playing, Qt::Key_Down);
        });
        QCOMPARE(playing->currentText(), name);
    }
    QStringList classRows()
    {
        QAbstractItemModel *m = widget<QTableView>("classe")->model();
        QStringList out;
        for (int r = 0; r < m->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < m->columnCount(); ++c)
                cells << m->index(r, c).data().toString();
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }
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
        if (QByteArray(QTest::currentTestFunction()) == "aFaceAnswerNeverCountsInTheHearingMatrix")
            writeOne(12, "FormPosizioni1", Shown::Voice, Shown::Face);
        open();
    }

    void showsTheSessionsWritten()
    {
        QCOMPARE(rows(), 3);
        QCOMPARE(cellText(0, 1), QStringLiteral("09:00"));
        QCOMPARE(cellText(0, 2), QStringLiteral("09:05"));
        QCOMPARE(cellText(0, 3), QStringLiteral("2"));
        QCOMPARE(cellText(0, 4), QStringLiteral("1"));
        auto *words = tab_->findChild<QListWidget *>("paroleSbagliate");
        QCOMPARE(words->count(), 1);
        QCOMPARE(words->item(0)->text(), QStringLiteral("ELEFANTE: 1 sbagliata su 2"));
    }

    // Windows by the child's menu, styles by their names, every date dd/mm/yyyy.
    void namesAndDatesAsTheTeacherSeesThem()
    {
        QCOMPARE(cellText(0, 6), QStringLiteral("ZAMPLI/SUONI riconosci 1"));
        QCOMPARE(cellText(2, 6), QStringLiteral("FormZampli9")); // no such window: shown as it is
        const QDate today = QDate::currentDate();
        const QString day = QStringLiteral("%1/%2/%3")
                                .arg(today.day(), 2, 10, QLatin1Char('0'))
                                .arg(today.month(), 2, 10, QLatin1Char('0'))
                                .arg(today.year());
        QCOMPARE(cellText(0, 0), day);
        QCOMPARE(tab_->findChild<QDateEdit *>("al")->text(), day);
        QCOMPARE(tab_->findChild<QDateEdit *>("dal")->text(), day); // from the first answer kept
        QCOMPARE(kindTexts(), QStringList({QStringLiteral("Vede la bocca, sceglie la lettera in stampato "
                                                          "minuscolo (2 risposte)"),
                                           QStringLiteral("Vede la parola, sceglie la vocale con cui inizia "
                                                          "(2 risposte)"),
                                           QStringLiteral("Sente la vocale, sceglie la tessera colorata "
                                                          "(3 risposte)")}));
    }

    // Each kind of question has its own matrix: a face chosen after a heard
    // vowel is never counted with the tiles chosen after one.
    void aFaceAnswerNeverCountsInTheHearingMatrix()
    {
        chooseKind(QStringLiteral("Sente la vocale, sceglie la tessera colorata"));
        ConfusionMatrix tiles{};
        tiles[1][2] = 1; // E heard, I chosen
        tiles[1][1] = 1;
        tiles[0][0] = 1;
        QCOMPARE(tab_->matrix(), tiles);
        chooseKind(QStringLiteral("Sente la vocale, sceglie la bocca"));
        ConfusionMatrix faces{};
        faces[3][3] = 1; // O heard, the face of O chosen
        QCOMPARE(tab_->matrix(), faces);
        chooseKind(QStringLiteral("Vede la bocca"));
        ConfusionMatrix letters{};
        letters[2][1] = 1; // the face of I, E chosen
        letters[2][2] = 1;
        QCOMPARE(tab_->matrix(), letters);
    }

    // The matrix is a table: Ctrl+C copies the cells chosen, with their vowels, split by tabs.
    void matrixCopiesAsTabSeparatedText()
    {
        chooseKind(QStringLiteral("Sente la vocale"));
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
    }

    // Every count the teacher reads has its thousands marked, as Italians write them.
    void missedWordsMarkTheThousands()
    {
        QCOMPARE(missedText({QStringLiteral("ISOLA"), 2101, 6383}), QStringLiteral("ISOLA: 2.101 sbagliate su 6.383"));
    }

    // A count in the tens of thousands is written whole, inside the chart.
    void barLabelsWholeAtLargeTotals()
    {
        OnScreen<VowelBarsChart> shown(QSize(420, 260));
        VowelBarsChart *bars = shown.chart;
        VowelScores scores{};
        scores[0] = {15899, 1061};
        scores[4] = {7, 0};
        bars->setScores(scores);
        QCOMPARE(bars->labels().at(0)->text(), QStringLiteral("15.899 su 16.960 (94%)"));
        QCOMPARE(bars->labels().at(1)->text(), QStringLiteral("nessuna risposta"));
        QCOMPARE(bars->labels().at(4)->text(), QStringLiteral("7 su 7 (100%)"));
        // Checked once the chart has laid itself out again for the new numbers.
        const QRectF room = bars->geometry();
        for (QGraphicsSimpleTextItem *label : bars->labels())
            QTRY_VERIFY2(room.contains(label->sceneBoundingRect()), qPrintable(label->text()));
    }

    // Each vowel's numbers stand beside its own bar, A's at the top.
    void eachLabelBesideItsVowelsBar()
    {
        OnScreen<VowelBarsChart> shown(QSize(420, 260));
        VowelBarsChart *bars = shown.chart;
        VowelScores scores{};
        for (int v = 0; v < 5; ++v)
            scores[v] = {10 + v, 1};
        bars->setScores(scores);
        auto *series = qobject_cast<QHorizontalStackedBarSeries *>(bars->series().value(0));
        QVERIFY(series);
        auto *axis = qobject_cast<QBarCategoryAxis *>(series->attachedAxes().value(0));
        if (!axis)
            axis = qobject_cast<QBarCategoryAxis *>(series->attachedAxes().value(1));
        QVERIFY(axis);
        const QStringList vowels{"A", "E", "I", "O", "U"};
        double above = -1;
        for (int v = 0; v < 5; ++v) {
            const int row = int(axis->categories().indexOf(vowels[v]));
            QVERIFY(row >= 0);
            // The bar's own set holds the vowel's right answers in that row.
            QCOMPARE(series->barSets().at(v)->at(row), double(10 + v));
            const double middle = bars->mapToPosition(QPointF(0, row), series).y();
            QVERIFY2(middle > above, qPrintable(vowels[v])); // A first from the top, U last
            above = middle;
            QGraphicsSimpleTextItem *label = bars->labels().at(v);
            QCOMPARE(label->text(), QStringLiteral("%1 su %2 (%3%)").arg(10 + v).arg(11 + v).arg(qRound(100.0 * (10 + v) / (11 + v))));
            QTRY_VERIFY2(QRectF(label->pos(), label->boundingRect().size()).adjusted(0, -1, 0, 1).contains(
                             QPointF(label->pos().x() + 1, bars->mapToPosition(QPointF(0, row), series).y())),
                         qPrintable(vowels[v]));
        }
    }

    // A single day is a point inside the plot, not a line of no length at its edge.
    void oneDayDrawsAPoint()
    {
        OnScreen<TrendChart> shown(QSize(500, 300));
        TrendChart *trend = shown.chart;
        DayShare day{QDate(2024, 3, 5), {}, {}};
        day.share = {0.5, -1, -1, -1, -1};
        day.answers = {4, 0, 0, 0, 0};
        trend->setDays({day});
        QLineSeries *a = lineOf(*trend, QStringLiteral("A"));
        QVERIFY(a);
        QCOMPARE(a->count(), 1);
        QVERIFY(a->pointsVisible());
        const QPointF at = trend->mapToPosition(a->at(0), a);
        const QRectF plot = trend->plotArea();
        QVERIFY2(plot.adjusted(plot.width() / 4, 0, -plot.width() / 4, 0).contains(at), "the day is at an edge");
    }

    // Over months the trend goes week by week, each week's share weighed by its answers.
    void aLongSpanIsDrawnWeekByWeek()
    {
        TrendChart trend;
        QList<DayShare> days;
        for (int i = 0; i < 70; ++i) {
            DayShare d{QDate(2024, 3, 4).addDays(i), {-1, -1, -1, -1, -1}, {}}; // 04/03/2024 is a Monday
            d.share[0] = 1;
            d.answers[0] = 1;
            days << d;
        }
        days[1].share[0] = 0; // Tuesday of the first week: 3 wrong
        days[1].answers[0] = 3;
        trend.setDays(days);
        QLineSeries *a = lineOf(trend, QStringLiteral("A"));
        QVERIFY(a);
        QCOMPARE(a->count(), 10);
        QCOMPARE(a->at(0).y(), 100.0 * 6 / 9); // 6 right of 9 in the first week
        QCOMPARE(a->at(1).y(), 100.0);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(a->at(1).x())), QDateTime(QDate(2024, 3, 11), QTime(12, 0)));
        QVERIFY(trend.title().contains(QStringLiteral("settimana per settimana")));
    }

    // The bars in the colours the child sees each vowel in (the child's own
    // windows are checked against the same values on the screen).
    // The child plays while the teacher looks: the new session shows without a click.
    void answersWrittenWhileOpenAppear()
    {
        QCOMPARE(rows(), 3);
        writeOne(12, "FormPosizioni1", Shown::Voice, Shown::Face);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QCOMPARE(cellText(3, 6), QStringLiteral("POSIZIONI/SUONI ascolto 1"));
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
        {
            SqliteDb newer;
            QCOMPARE(newer.open(file, false), SQLITE_OK);
            QCOMPARE(newer.exec("PRAGMA user_version = 99"), SQLITE_OK);
        }
        QVERIFY(!ResultsReader::addIndexes(file));
        QCOMPARE(queryRows(file, ours), QString());
        {
            SqliteDb back;
            QCOMPARE(back.open(file, false), SQLITE_OK);
            QCOMPARE(back.exec(QByteArray("PRAGMA user_version = " + QByteArray::number(schemaVersion())).constData()),
                     SQLITE_OK);
        }
        QVERIFY(ResultsReader::addIndexes(file));
        QCOMPARE(queryRows(file, ours), QStringLiteral("answers_reader_kinds / answers_reader_tally"));

        // A file another program added to is left for the child's program to set aside.
        const QString planted = out_.filePath(QStringLiteral("piantata.sqlite"));
        writeSample(planted, folder_.path());
        {
            SqliteDb other;
            QCOMPARE(other.open(planted, false), SQLITE_OK);
            QCOMPARE(other.exec("CREATE TRIGGER t AFTER INSERT ON answers BEGIN DELETE FROM answers; END"), SQLITE_OK);
        }
        QVERIFY(!ResultsReader::addIndexes(planted));
        QCOMPARE(queryRows(planted, ours), QString());
    }

    // A file of the version before the summaries: brought up to date and
    // summarised at its first reading, its views the same.
    void anOlderFileIsSummarisedAtItsFirstReading()
    {
        tab_.reset();
        {
            SqliteDb older;
            QCOMPARE(older.open(db(), false), SQLITE_OK);
            QCOMPARE(older.exec("DROP TABLE summary_kinds; DROP TABLE summary_words; DROP TABLE summary_windows;"
                                "DROP TABLE summary_mark; PRAGMA user_version = 4"),
                     SQLITE_OK);
        }
        open();
        QTRY_COMPARE_WITH_TIMEOUT(queryRows(db(), "SELECT last_answer, odd FROM summary_mark", true),
                                  QStringLiteral("7|0"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 3, 10000);
        QCOMPARE(cellText(0, 3), QStringLiteral("2"));
        QCOMPARE(cellText(0, 4), QStringLiteral("1"));
    }

    void aNamedSessionIsFoundByItsName()
    {
        chooseRow(1);
        auto *name = tab_->findChild<QLineEdit *>("nome");
        QTest::keyClicks(name, QStringLiteral("Giulia"));
        andWait([this] { click("daiNome"); });
        QCOMPARE(cellText(1, 5), QStringLiteral("Giulia"));
        auto *child = tab_->findChild<QComboBox *>("bambino");
        QCOMPARE(child->count(), 3);
        QCOMPARE(child->itemText(2), QStringLiteral("senza nome")); // the other two sessions
        child->setFocus();
        andWait([child] { QTest::keyClick(child, Qt::Key_Down); });
        QCOMPARE(child->currentText(), QStringLiteral("Giulia"));
        QCOMPARE(rows(), 1);
        QCOMPARE(cellText(0, 1), QStringLiteral("10:00"));
    }

    // "senza nome" shows the sessions nobody was named for, and erasing what
    // it shows takes those and never a named child's.
    void theUnnamedAreShownAndErasedApart()
    {
        chooseRow(1);
        QTest::keyClicks(tab_->findChild<QLineEdit *>("nome"), QStringLiteral("Giulia"));
        andWait([this] { click("daiNome"); });
        chooseChild(QStringLiteral("senza nome"));
        QCOMPARE(rows(), 2);
        QCOMPARE(cellText(0, 1), QStringLiteral("09:00"));
        QCOMPARE(cellText(1, 1), QStringLiteral("11:00"));
        QString asked;
        pressInBox(QStringLiteral("Cancella"), &asked);
        andWait([this] { click("cancellaTutto"); });
        QVERIFY2(asked.contains(QStringLiteral("(2 sessioni)")), qPrintable(asked));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("2|2"));
        // Told once the new reading is on screen, not replaced by it.
        QTRY_COMPARE(tab_->findChild<QLabel *>("messaggio")->text(), QStringLiteral("Cancellate 2 sessioni."));
    }

    // Erasing a session asks first, saying how many answers of which day; Annulla keeps it.
    void eraseAsksAndAnnullaKeepsTheSession()
    {
        chooseRow(1);
        QString said;
        pressInBox(QStringLiteral("Annulla"), &said);
        click("cancellaSessione");
        QTRY_VERIFY(!said.isEmpty());
        const QDate today = QDate::currentDate();
        QVERIFY2(said.contains(QStringLiteral("2 risposte")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("del %1/%2/%3, dalle 10:00")
                                   .arg(today.day(), 2, 10, QLatin1Char('0'))
                                   .arg(today.month(), 2, 10, QLatin1Char('0'))
                                   .arg(today.year())),
                 qPrintable(said));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("1|3 / 2|2 / 3|2"));
        QCOMPARE(rows(), 3);
    }

    void deleteRemovesExactlyThatSession()
    {
        chooseRow(1);
        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaSessione"); });
        QCOMPARE(rows(), 2);
        QCOMPARE(cellText(1, 1), QStringLiteral("11:00"));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("1|3 / 3|2"));
    }

    void eraseAllAsksOnce()
    {
        pressInBox(QStringLiteral("Annulla"));
        click("cancellaTutto");
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(rows(), 3);
        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaTutto"); });
        QCOMPARE(rows(), 0);
        QCOMPARE(queryRows(db(), "SELECT count(*) FROM answers"), QStringLiteral("0"));
    }

    // The teacher names a child and says she plays now: the child's program
    // writes her answers to her, and the class's table and what she should
    // practise follow without a click.
    void whoPlaysNowGetsTheAnswers()
    {
        addChild(QStringLiteral("Marco"));
        addChild(QStringLiteral("Giulia"));
        QCOMPARE(widget<QComboBox>("oraGioca")->count(), 3); // nobody, then the children by name
        choosePlaying(QStringLiteral("Marco"));
        QCOMPARE(queryRows(db(), "SELECT c.name FROM now_playing p JOIN children c ON c.id = p.child_id"),
                 QStringLiteral("Marco"));
        writeMixUps(13, 30, 8);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QCOMPARE(cellText(3, 5), QStringLiteral("Marco"));
        const QString today = dayText(QDate::currentDate());
        QTRY_VERIFY_WITH_TIMEOUT(classRows().contains("Marco|–|22 su 30 (73%)|–|–|–|" + today), 10000);
        QVERIFY2(classRows().contains("senza nome|1 su 1 (100%)|2 su 4 (50%)|1 su 2 (50%)|–|–|" + today), qPrintable(classRows().join('\n')));
        const auto *practise = widget<QListWidget>("daEsercitare");
        QStringList lines;
        for (int i = 0; i < practise->count(); ++i)
            lines << practise->item(i)->text();
        QVERIFY2(lines.contains(QStringLiteral("Marco: scambia spesso la E con la I quando le sente (8 volte su 30)")),
                 qPrintable(lines.join('\n')));

        // A double click on her row shows only her answers.
        QVERIFY(test::clickTab(widget<QTabWidget>("viste"), QStringLiteral("Classe")));
        auto *table = widget<QTableView>("classe");
        const int row = int(classRows().indexOf(QRegularExpression("^Marco\\|.*")));
        QVERIFY(row >= 0);
        QTRY_VERIFY(table->isVisible() && table->visualRect(table->model()->index(row, 0)).isValid());
        const QRect at = table->visualRect(table->model()->index(row, 0));
        andWait([&] { // a double click is a press, then the second press that makes it double
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at.center());
        });
        QTRY_COMPARE(rows(), 1);
        QCOMPARE(widget<QComboBox>("bambino")->currentText(), QStringLiteral("Marco"));
    }

    // With one child chosen, every picture is hers alone: the bars, the
    // matrix, the words missed, the trend and its days, the class's rows.
    void everyPictureFollowsTheChildChosen()
    {
        addChild(QStringLiteral("Giulia"));
        addChild(QStringLiteral("Marco"));
        choosePlaying(QStringLiteral("Marco"));
        writeMixUps(13, 30, 8);
        choosePlaying(QStringLiteral("Giulia"));
        writeHeard(14, {"A A", "A A", "A A", "A O", "U U", "U U"});
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 5, 10000);

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
        const QString today = dayText(QDate::currentDate());
        QCOMPARE(trendSpan(), today + " – " + dayText(QDate::currentDate().addDays(1)));
        QLineSeries *a = lineOf(*chart("andamento"), QStringLiteral("A"));
        QVERIFY(a);
        QCOMPARE(a->count(), 1);
        QCOMPARE(a->at(0).y(), 75.0);
        QCOMPARE(lineOf(*chart("andamento"), QStringLiteral("E"))->count(), 0);
        QTRY_COMPARE(classRows(), QStringList({"Giulia|3 su 4 (75%)|–|–|–|2 su 2 (100%)|" + today}));

        chooseChild(QStringLiteral("Marco"));
        QCOMPARE(barTexts(), QStringList({"nessuna risposta", "22 su 30 (73%)", "nessuna risposta", "nessuna risposta",
                                          "nessuna risposta"}));
        QCOMPARE(matrixCells(), QStringList({"0 0 0 0 0", "0 22 8 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
        QTRY_COMPARE(classRows(), QStringList({"Marco|–|22 su 30 (73%)|–|–|–|" + today}));
        // Those of nobody named are still there to choose.
        QVERIFY(widget<QComboBox>("bambino")->findText(QStringLiteral("senza nome")) >= 0);
    }

    // With one kind of question chosen, every picture counts only its answers.
    void everyPictureFollowsTheKindChosen()
    {
        auto *kind = widget<QComboBox>("domande");
        QCOMPARE(kind->itemText(0), QStringLiteral("Tutte"));
        const int at = kind->findText(QStringLiteral("Sente la vocale, sceglie la tessera colorata"));
        QVERIFY(at > 0);
        kind->setFocus();
        andWait([&] {
            for (int i = 0; i < at; ++i)
                QTest::keyClick(kind, Qt::Key_Down);
        });
        QCOMPARE(kind->currentIndex(), at);
        QCOMPARE(rows(), 1); // the session at 9, the only one of heard vowels
        QCOMPARE(cellText(0, 3), QStringLiteral("2"));
        QCOMPARE(cellText(0, 4), QStringLiteral("1"));
        QCOMPARE(barTexts(), QStringList({"1 su 1 (100%)", "1 su 2 (50%)", "nessuna risposta", "nessuna risposta",
                                          "nessuna risposta"}));
        QCOMPARE(kindTexts(), QStringList({"Sente la vocale, sceglie la tessera colorata (3 risposte)"}));
        QCOMPARE(matrixCells(), QStringList({"1 0 0 0 0", "0 1 1 0 0", "0 0 0 0 0", "0 0 0 0 0", "0 0 0 0 0"}));
        QCOMPARE(widget<QListWidget>("paroleSbagliate")->count(), 0); // ELEFANTE was a word to begin
        QCOMPARE(lineOf(*chart("andamento"), QStringLiteral("I"))->count(), 0);
        QTRY_COMPARE(classRows(), QStringList({"senza nome|1 su 1 (100%)|1 su 2 (50%)|–|–|–|" +
                                               dayText(QDate::currentDate())}));
    }

    // A session begun the day before the first day shown counts on that
    // first day: the trend keeps to the days chosen.
    void aSessionOverMidnightStaysInTheDaysChosen()
    {
        const QDate today = QDate::currentDate();
        QCOMPARE(widget<QDateEdit>("dal")->date(), today); // from the sample's first answer
        {
            ResultsWriter writer(db(), folder_.path(), [](const QString &line) { qFatal("%s", qPrintable(line)); });
            const qint64 midnight = QDateTime(today, QTime(0, 0)).toMSecsSinceEpoch();
            writer.sessionStarted(midnight - 10 * 60000);
            for (const auto &[at, vowel] : {std::pair{midnight - 5 * 60000, "A"}, std::pair{midnight + 5 * 60000, "U"}}) {
                AnswerRecord a;
                a.atMs = at;
                a.window = QStringLiteral("FormZampli3");
                a.turn = 1;
                a.asked = a.chosen = QString::fromLatin1(vowel);
                a.askedAs = Shown::Voice;
                a.chosenAs = Shown::Tile;
                a.right = true;
                a.answerMs = 900;
                writer.record(a);
            }
            writer.sessionEnded(midnight + 10 * 60000);
            QVERIFY(writer.sync());
        }
        andWait([this] { click("aggiorna"); });
        QCOMPARE(rows(), 4);
        QCOMPARE(trendSpan(), dayText(today) + " – " + dayText(today.addDays(1)));
        QLineSeries *u = lineOf(*chart("andamento"), QStringLiteral("U"));
        QVERIFY(u);
        QCOMPARE(u->count(), 1);
        QCOMPARE(QDateTime::fromMSecsSinceEpoch(qint64(u->at(0).x())), QDateTime(today, QTime(12, 0)));
        QCOMPARE(barTexts().at(0), QStringLiteral("1 su 1 (100%)")); // the A of the day before is not counted
    }

    // A child with no answer in the days chosen is told so in words, not by empty pictures alone.
    void aChildWithoutAnswersIsSaidInWords()
    {
        addChild(QStringLiteral("Luca"));
        chooseChild(QStringLiteral("Luca"));
        QCOMPARE(rows(), 0);
        const QString today = dayText(QDate::currentDate());
        QCOMPARE(widget<QLabel>("messaggio")->text(),
                 QStringLiteral("Nessuna risposta per Luca, dal %1 al %1. Scegli altri giorni, o un altro bambino in "
                                "«Bambino».")
                     .arg(today));
        QCOMPARE(barTexts(), QStringList(5, QStringLiteral("nessuna risposta")));
        QCOMPARE(kindTexts(), QStringList());
        QCOMPARE(trendSpan(), today + " – " + dayText(QDate::currentDate().addDays(1)));
        chooseChild(QStringLiteral("Tutti"));
        QCOMPARE(widget<QLabel>("messaggio")->text(), QString());
    }

    // Erasing a child asks first with what goes; then nothing of her stays in the tab.
    void erasingAChildAsksFirst()
    {
        addChild(QStringLiteral("Marco"));
        choosePlaying(QStringLiteral("Marco"));
        writeMixUps(13, 3, 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(), 4, 10000);
        QVERIFY(test::clickTab(widget<QTabWidget>("viste"), QStringLiteral("Classe")));
        auto *table = widget<QTableView>("classe");
        QTRY_VERIFY(classRows().indexOf(QRegularExpression("^Marco\\|.*")) >= 0);
        const int row = int(classRows().indexOf(QRegularExpression("^Marco\\|.*")));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(row, 0)).center());
        QString said;
        pressInBox(QStringLiteral("Annulla"), &said);
        click("cancellaBambino");
        QTRY_VERIFY(!said.isEmpty());
        QVERIFY2(said.contains(QStringLiteral("Cancello Marco e tutte le sue risposte (1 sessione, 3 risposte, del %1)")
                                   .arg(dayText(QDate::currentDate()))),
                 qPrintable(said));
        QCOMPARE(queryRows(db(), "SELECT count(*) FROM children"), QStringLiteral("1"));
        pressInBox(QStringLiteral("Cancella"));
        andWait([this] { click("cancellaBambino"); });
        QCOMPARE(queryRows(db(), "SELECT count(*) FROM children"), QStringLiteral("0"));
        QCOMPARE(rows(), 3);
        QCOMPARE(widget<QComboBox>("oraGioca")->count(), 1);
        QTRY_VERIFY(classRows().filter(QStringLiteral("Marco")).isEmpty());
    }

    // Trouble with the file is at the top of the tab until the teacher says she read it.
    void problemsShownUntilRead()
    {
        QVERIFY(!widget<QWidget>("barraProblemi")->isVisible());
        {
            SqliteDb sql;
            QCOMPARE(sql.open(db(), false), SQLITE_OK);
            QCOMPARE(sql.exec("INSERT INTO problems(at_ms, kind, count) VALUES(1709546400000, 'risposte perse', 5)"),
                     SQLITE_OK);
        }
        andWait([this] { click("aggiorna"); });
        QVERIFY(widget<QWidget>("barraProblemi")->isVisible());
        QVERIFY2(widget<QLabel>("problemi")->text().contains(QStringLiteral("5 risposte non sono state conservate")),
                 qPrintable(widget<QLabel>("problemi")->text()));
        andWait([this] { click("hoLetto"); });
        QVERIFY(!widget<QWidget>("barraProblemi")->isVisible());
        QCOMPARE(queryRows(db(), "SELECT read FROM problems"), QStringLiteral("1"));
    }

    void csvStartsWithTheMarkAndTheHeader()
    {
        const QString path = out_.filePath(QStringLiteral("risposte.csv"));
        answerFileDialog(path);
        click("esportaCsv");
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(tab_->findChild<QLabel *>("messaggio")->text()));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "Data;Ora;Sessione;Nome;Finestra;Turno;Chiesto;"));
        QCOMPARE(bytes.count('\n'), 8); // the header and seven answers
    }

    void pdfIsOnePage()
    {
        const QString path = out_.filePath(QStringLiteral("riepilogo.pdf"));
        answerFileDialog(path);
        click("esportaPdf");
        QFile file(path);
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(tab_->findChild<QLabel *>("messaggio")->text()));
        const QString pdf = QString::fromLatin1(file.readAll());
        QVERIFY(pdf.startsWith(QStringLiteral("%PDF-")));
        QCOMPARE(pdf.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))), 1);
    }

    // A summary the disk refuses is told with the system's reason and a way
    // out, and nothing is left in the folder. A name of 255 characters is
    // refused even to root, as no permission would be.
    void pdfRefusedSaysWhyAndWhatToDo()
    {
        const QString name = QString(251, u'r') + QStringLiteral(".pdf");
        answerFileDialog(out_.filePath(name));
        click("esportaPdf");
        QCOMPARE(tab_->findChild<QLabel *>("messaggio")->text(),
                 QStringLiteral("Non posso scrivere %1 nella cartella %2 (nome troppo lungo): scegli un'altra cartella.")
                     .arg(name, QDir::toNativeSeparators(out_.path())));
        QCOMPARE(QDir(out_.path()).entryList({QStringLiteral("*rrrr*")}, QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_MAIN(TeacherResultsTest)
#include "test_teacher_results.moc"
