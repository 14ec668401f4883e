// SPDX-License-Identifier: GPL-3.0-or-later
// The «Copie» tab as the teacher uses it: a copy chosen in the list opens in
// the window; one whose folder is gone says so and cannot be carried away;
// removing a copy asks first, counting its words, and does only what she
// answers: the menu entry alone, or nothing at all.
#include "PushButtons.h"
#include "CopyFiles.h"
#include "ModalWindows.h"
#include "TeacherWindow.h"
#include "MenuEntry.h"
#include "copies/Copies.h"

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
    if (!enterInMenu(folder))
        qFatal("no menu entry for %s", qPrintable(folder));
    return folder;
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
    // Clicks the row of the list that shows `folder`.
    bool choose(const QString &folder)
    {
        const QList<QTreeWidgetItem *> rows = list()->findItems(folder, Qt::MatchExactly, 1);
        if (rows.size() == 1)
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(rows[0]).center());
        return rows.size() == 1;
    }
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

    void apriOpensTheChosenCopyInTheWindow()
    {
        const QString open = makeCopy(place("Aperta")), other = makeCopy(place("Seconda")); // not the first in the list
        Window w(open);
        QVERIFY(w.choose(other));
        QTest::mouseClick(w.button("apri"), Qt::LeftButton);
        QTRY_COMPARE(w.window.folder(), other); // opened once the click is over
    }

    void aCopyWhoseFolderIsGoneSaysSoAndStaysShut()
    {
        const QString open = makeCopy(place("Aperta")), gone = makeCopy(place("Sparita"));
        QVERIFY(QDir(gone).removeRecursively());
        Window w(open);
        QVERIFY(w.choose(gone));
        QVERIFY(!w.button("esporta")->isEnabled());
        QTest::mouseClick(w.button("apri"), Qt::LeftButton);
        QCOMPARE(w.message(), QStringLiteral("La cartella %1 non c'è più: togli la copia dal menu.").arg(gone));
        QCoreApplication::processEvents(); // a copy is opened once the click is over
        QCOMPARE(w.window.folder(), open);
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

    // «Togli solo dal menu»: the entry goes, the folder and its words stay.
    void removingTheMenuEntryOnlyKeepsTheFolder()
    {
        const QString open = makeCopy(place("Aperta")), other = makeCopy(place("Vecchia"));
        Window w(open);
        QVERIFY(w.choose(other));
        w.remove(QStringLiteral("Togli solo dal menu"));
        QTRY_COMPARE(w.folders(), QStringList{open});
        QCOMPARE(readFile(other + "/testi/a.txt"), QByteArray("ape\r\nalbero\r\nanatra\r\n"));
        QCOMPARE(w.message(), QStringLiteral("Tolta dal menu la voce \"ZAMPLI – Vecchia\"; la cartella %1 resta.").arg(other));
    }

    void annullaLeavesTheCopyAsItWas()
    {
        const QString open = makeCopy(place("Aperta")), other = makeCopy(place("Vecchia"));
        const QStringList entries = entriesIn(root_.filePath("home/.local/share/applications"));
        Window w(open);
        QVERIFY(w.choose(other));
        w.remove(QStringLiteral("Annulla"));
        QCOMPARE(entriesIn(root_.filePath("home/.local/share/applications")), entries);
        QCOMPARE(w.folders().size(), 2);
        QVERIFY(QFileInfo::exists(other + "/testi/a.txt"));
    }

    // The question counts the words of the copy's five lists, singular and plural right.
    void theQuestionCountsTheCopysWords_data()
    {
        QTest::addColumn<QByteArray>("aList");
        QTest::addColumn<QString>("counted");
        QTest::newRow("none") << QByteArray() << QStringLiteral("(nessuna parola nei suoi elenchi");
        QTest::newRow("one") << QByteArray("ape\r\n") << QStringLiteral("(1 parola nei suoi elenchi");
        QTest::newRow("three") << QByteArray("ape\r\nago\r\nala\r\n") << QStringLiteral("(3 parole nei suoi elenchi");
    }
    void theQuestionCountsTheCopysWords()
    {
        QFETCH(QByteArray, aList);
        QFETCH(QString, counted);
        const QString open = makeCopy(place("Aperta")), other = makeCopy(place("Vecchia"), aList);
        Window w(open);
        QVERIFY(w.choose(other));
        const QString asked = w.remove(QStringLiteral("Annulla"));
        QVERIFY2(asked.contains(counted), qPrintable(asked));
        QVERIFY2(asked.contains(QStringLiteral("«ZAMPLI – Vecchia»")), qPrintable(asked));
    }
};

QTEST_MAIN(TeacherCopiesTabTest)

#include "test_teacher_copies_tab.moc"
