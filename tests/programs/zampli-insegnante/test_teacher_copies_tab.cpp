// SPDX-License-Identifier: GPL-3.0-or-later
// The «Copie» tab as the teacher uses it: a copy chosen in the list opens in
// the window; one whose folder is gone says so and cannot be carried away;
// removing a copy asks first, counting its words, and does only what she
// answers: the menu entry alone, the folder to the trash, or nothing at all;
// an old copy is brought up to date. A copy goes out as one file and comes
// back as a new copy that opens; a stranger's file is refused naming why.
#include "PushButtons.h"
#include "CopyFiles.h"
#include "ModalWindows.h"
#include "TeacherWindow.h"
#include "copies/CopyMaking.h"
#include "copies/Copies.h"
#include "tabs/copies/CopiesTab.h"

#include <QtTest>
#include <QtWidgets>

using namespace zampli;
using namespace zampli::teacher;
using zampli::test::whenModalShows;

namespace {

// A copy with its five lists and a program the menu entry can start, known to the menu.
QString makeCopy(const QString &folder, const QByteArray &aList = "ape\r\nalbero\r\nanatra\r\n")
{
    writeFile(folder + "/testi/a.txt", aList);
    for (const char *vowel : {"e", "i", "o", "u"})
        writeFile(folder + "/testi/" + vowel + ".txt", "");
    writeStandInProgram(folder);
    // The entry an earlier run left, written as the copies library writes it.
    const QString applications = copies::applicationsFolder();
    const QString absolute = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (applications.isEmpty() || copies::detail::writeEntry(copies::detail::entryFor(absolute, {}, applications)) != 0)
        qFatal("no menu entry for %s", qPrintable(folder));
    return folder;
}

// Clicks the row of the Copie tab's `list` that shows `folder`.
bool clickCopy(QTreeWidget *list, const QString &folder)
{
    const QList<QTreeWidgetItem *> rows = list->findItems(folder, Qt::MatchExactly, 1);
    if (rows.size() == 1)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(rows[0]).center());
    return rows.size() == 1;
}

// Types a path into a file window's name field and presses Enter, as the teacher does.
void chooseFile(const QString &path)
{
    whenModalShows<QFileDialog>([path](QFileDialog *dialog) {
        zampli::test::acceptFileDialog(dialog, path);
    });
}

// Gives the new copy's name and place in the window that asks for them.
void nameNewCopy(const QString &where, const QString &name)
{
    whenModalShows<QDialog>([where, name](QDialog *dialog) {
        dialog->findChild<QLineEdit *>("dove")->setText(where);
        QLineEdit *nameField = dialog->findChild<QLineEdit *>("nome");
        nameField->clear();
        QTest::keyClicks(nameField, name);
        QTest::keyClick(nameField, Qt::Key_Return);
    }, "nuovaCopia");
}

// The teacher's window on `folder` with «Copie» chosen by a click on its tab.
struct Window : test::TeacherWindow {
    explicit Window(const QString &folder) : TeacherWindow(folder)
    {
        if (!clickTab(QStringLiteral("Copie")))
            qFatal("no «Copie» tab");
    }
    QWidget *tab() { return window.findChild<QWidget *>("copie"); }
    QTreeWidget *list() { return tab()->findChild<QTreeWidget *>("elencoCopie"); }
    QPushButton *button(const char *name) { return tab()->findChild<QPushButton *>(name); }
    QString message() { return tab()->findChild<QLabel *>("messaggio")->text(); }
    QStringList folders()
    {
        QStringList shown;
        for (int i = 0; i < list()->topLevelItemCount(); ++i)
            shown << list()->topLevelItem(i)->text(1);
        return shown;
    }
    bool choose(const QString &folder) { return clickCopy(list(), folder); }
    // «Togli…» clicked; the question's text, answered with the button `answer`.
    QString remove(const QString &answer)
    {
        QString asked;
        whenModalShows<QMessageBox>([&](QMessageBox *box) {
            asked = box->text();
            QTest::mouseClick(test::buttonSaying(box, answer), Qt::LeftButton);
        }, QStringLiteral("togliCopia"));
        QTest::mouseClick(button("togli"), Qt::LeftButton);
        return asked;
    }
};

} // namespace

class TeacherCopiesTabTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    int copies_ = 0;

    static QString installed() { return QCoreApplication::applicationDirPath(); }
    // A folder of its own for each test: the menu is shared by all.
    QString place(const QString &name) { return root_.filePath(QStringLiteral("%1/%2").arg(++copies_).arg(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(homeIn(root_.path())));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root_.filePath("home/.config")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root_.path()));
    }
    // Each test starts with no copy in the menu.
    void init()
    {
        for (const copies::CopyInfo &copy : copies::knownCopies())
            QVERIFY(QFile::remove(copy.desktopFile));
    }

    // «Apri» opens the copy chosen; one whose folder is gone says so, stays
    // shut and cannot be carried away.
    void apriOpensTheChosenCopyUnlessItsFolderIsGone()
    {
        const QString open = makeCopy(place("Aperta")), gone = makeCopy(place("Sparita")),
                      other = makeCopy(place("Seconda")); // not the first in the list
        QVERIFY(QDir(gone).removeRecursively());
        Window w(open);
        QVERIFY(w.choose(gone));
        QVERIFY(!w.button("esporta")->isEnabled());
        QTest::mouseClick(w.button("apri"), Qt::LeftButton);
        QCOMPARE(w.message(), QStringLiteral("La cartella %1 non c'è più: togli la copia dal menu.").arg(gone));
        QCoreApplication::processEvents(); // a copy is opened once the click is over
        QCOMPARE(w.window.folder(), open);
        QVERIFY(w.choose(other));
        QTest::mouseClick(w.button("apri"), Qt::LeftButton);
        QTRY_COMPARE(w.window.folder(), other);
    }

    // «Nuova copia…» suggests ~/ZAMPLI, as «Crea la mia copia» does. A name
    // another copy's menu entry already reads is refused, the dialog stays
    // and offers a free one, which Enter then takes.
    void aNameAnotherCopyHasIsRefused()
    {
        const QString open = makeCopy(place("Aperta")), other = makeCopy(place("Classe 2"));
        Window w(open);
        QString where, refusal, offered;
        bool refused = false;
        whenModalShows<QDialog>([&](QDialog *dialog) {
            where = dialog->findChild<QLineEdit *>("dove")->text();
            QLineEdit *name = dialog->findChild<QLineEdit *>("nome");
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(name, QStringLiteral("Classe 2"));
            QTest::keyClick(name, Qt::Key_Return);
            auto *taken = dialog->findChild<QLabel *>("nomeUsato");
            refused = dialog->isVisible() && taken->isVisible();
            refusal = taken->text();
            offered = name->text();
            QTest::keyClick(name, Qt::Key_Return);
        }, "nuovaCopia");
        QTest::mouseClick(w.button("nuova"), Qt::LeftButton);
        QCOMPARE(where, root_.filePath("home/ZAMPLI"));
        QVERIFY(refused);
        QVERIFY2(refusal.contains(QStringLiteral("«ZAMPLI – Classe 2»")) && refusal.contains(other), qPrintable(refusal));
        QCOMPARE(offered, QStringLiteral("Classe 2 (2)"));
        QTRY_COMPARE_WITH_TIMEOUT(w.window.folder(), root_.filePath("home/ZAMPLI/Classe 2 (2)"), 30000);
        QVERIFY(!QFileInfo::exists(root_.filePath("home/ZAMPLI/Classe 2")));
        QStringList names;
        for (const copies::CopyInfo &copy : copies::knownCopies())
            names << copy.name;
        QCOMPARE(names, QStringList({"ZAMPLI – Aperta", "ZAMPLI – Classe 2", "ZAMPLI – Classe 2 (2)"}));
    }

    // A copy made when copies carried their own program is offered the
    // change, and after it starts the installed program; a copy made today
    // needs none.
    void anOldCopyIsBroughtUpToDate()
    {
        const QString open = makeCopy(place("Nuova")), old = makeCopy(place("Vecchia"));
        QVERIFY(QFile::remove(open + "/zampli"));
        QVERIFY(QFile::link(installed() + "/zampli", open + "/zampli"));
        writeFile(old + "/zampli-suoni.so", "old module");
        Window w(open);
        QVERIFY(w.choose(open));
        QVERIFY(!w.button("aggiorna")->isEnabled());
        QVERIFY(w.choose(old));
        QVERIFY(w.button("aggiorna")->isEnabled());
        QTest::mouseClick(w.button("aggiorna"), Qt::LeftButton);
        QCOMPARE(QFile::symLinkTarget(old + "/zampli"), QFileInfo(installed() + "/zampli").canonicalFilePath());
        QVERIFY(!w.button("aggiorna")->isEnabled());
    }

    // «Togli…» asks first, counting the words of the copy's five lists,
    // singular and plural right, and does only what she answers: «Annulla»
    // nothing, «Togli solo dal menu» the entry alone, «Sposta nel cestino»
    // the folder to the desktop's trash. The copy open in the window cannot
    // be removed at all.
    void togliDoesOnlyWhatSheAnswers()
    {
        const QString open = makeCopy(place("Aperta")), none = makeCopy(place("Vuota"), {}),
                      one = makeCopy(place("Una"), "ape\r\n"), three = makeCopy(place("Vecchia"));
        const QStringList entries = entriesIn(root_.filePath("home/.local/share/applications"));
        Window w(open);
        QVERIFY(w.choose(open));
        QVERIFY(!w.button("togli")->isEnabled());
        QVERIFY(w.button("togli")->toolTip().contains("aperta in questa finestra"));
        for (const auto &[copy, counted] : {std::pair{none, "(nessuna parola nei suoi elenchi"},
                                            {one, "(1 parola nei suoi elenchi"}, {three, "(3 parole nei suoi elenchi"}}) {
            QVERIFY(w.choose(copy));
            const QString asked = w.remove(QStringLiteral("Annulla"));
            QVERIFY2(asked.contains(QString::fromUtf8(counted)), qPrintable(asked));
            QVERIFY2(asked.contains("«ZAMPLI – " + QFileInfo(copy).fileName() + "»"), qPrintable(asked));
        }
        QCOMPARE(entriesIn(root_.filePath("home/.local/share/applications")), entries);
        QCOMPARE(w.folders().size(), 4);

        QVERIFY(w.choose(three));
        w.remove(QStringLiteral("Togli solo dal menu"));
        QTRY_COMPARE(w.folders().size(), 3);
        QVERIFY(!w.folders().contains(three));
        QCOMPARE(readFile(three + "/testi/a.txt"), QByteArray("ape\r\nalbero\r\nanatra\r\n"));
        QCOMPARE(w.message(), QStringLiteral("Tolta dal menu la voce \"ZAMPLI – Vecchia\"; la cartella %1 resta.").arg(three));

        QVERIFY(w.choose(one));
        w.remove(QStringLiteral("Sposta nel cestino"));
        QTRY_VERIFY(!QFileInfo::exists(one));
        QCOMPARE(readFile(root_.filePath("home/.local/share/Trash/files/Una/testi/a.txt")), QByteArray("ape\r\n"));
        QVERIFY(QFileInfo::exists(open + "/testi/a.txt"));
    }

    // A copy goes out as one file and comes back as a new copy that opens; a
    // stranger's file does not.
    void aCopyGoesToAFileAndComesBackAsANewCopy()
    {
        const QString first = root_.filePath("Classe 2ª B");
        const copies::CopyResult made = copies::makeCopy(installed(), first);
        QVERIFY2(made.ok, qPrintable(made.message));
        writeFile(first + "/testi/a.txt", "ape\r\nalbero\r\n");
        CopiesTab tab(first);
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        auto *message = tab.findChild<QLabel *>("messaggio");
        auto *exportButton = tab.findChild<QPushButton *>("esporta");
        QVERIFY(clickCopy(tab.findChild<QTreeWidget *>("elencoCopie"), first));
        QVERIFY(exportButton->isEnabled());

        const QString file = root_.filePath("classe"); // the extension is added
        chooseFile(file);
        QTest::mouseClick(exportButton, Qt::LeftButton);
        QTRY_VERIFY2(message->text().startsWith("Fatto"), qPrintable(message->text()));
        QVERIFY2(message->text().contains(file + ".zampli"), qPrintable(message->text()));

        QSignalSpy opened(&tab, &CopiesTab::openCopy);
        chooseFile(file + ".zampli");
        nameNewCopy(root_.path(), "Classe 3ª A");
        QTest::mouseClick(tab.findChild<QPushButton *>("importa"), Qt::LeftButton);
        const QString second = root_.filePath("Classe 3ª A");
        QTRY_COMPARE(opened.size(), 1);
        QCOMPARE(opened[0][0].toString(), second);
        QCOMPARE(readFile(second + "/testi/a.txt"), QByteArray("ape\r\nalbero\r\n"));
        QCOMPARE(readFile(second + "/jpg/ape.jpg"), readFile(installed() + "/jpg/ape.jpg"));
        QCOMPARE(QFileInfo(second + "/zampli").symLinkTarget(), QFileInfo(installed() + "/zampli").canonicalFilePath());
        QVERIFY(!tab.findChild<QTreeWidget *>("elencoCopie")->findItems(second, Qt::MatchExactly, 1).isEmpty());

        // A stranger's file is refused, naming why, and no copy is made.
        const QString strange = root_.filePath("strano.zampli");
        writeFile(strange, "not a zip at all");
        chooseFile(strange);
        nameNewCopy(root_.path(), "Strana");
        QTest::mouseClick(tab.findChild<QPushButton *>("importa"), Qt::LeftButton);
        QTRY_VERIFY2(message->text().contains("non è un archivio ZIP"), qPrintable(message->text()));
        QVERIFY2(message->text().contains(strange), qPrintable(message->text()));
        QCOMPARE(opened.size(), 1);
        QVERIFY(!QFileInfo::exists(root_.filePath("Strana")));
    }
};

QTEST_MAIN(TeacherCopiesTabTest)

#include "test_teacher_copies_tab.moc"
