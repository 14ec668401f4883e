// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's window as a whole, on real folders: one window per copy,
// Qt's own texts in Italian, the installed set read-only with the button that
// makes her own copy, and a copy that runs the installed child's program on
// its own media. The build's bin folder plays the installed set.
#include "CopyFiles.h"
#include "FakeServices.h"
#include "ModalWindows.h"
#include "ProcMemory.h"
#include "PushButtons.h"
#include "TeacherTabs.h"
#include "copies/Copies.h"
#include "pictures-voices/MediaActions.h"
#include "tabs/words/WordsTab.h"
#include "window/MainWindow.h"
#include "window/TeacherStart.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

using namespace zampli;
using namespace zampli::teacher;
using zampli::test::whenModalShows;

namespace {

// A copy the window can open: five lists, nothing else needed.
QString makeFolder(const QString &folder, const QByteArray &aList = "ape\r\nalbero\r\nanatra\r\n")
{
    writeFile(folder + "/testi/a.txt", aList);
    for (const char *vowel : {"e", "i", "o", "u"})
        writeFile(folder + "/testi/" + vowel + ".txt", "");
    return folder;
}

struct Window : test::FakeServices {
    MainWindow window{services};
};

} // namespace

class TeacherShellTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QTranslator qtTexts_;
    QString installed_;

    QString applications() const { return root_.filePath("home/.local/share/applications"); }

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        qputenv("HOME", QFile::encodeName(root_.filePath("home")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(root_.filePath("home/.local/share")));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath("home/.config")));
        qputenv("XDG_STATE_HOME", QFile::encodeName(root_.filePath("home/.local/state")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root_.filePath("run")));
        QDir().mkpath(root_.filePath("run"));
        QFile::setPermissions(root_.filePath("run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        installed_ = QCoreApplication::applicationDirPath();
        QVERIFY(QFileInfo(installed_ + "/testi/a.txt").isFile());
        prepareTeacherProgram(qtTexts_);
    }

    // The teacher clicks her menu entry again: the window already open on
    // that copy comes forward, and no second window edits the same files;
    // a different copy opens in a second window.
    void aSecondWindowOnTheSameCopyHandsOver()
    {
        const QString folder = makeFolder(root_.filePath("same/Classe 1ª A"));
        Window first;
        QVERIFY(first.window.openFolder(folder));
        first.window.showMinimized();
        QTRY_VERIFY(first.window.windowState() & Qt::WindowMinimized);

        Window second;
        QVERIFY(!second.window.openFolder(folder));
        QCOMPARE(second.window.folder(), QString());
        QTRY_VERIFY(!(first.window.windowState() & Qt::WindowMinimized));
        QVERIFY(first.window.isVisible());
        // Another copy opens in a window of its own.
        QVERIFY(second.window.openFolder(makeFolder(root_.filePath("same/Classe 2ª B"))));
        QCOMPARE(QDir(second.window.folder()).dirName(), QString("Classe 2ª B"));
    }

    // The real program started twice on one copy, as the menu starts it, on
    // one display or on two (another screen of the same account): the second
    // start ends at once, the first goes on, and the files the window open
    // keeps for Annulla are left alone.
    void theProgramStartedTwiceEndsTheSecond_data()
    {
        QTest::addColumn<QString>("firstDisplay");
        QTest::addColumn<QString>("secondDisplay");
        QTest::newRow("one display") << QString() << QString();
        QTest::newRow("two displays") << ":1" << ":2";
    }
    void theProgramStartedTwiceEndsTheSecond()
    {
        QFETCH(QString, firstDisplay);
        QFETCH(QString, secondDisplay);
        const QString folder = makeFolder(root_.filePath(QStringLiteral("twice/") + QTest::currentDataTag()));
        const QString kept = folder + "/.zampli-annulla/1-0000cafe/1-ape.jpg";
        const auto start = [this, &folder](QProcess &p, const QString &display) {
            if (!display.isEmpty()) {
                QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
                env.remove("WAYLAND_DISPLAY");
                env.insert("DISPLAY", display);
                p.setProcessEnvironment(env);
            }
            p.start(installed_ + "/zampli-insegnante", {folder});
        };
        const auto locks = [this] {
            return QDir(root_.filePath("run")).entryList({"zampli-insegnante-*.lock"}, QDir::Files).size();
        };
        const qsizetype before = locks();
        // What a window still open keeps aside, under the lock it holds. Put
        // there before the first start, whose own sweep of what windows gone
        // left would otherwise hold each lock it looks at for a moment.
        writeFile(kept, "kept for Annulla");
        QLockFile held(folder + "/.zampli-annulla/1-0000cafe.lock");
        QVERIFY(held.tryLock(0));
        QProcess first;
        start(first, firstDisplay);
        QVERIFY(first.waitForStarted());
        // The first holds its lock once it has opened the copy.
        QTRY_COMPARE_WITH_TIMEOUT(locks(), before + 1, 20000);
        QProcess second;
        start(second, secondDisplay);
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        QVERIFY(QFile::exists(kept));
        first.terminate();
        QVERIFY(first.waitForFinished(20000));
    }

    // Qt's own texts in Italian once the program has started (how each of
    // Qt's windows reads is the startup library's test).
    void qtsOwnTextsAreItalian()
    {
        QMessageBox box(QMessageBox::Question, "Togli la copia", "Vuoi togliere la copia?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QStringList boxTexts;
        for (QAbstractButton *b : box.buttons())
            boxTexts << b->text().remove('&');
        boxTexts.sort();
        QCOMPARE(boxTexts, (QStringList{"Annulla", "No", "Sì"}));
    }

    // The first start of a teacher who is not root opens the installed set:
    // it says so, nothing can be changed there, and one button makes her
    // own copy, with its menu entry, and opens it for editing.
    void theInstalledSetLeadsToAnOwnCopyInOneClick()
    {
        Window w;
        QVERIFY(w.window.openFolder(installed_));
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        QVERIFY(!w.window.isEditable());
        QLineEdit *newWord = test::wordsTabOf(w.window, "A")->findChild<QLineEdit *>("nuovaParola");
        QVERIFY(!newWord->isEnabled());
        const QString banner = w.window.findChild<QLabel *>("cartella")->text();
        QVERIFY2(banner.contains("non si possono cambiare"), qPrintable(banner));
        QPushButton *makeOwn = w.window.findChild<QPushButton *>("creaLaMiaCopia");
        QVERIFY(makeOwn && makeOwn->isVisible());
        QCOMPARE(makeOwn->text(), QString("Crea la mia copia"));

        QString suggested;
        whenModalShows<QWidget>([&suggested](QWidget *dialog) {
            suggested = dialog->findChild<QLineEdit *>("dove")->text() + "/" +
                        dialog->findChild<QLineEdit *>("nome")->text();
            QTest::mouseClick(test::buttonSaying(dialog, "Crea la copia"), Qt::LeftButton);
        }, QStringLiteral("nuovaCopia"));
        QTest::mouseClick(makeOwn, Qt::LeftButton);

        const QString copy = root_.filePath("home/ZAMPLI/Le mie parole");
        QCOMPARE(suggested, copy);
        QTRY_COMPARE(w.window.folder(), copy);
        QVERIFY(w.window.isEditable());
        QVERIFY(test::wordsTabOf(w.window, "A")->findChild<QLineEdit *>("nuovaParola")->isEnabled());
        QVERIFY(!makeOwn->isVisible());
        QCOMPARE(QFile(copy + "/testi/a.txt").size(), QFile(installed_ + "/testi/a.txt").size());
        QVERIFY(QFileInfo(copy + "/zampli").isSymLink());
        const QStringList entries = QDir(applications()).entryList({"*.desktop"});
        QVERIFY2(!entries.filter("mie").isEmpty(), qPrintable(entries.join(", ")));
    }

    // A copy made today holds no program file: its link starts the installed
    // child's program, which keeps its results under the copy's name, as it
    // does for the copy's media and its one window.
    void aCopyRunsTheInstalledProgramOnItsOwnFolder()
    {
        const QString folder = root_.filePath("run/Copia di prova");
        const copies::CopyResult made = copies::makeCopy(installed_, folder);
        QVERIFY2(made.ok, qPrintable(made.message));
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        child.setProcessEnvironment(env);
        child.start(folder + "/zampli", {});
        QVERIFY(child.waitForStarted());
        const QString exe = proc::programFile(child.processId());
        QCOMPARE(exe, QFileInfo(installed_ + "/zampli").canonicalFilePath());
        const QString results = root_.filePath("home/.local/state/zampli");
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(results).entryList({"Copia di prova-*.sqlite"}, QDir::Files).isEmpty(), 20000);
        QCOMPARE(QDir(results).entryList({"bin-*.sqlite"}, QDir::Files), QStringList());
        child.terminate();
        QVERIFY(child.waitForFinished(20000));
    }
};

QTEST_MAIN(TeacherShellTest)
#include "test_teacher_shell.moc"
