// SPDX-License-Identifier: GPL-3.0-or-later
// The child's windows leave every answer they judge in a real database: a
// wrong then a right answer in one window of each family that judges.
#include "ResultsHarness.h"

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

    // Opens the window, clicks the wrong then the right control, and checks
    // the two answers and when they were given.
    static void answerWrongThenRight(WithResults &r, FormId id, const char *wrong, const char *right)
    {
        Form &form = *r.h.windows->form(id);
        form.Show();
        const qint64 before = QDateTime::currentMSecsSinceEpoch();
        clickAsUser(form.window()->findChild<QWidget *>(wrong));
        clickAsUser(form.window()->findChild<QWidget *>(right));
        QVERIFY(r.writer->sync());
        const QByteArray sane = "SELECT count(*) FROM answers WHERE answer_ms BETWEEN 0 AND 60000 AND at_ms BETWEEN " +
                                QByteArray::number(before) + " AND " +
                                QByteArray::number(QDateTime::currentMSecsSinceEpoch());
        QCOMPARE(r.rows(sane.constData()), QStringLiteral("2"));
        QCOMPARE(r.told(), QStringList());
    }

private slots:
    // The file lies in the state folder, named after the program folder.
    void recognitionRecordsHeardAndClicked()
    {
        WithResults r;
        r.start();
        r.h.random.scriptNumbers(4, {1});                // style 1
        r.h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1}); // A..U in boxes 0..4, A spoken
        answerWrongThenRight(r, FormId::Zampli3, "Image1_1", "Image1_0");
        QCOMPARE(r.rows(kAnswers), QStringLiteral("FormZampli3|1|A|voce|0||E|lettera|1|0 / "
                                                  "FormZampli3|1|A|voce|0||A|lettera|1|1"));
        const QStringList files = QDir(r.state.filePath("zampli")).entryList({"*.sqlite"});
        QCOMPARE(files.size(), 1);
        QVERIFY2(files[0].startsWith(QFileInfo(r.h.folder.path()).fileName() + "-"), qPrintable(files[0]));
    }

    void positionMatchingRecordsLetterAndFace()
    {
        WithResults r;
        r.start();
        r.h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1}); // faces A..U, the letter of place 0
        r.h.random.scriptNumbers(4, {3});                // cursive upper case
        answerWrongThenRight(r, FormId::Posizioni5, "Image1_1", "Image1_0");
        QCOMPARE(r.rows(kAnswers), QStringLiteral("FormPosizioni5|1|A|lettera|3||E|faccia|0|0 / "
                                                  "FormPosizioni5|1|A|lettera|3||A|faccia|0|1"));
    }

    // The model's style and the row's are both kept.
    void characterMatchingRecordsBothStyles()
    {
        WithResults r;
        r.start();
        r.h.random.scriptNumbers(5, {1, 2, 3, 4, 5}); // the row A..U
        answerWrongThenRight(r, FormId::Caratteri1, "Image3_1", "Image3_0");
        Form &form = *r.h.windows->form(FormId::Caratteri1);
        QCOMPARE(r.rows(kAnswers), QStringLiteral("FormCaratteri1|1|A|lettera|2||E|lettera|1|0 / "
                                                  "FormCaratteri1|1|A|lettera|2||A|lettera|1|1"));
        clickAsUser(form.window()->findChild<QWidget *>("Command2")); // the next pair is the next question
        clickAsUser(form.window()->findChild<QWidget *>("Image3_1"));
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT turn, asked, chosen, right FROM answers WHERE id = 3"), QStringLiteral("2|E|E|1"));
    }

    void initialVowelRecordsTheWord()
    {
        WithResults r;
        QDir().mkpath(r.h.folder.filePath("testi"));
        for (const char *word : {"ape", "elmo", "isola", "oca", "uva"}) {
            QFile list(r.h.media().wordList(QString(QChar(word[0]))));
            QVERIFY(list.open(QIODevice::WriteOnly) && list.write(QByteArray(word) + "\r\n") > 0);
            r.h.writePicture(r.h.media().wordPicture(word));
        }
        r.start();
        r.h.random.scriptNumbers(5, {2}); // E
        r.h.random.scriptNumbers(1, {1}); // its only word
        answerWrongThenRight(r, FormId::IniziaPer, "Frame1_2", "Frame1_1");
        QCOMPARE(r.rows(kAnswers), QStringLiteral("FormIniziaPer|1|E|parola|0|elmo|I|tessera|0|0 / "
                                                  "FormIniziaPer|1|E|parola|0|elmo|E|tessera|0|1"));
    }

    // The title window starts a session; the recording fake sees the same answers.
    void sessionStartsAtTheTitle()
    {
        WithResults r;
        r.start();
        r.h.programma->Main();
        QCOMPARE(r.h.answers.sessions, 1);
        QVERIFY(r.writer->sync());
        QCOMPARE(r.rows("SELECT count(*) FROM sessions"), QStringLiteral("1"));
        QCOMPARE(r.rows("SELECT count(*) FROM answers"), QStringLiteral("0"));
    }
};

QTEST_MAIN(ResultsWindowsTest)
#include "test_results_windows.moc"
