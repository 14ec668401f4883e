// SPDX-License-Identifier: GPL-3.0-or-later
// The Risultati tab of a copy that has a school's server, a real PostgreSQL
// started by the test: the class as two computers delivered it, the same
// children on the server and in "Ora gioca" of this computer, the last
// reading while the server is away, and a child erased from the server
// through the tab's own buttons.
#include "CopyFiles.h"
#include "ResultsHarness.h"
#include "ResultsTabDriver.h"
#include "SchoolClass.h"
#include "server/SchoolDialog.h"
#include "server/SchoolSync.h"
#include "tabs/results/ResultsTab.h"

#include "school/PgConnection.h"
#include "school/SchoolSetting.h"
#include "school/ServerSchema.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <QtWidgets>
#include <ctime>
#include <functional>

using namespace zampli;
using namespace zampli::test;
using namespace zampli::teacher;

namespace {

const QByteArray kCopy = "0123456789abcdef0123456789abcdef";

} // namespace

class TeacherSchoolTest : public QObject, ResultsTabDriver {
    Q_OBJECT

    PgServer server_;
    PreparedSchool made_;
    QTemporaryDir state_, cache_, folder_, home_;
    QString marco_;

    PgParams params(const QString &role, const QString &password = {})
    {
        const auto p = parseConnection(server_.connection("classe", role, password));
        if (!p)
            qFatal("the test's own connection does not parse");
        return *p;
    }
    void deliver(const char *computer, const QByteArray &uid, int from, int to, const QString &child = {})
    {
        PgConnection db;
        QVERIFY2(db.open(params(made_.roles.computers, made_.computersPassword)), qPrintable(db.error()));
        PgResult r = db.exec("SELECT zampli.deliver($1, $2, 'anna', $3, $4, 1765000000000, 1765000100000, $5)",
                             {kCopy, computer, uid, (child.isEmpty() ? marco_ : child).toUtf8(), heardAnswers(from, to)});
        QVERIFY2(r.ok() && r.text(0, 0) == "ok", qPrintable(r.message()));
    }
    // The last day aside: the test's own zone decides it.
    QStringList classRows()
    {
        const QAbstractItemModel *m = widget<QTableView>("classe")->model();
        return rowTexts(m, u'|', m->columnCount() - 1);
    }
    QStringList playing() { return itemTexts(widget<QComboBox>("oraGioca")); }
    QString copyResults() const { return resultsDatabasePath(resultsFolder(), folder_.path()); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("XDG_STATE_HOME", state_.path().toUtf8());
        qputenv("XDG_CACHE_HOME", cache_.path().toUtf8());
        // A school whose day is still yesterday in this computer's zone.
        qputenv("TZ", "UTC");
        tzset();
        const QString why = prepareClass(server_, made_, QStringLiteral("America/Los_Angeles"));
        if (!why.isEmpty())
            QFAIL(qPrintable(why));
        // Her password as libpq finds it on her computer: she is never asked.
        const QString pgpass = home_.filePath("pgpass");
        writeFile(pgpass, "*:*:classe:classe_insegnante:" + made_.teacherPassword.toUtf8() + "\n");
        QVERIFY(QFile::setPermissions(pgpass, QFile::ReadOwner | QFile::WriteOwner));
        qputenv("PGPASSFILE", pgpass.toUtf8());
        PgConnection teacher;
        QVERIFY(teacher.open(params(made_.roles.teacher, made_.teacherPassword)));
        marco_ = teacher.exec("SELECT zampli.add_child('Marco B.')").text(0, 0);
        QVERIFY(!marco_.isEmpty());
        deliver("lab-1", "11111111111111111111111111111111", 1, 3);
        deliver("lab-2", "22222222222222222222222222222222", 1, 2);
        deliver("lab-2", "22222222222222222222222222222222", 1, 2); // delivered again: counted once
        QString wrote;
        QVERIFY2(writeSchoolSetting(folder_.path(),
                                    {server_.connection("classe", made_.roles.computers, made_.computersPassword),
                                     QString::fromLatin1(kCopy)},
                                    &wrote),
                 qPrintable(wrote));
        tab_ = std::make_unique<ResultsTab>(folder_.path());
        tab_->resize(1000, 700);
        tab_->show();
    }

