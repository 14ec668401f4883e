// SPDX-License-Identifier: GPL-3.0-or-later
// The child's windows leave every answer they judge in a real database: a
// wrong then a right answer in one window of each family that judges.
#include "ResultsHarness.h"
#include "WordListFiles.h"

#include "shell/Form.h"

#include <QDir>

using namespace zampli;
using namespace zampli::test;

namespace {
const char *const kAnswers = "SELECT window, turn, asked, asked_as, asked_style, word, chosen, chosen_as,"
                             " chosen_style, right FROM answers ORDER BY id";
}

class ResultsWindowsTest : public QObject {
    Q_OBJECT

private slots:
    // A wrong then a right answer, each with what was asked and how, and
    // given within the test's own time; the model's style and the row's both
    // kept. Draws: (k - 0.5) / n draws k of n.
    void wrongThenRightAnswers_data()
    {
        QTest::addColumn<FormId>("id");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("rows");
        QTest::addColumn<QString>("nextPair"); // the next button, then the second box: the answer after
        // Style 1 of 4; A..U in boxes 0..4, A spoken.
        QTest::newRow("FormZampli3") << FormId::Zampli3 << QList<double>{0.125, 0.1, 0.3, 0.5, 0.7, 0.9, 0.1}
                                     << "Image1_1" << "Image1_0"
                                     << "FormZampli3|1|A|voce|0||E|lettera|1|0 / FormZampli3|1|A|voce|0||A|lettera|1|1" << "";
        // Faces A..U, the letter of place 0, cursive upper case.
        QTest::newRow("FormPosizioni5")
            << FormId::Posizioni5 << QList<double>{0.1, 0.3, 0.5, 0.7, 0.9, 0.1, 0.625} << "Image1_1" << "Image1_0"
            << "FormPosizioni5|1|A|lettera|3||E|faccia|0|0 / FormPosizioni5|1|A|lettera|3||A|faccia|0|1" << "";
        // The row A..U.
        QTest::newRow("FormCaratteri1")
            << FormId::Caratteri1 << QList<double>{0.1, 0.3, 0.5, 0.7, 0.9} << "Image3_1" << "Image3_0"
            << "FormCaratteri1|1|A|lettera|2||E|lettera|1|0 / FormCaratteri1|1|A|lettera|2||A|lettera|1|1" << "2|E|E|1";
        // E, its only word.
        QTest::newRow("FormIniziaPer")
            << FormId::IniziaPer << QList<double>{0.3, 0.5} << "Frame1_2" << "Frame1_1"
            << "FormIniziaPer|1|E|parola|0|elmo|I|tessera|0|0 / FormIniziaPer|1|E|parola|0|elmo|E|tessera|0|1" << "";
    }
    void wrongThenRightAnswers()
    {
        QFETCH(FormId, id);
        QFETCH(QList<double>, draws);
        QFETCH(QString, wrong);
        QFETCH(QString, right);
        QFETCH(QString, rows);
        QFETCH(QString, nextPair);
        WithResults r;
        writeWordLists(r.h);
        r.start();
        for (const double d : draws)
            r.h.random.script({d});
        r.h.windows->form(id)->Show();
        QWidget *window = r.h.windows->form(id)->window();
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        clickAsUser(window->findChild<QWidget *>(wrong));
        clickAsUser(window->findChild<QWidget *>(right));
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows(kAnswers), rows);
        const QByteArray sane = "SELECT count(*) FROM answers WHERE answer_ms BETWEEN 0 AND 60000 AND at_ms BETWEEN " +
                                QByteArray::number(before) + " AND " +
                                QByteArray::number(QDateTime::currentMSecsSinceEpoch());
        QCOMPARE(r.rows(sane.constData()), QStringLiteral("2"));
        QCOMPARE(r.told(), QStringList());
        if (!nextPair.isEmpty()) {
            clickAsUser(window->findChild<QWidget *>("Command2"));
            clickAsUser(window->findChild<QWidget *>("Image3_1"));
            QVERIFY(r.writer->sync());
            QCOMPARE(r.rows("SELECT turn, asked, chosen, right FROM answers WHERE id = 3"), nextPair);
        }
        // The file lies in the state folder, named after the program folder.
        const QStringList files = QDir(r.state.filePath("zampli")).entryList({"*.sqlite"});
        QCOMPARE(files.size(), 1);
        QVERIFY2(files[0].startsWith(QFileInfo(r.h.folder.path()).fileName() + "-"), qPrintable(files[0]));
    }
};

QTEST_MAIN(ResultsWindowsTest)
#include "test_results_windows.moc"
