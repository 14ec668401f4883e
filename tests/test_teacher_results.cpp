// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab on a real database in a temporary state folder: what it
// shows of the answers written, names and deletions done through its own
// controls, and the files it exports.
#include "ResultsHarness.h"
#include "ResultsSample.h"
#include "ResultsTab.h"

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
    });
    // A window left open fails the test instead of hanging it.
    QTimer::singleShot(5000, [] {
        if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            d->reject();
    });
}

void pressInBox(const QString &text)
{
    onModal([text](QWidget *w) {
        for (QAbstractButton *b : w->findChildren<QAbstractButton *>())
            if (b->text() == text)
                return QTest::mouseClick(b, Qt::LeftButton);
        QFAIL("no such button");
    });
}

} // namespace

class TeacherResultsTest : public QObject {
    Q_OBJECT
    QTemporaryDir state_, folder_, out_;
    std::unique_ptr<ResultsTab> tab_;

    QTableWidget *table() { return tab_->findChild<QTableWidget *>("sessioni"); }
    QString cellText(int row, int column) { return table()->item(row, column)->text(); }
    void click(const char *name) { QTest::mouseClick(tab_->findChild<QPushButton *>(name), Qt::LeftButton); }
    void chooseRow(int row)
    {
        const QRect at = table()->visualItemRect(table()->item(row, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, at.center());
    }
    QString db() const { return tab_->database(); }

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
        const QString db = resultsDatabasePath(resultsFolder(), folder_.path());
        QVERIFY(QDir().mkpath(QFileInfo(db).absolutePath()));
        writeSample(db, folder_.path());
        tab_ = std::make_unique<ResultsTab>(folder_.path());
        tab_->resize(1100, 700);
        tab_->show();
        QVERIFY(QTest::qWaitForWindowExposed(tab_.get()));
    }

    void showsTheSessionsWritten()
    {
        QCOMPARE(table()->rowCount(), 3);
        QCOMPARE(cellText(0, 1), QStringLiteral("09:00"));
        QCOMPARE(cellText(0, 2), QStringLiteral("09:05"));
        QCOMPARE(cellText(0, 6), QStringLiteral("FormZampli3"));
        QCOMPARE(cellText(0, 3), QStringLiteral("2"));
        QCOMPARE(cellText(0, 4), QStringLiteral("1"));
        QCOMPARE(cellText(2, 6), QStringLiteral("FormZampli9"));
        auto *words = tab_->findChild<QListWidget *>("paroleSbagliate");
        QCOMPARE(words->count(), 1);
        QCOMPARE(words->item(0)->text(), QStringLiteral("ELEFANTE: 1 sbagliata su 2"));
    }

    void showsTheMatrixOfEachKind()
    {
        ConfusionMatrix hearing{};
        hearing[1][2] = 1; // E heard, I chosen
        hearing[1][1] = 1;
        hearing[0][0] = 1;
        QCOMPARE(tab_->matrix(), hearing);
        auto *kind = tab_->findChild<QComboBox *>("tipoMatrice");
        kind->setFocus();
        QTest::keyClick(kind, Qt::Key_Down); // Facce
        ConfusionMatrix faces{};
        faces[2][1] = 1; // the face of I, E chosen
        faces[2][2] = 1;
        QCOMPARE(tab_->matrix(), faces);
        QTest::keyClick(kind, Qt::Key_Down); // letters of style 1: none chosen in it
        QCOMPARE(tab_->matrix(), ConfusionMatrix{});
    }

    void aNamedSessionIsFoundByItsName()
    {
        chooseRow(1);
        auto *name = tab_->findChild<QLineEdit *>("nome");
        QTest::keyClicks(name, QStringLiteral("Giulia"));
        click("daiNome");
        QCOMPARE(cellText(1, 5), QStringLiteral("Giulia"));
        auto *child = tab_->findChild<QComboBox *>("bambino");
        QCOMPARE(child->count(), 2);
        child->setFocus();
        QTest::keyClick(child, Qt::Key_Down);
        QCOMPARE(child->currentText(), QStringLiteral("Giulia"));
        QCOMPARE(table()->rowCount(), 1);
        QCOMPARE(cellText(0, 1), QStringLiteral("10:00"));
        QCOMPARE(cellText(0, 6), QStringLiteral("FormZampli5"));
    }

    void deleteRemovesExactlyThatSession()
    {
        chooseRow(1);
        click("cancellaSessione");
        QCOMPARE(table()->rowCount(), 2);
        QCOMPARE(cellText(1, 1), QStringLiteral("11:00"));
        QCOMPARE(queryRows(db(), "SELECT session_id, count(*) FROM answers GROUP BY session_id"),
                 QStringLiteral("1|3 / 3|2"));
    }

    void eraseAllAsksOnce()
    {
        pressInBox(QStringLiteral("Annulla"));
        click("cancellaTutto");
        QCOMPARE(table()->rowCount(), 3);
        pressInBox(QStringLiteral("Cancella"));
        click("cancellaTutto");
        QCOMPARE(table()->rowCount(), 0);
        QCOMPARE(queryRows(db(), "SELECT count(*) FROM answers"), QStringLiteral("0"));
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
};

QTEST_MAIN(TeacherResultsTest)
#include "test_teacher_results.moc"