    // One child, two computers: each answer once, and she is this
    // computer's child too, with the server's id, for "Ora gioca". Days
    // counted as the school counts them: the answers at 05:46 UTC of 6
    // December were given on the 5th in the school's zone. The zone comes
    // with a reading, so a tab opened after one counts in it.
    void theClassOfBothComputersOnceInTheSchoolsDays()
    {
        QTRY_COMPARE_WITH_TIMEOUT(classRows(), QStringList{"Marco B.|–|3 su 5 (60%)|–|–|–"}, 15000);
        QCOMPARE(playing(), (QStringList{"senza nome", "Marco B."}));
        QCOMPARE(queryRows(copyResults(), "SELECT name, server_id FROM children", true), "Marco B.|" + marco_);
        tab_ = std::make_unique<ResultsTab>(folder_.path());
        tab_->resize(1000, 700);
        tab_->show();
        QTRY_VERIFY_WITH_TIMEOUT(classRows().contains("Marco B.|–|3 su 5 (60%)|–|–|–"), 15000);
        QCOMPARE(widget<QTableView>("classe")->model()->index(0, 6).data().toString(), QString("05/12/2025"));

        // Her reading of the server is not where its answers are erased: a
        // change there would come back at the next reading.
        click("cancellaTutto");
        QCOMPARE(said(), QString("Le risposte sono sul server della scuola: da qui si cancellano solo con il bambino; "
                                 "scegli il bambino e premi «Cancella tutto di …». Per una cancellazione diversa "
                                 "chiedi al tecnico."));
        QCOMPARE(server_.sql("classe", "SELECT count(*) FROM zampli.answers"), QString("5"));
        QCOMPARE(queryRows(tab_->database(), "SELECT count(*) FROM answers", true), QString("5"));
    }

    // "Ora gioca" on this computer: the child of its own file that is the server's Marco.
    void nowPlayingIsWrittenForThisComputer()
    {
        auto *box = widget<QComboBox>("oraGioca");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QTRY_COMPARE(said(), QString("Da ora le risposte vanno a Marco B., finché non scegli un altro bambino."));
        QCOMPARE(queryRows(copyResults(), "SELECT c.server_id FROM now_playing n JOIN children c ON c.id = n.child_id",
                           true),
                 marco_);
    }

    // A second Marco B. is refused before the server is asked; Luca joins
    // the class on the server and on this computer.
    void oneClassOneListOfChildren()
    {
        QTest::keyClicks(widget<QLineEdit>("nomeBambino"), "marco b.");
        click("aggiungiBambino");
        QCOMPARE(said(), QString("C'è già un bambino di nome Marco B.: scrivi anche l'iniziale del cognome per "
                                 "distinguerli, come «Marco B.»."));
        widget<QLineEdit>("nomeBambino")->clear();
        QTest::keyClicks(widget<QLineEdit>("nomeBambino"), "Luca");
        click("aggiungiBambino");
        QTRY_COMPARE_WITH_TIMEOUT(said(), QString("Luca è nella classe: sceglilo in \"Ora gioca\" prima che giochi."),
                                  10000);
        QCOMPARE(server_.sql("classe", "SELECT name FROM zampli.children ORDER BY id"), QString("Marco B.\nLuca"));
        QTRY_COMPARE(playing(), (QStringList{"senza nome", "Luca", "Marco B."}));
        QCOMPARE(queryRows(copyResults(), "SELECT name FROM children WHERE server_id IS NOT NULL ORDER BY name", true),
                 QString("Luca / Marco B."));
    }

    // The server away: what was read stays, and she is told when it was read.
    void theLastReadingWhileTheServerIsAway()
    {
        // The test's server commits without waiting for the disk: what it holds is written first.
        server_.sql("classe", "CHECKPOINT");
        QVERIFY(server_.stop());
        auto restart = qScopeGuard([this] { QVERIFY(server_.start().isEmpty()); });
        click("aggiorna");
        QTRY_VERIFY_WITH_TIMEOUT(said().startsWith("Il server della scuola non risponde: vedi i risultati letti il "),
                                 15000);
        QVERIFY2(QRegularExpression("letti il [0-9]{1,2} [a-z]+ alle [0-9]{2}:[0-9]{2}\\.$").match(said()).hasMatch(),
                 qPrintable(said()));
        QVERIFY(classRows().contains("Marco B.|–|3 su 5 (60%)|–|–|–"));
    }

    // Answers of this computer the server does not hold yet are told with
    // the class, with since when and why.
    void whatThisComputerStillHoldsIsTold()
    {
        SqliteDb own;
        QCOMPARE(own.open(copyResults(), false), 0);
        QCOMPARE(own.exec("INSERT INTO sessions(id, started_ms, ended_ms, program_folder, uid)"
                          " VALUES(900, 1796635800000, 1796635800000, 'x', 'abababababababababababababababab');"
                          "INSERT INTO answers(session_id, at_ms, window, turn, asked, asked_as, asked_style, chosen,"
                          " chosen_as, chosen_style, right, answer_ms)"
                          " VALUES(900, 1796635800000, 'FormZampli3', 1, 'A', 'voce', 0, 'A', 'faccia', 0, 1, 700);"
                          "INSERT INTO delivery(one, waiting_since_ms, tried_ms, reason)"
                          " VALUES(1, 1796635800000, 1796635900000, 'il server della scuola non risponde (prova)')"),
                 0);
        auto unplant = qScopeGuard([&own] {
            own.exec("DELETE FROM answers WHERE session_id = 900; DELETE FROM sessions WHERE id = 900;"
                     " DELETE FROM delivery");
        });
        click("aggiorna");
        // 09:30 UTC in the school's zone, in which her program now counts.
        QTRY_VERIFY2_WITH_TIMEOUT(said().contains("1 risposta aspetta dal 07/12/2026 01:30 di andare al server della "
                                                  "scuola, perché il server della scuola non risponde (prova)."),
                                  qPrintable(said()), 15000);
    }

    // "Cancella il bambino…": nothing of Marco on the server, in the
    // teacher's reading, nor among this computer's children.
    void anEraseLeavesNothingOfHer()
    {
        QTRY_VERIFY(classRows().contains("Marco B.|–|3 su 5 (60%)|–|–|–"));
        clickClassRow(classRows(), "Marco B.|–|3 su 5 (60%)|–|–|–", false);
        QString asked;
        pressInBox("Cancella", &asked);
        click("cancellaBambino");
        QTRY_COMPARE_WITH_TIMEOUT(said(), QString("Marco B. non è più nella classe e le sue risposte sono cancellate "
                                                  "dal server della scuola."),
                                  15000);
        QVERIFY2(asked.startsWith("Cancello Marco B. e tutte le sue risposte (2 sessioni, 5 risposte"), qPrintable(asked));
        QCOMPARE(server_.sql("classe", "SELECT count(*) FROM zampli.answers"), QString("0"));
        QCOMPARE(server_.sql("classe", "SELECT count(*) FROM zampli.children WHERE erased_ms IS NULL"), QString("1"));
        QTRY_VERIFY(classRows().filter("Marco").isEmpty());
        const QString mirror = tab_->database();
        QCOMPARE(queryRows(mirror, "SELECT count(*) FROM answers", true), QString("0"));
        QCOMPARE(queryRows(mirror, "SELECT count(*) FROM sessions", true), QString("0"));
        QCOMPARE(queryRows(mirror, "SELECT name FROM children", true), QString("Luca"));
        QTRY_COMPARE(queryRows(copyResults(), "SELECT name FROM children", true), QString("Luca"));
    }

    // File › Scuola… on a copy of no server yet: her password typed, wrong
    // then right, the try told in words, the copy given the computers' role
    // and taken off the server again. Last: the password she types stays
    // for the rest of the run.
    void theSchoolWindowGivesTheCopyTheServer()
    {
        QTemporaryDir other;
        QVERIFY(QDir().mkpath(other.filePath("testi")));
        SchoolDialog dialog(other.path(), true);
        QSignalSpy changed(&dialog, &SchoolDialog::copyChanged);
        dialog.show();
        const auto type = [&dialog](const char *name, const QString &text) {
            auto *field = dialog.findChild<QLineEdit *>(QLatin1String(name));
            QVERIFY(field);
            field->clear();
            QTest::keyClicks(field, text);
        };
        const auto press = [&dialog](const char *name) {
            auto *b = dialog.findChild<QPushButton *>(QLatin1String(name));
            QVERIFY(b && b->isEnabled());
            QTest::mouseClick(b, Qt::LeftButton);
        };
        const auto outcome = [&dialog] { return dialog.findChild<QLabel *>("scuolaEsito")->text(); };
        QVERIFY(!dialog.findChild<QPushButton *>("togliServer")->isEnabled());
        type("scuolaServer", server_.socketFolder());
        type("scuolaPorta", "5432");
        type("scuolaDatabase", "classe");
        type("scuolaPassword", "sbagliata");
        press("provaConnessione");
        QTRY_COMPARE_WITH_TIMEOUT(outcome(), QString("Il server non accetta la password del ruolo «classe_insegnante»: "
                                                     "scrivila qui sopra come te l'ha data il tecnico, poi riprova."),
                                  10000);
        type("scuolaPassword", made_.teacherPassword);
        press("provaConnessione");
        QTRY_COMPARE_WITH_TIMEOUT(outcome(), QString("Il server risponde e ti riconosce: la classe del database "
                                                     "«classe» ha 1 bambino. Ora puoi dare il server a questa copia."),
                                  10000);
        press("daiServer");
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, 10000);
        QString why;
        const std::optional<SchoolSetting> given = readSchoolSetting(other.path(), &why);
        QVERIFY2(given, qPrintable(why));
        QVERIFY2(given->connection.contains(" user=classe_computer password=" + made_.computersPassword),
                 qPrintable(given->connection));
        QVERIFY(!given->connection.contains(made_.teacherPassword));
        PgConnection computer;
        QVERIFY2(computer.open(*parseConnection(given->connection)), qPrintable(computer.error()));
        QCOMPARE(deliveryRefused(computer), QString());

        press("togliServer");
        QCOMPARE(changed.size(), 2);
        QVERIFY(!hasSchoolSetting(other.path()));
        QCOMPARE(outcome(), QString("Fatto: questa copia non manda più le risposte al server; da ora restano su "
                                    "ciascun computer, e in Risultati vedi quelle di questo computer."));
    }

    // "Cancella tutto di Luca…" with Luca's answers shown: she goes from the server.
    void everythingOfAChildGoesFromTheServer()
    {
        const QString luca = server_.sql("classe", "SELECT id FROM zampli.children WHERE name = 'Luca'");
        deliver("lab-3", "33333333333333333333333333333333", 1, 1, luca);
        click("aggiorna");
        QTRY_VERIFY_WITH_TIMEOUT(classRows().contains("Luca|–|1 su 1 (100%)|–|–|–"), 15000);
        clickClassRow(classRows(), "Luca|–|1 su 1 (100%)|–|–|–", true);
        QTRY_COMPARE(widget<QPushButton>("cancellaTutto")->text(), QString("Cancella tutto di Luca…"));
        QString asked;
        pressInBox("Cancella", &asked);
        click("cancellaTutto");
        QTRY_COMPARE_WITH_TIMEOUT(said(), QString("Luca non è più nella classe e le sue risposte sono cancellate dal "
                                                  "server della scuola."),
                                  15000);
        QVERIFY2(asked.startsWith("Cancello Luca e tutte le sue risposte (1 sessione, 1 risposta"), qPrintable(asked));
        QCOMPARE(server_.sql("classe", "SELECT count(*) FROM zampli.answers"), QString("0"));
        QTRY_VERIFY(classRows().isEmpty());
    }

    // Thousands of answers to read: she sees them come, then the end.
    void aLongReadingShowsItsProgress()
    {
        PgConnection teacher;
        QVERIFY(teacher.open(params(made_.roles.teacher, made_.teacherPassword)));
        const QString sara = teacher.exec("SELECT zampli.add_child('Sara')").text(0, 0);
        deliver("lab-4", "44444444444444444444444444444444", 1, 2500, sara);
        auto *sync = tab_->findChild<SchoolSync *>();
        QVERIFY(sync);
        QSignalSpy progress(sync, &SchoolSync::progress);
        click("aggiorna");
        QTRY_COMPARE_WITH_TIMEOUT(said(), QString("Ho letto i risultati della classe dal server della scuola."), 20000);
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.first(), (QVariantList{qint64(0), qint64(2500)}));
        QTRY_VERIFY(classRows().contains("Sara|–|1.250 su 2.500 (50%)|–|–|–"));
    }

    void cleanupTestCase() { tab_.reset(); }
};

QTEST_MAIN(TeacherSchoolTest)
#include "test_teacher_school.moc"
