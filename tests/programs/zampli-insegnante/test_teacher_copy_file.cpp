// SPDX-License-Identifier: GPL-3.0-or-later
// The Copie tab carries a copy as one file: the teacher exports the copy she
// chose, imports it again as a new copy that opens, and is told, naming the
// entry, why a stranger's file was refused. The build's bin folder plays the
// installed program.
#include "CopyFiles.h"
#include "ModalWindows.h"
#include "copies/Copies.h"
#include "tabs/copies/CopiesTab.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

using namespace zampli;
using namespace zampli::teacher;
using zampli::test::whenModalShows;

namespace {

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

bool clickCopy(QTreeWidget *list, const QString &folder)
{
    const QList<QTreeWidgetItem *> rows = list->findItems(folder, Qt::MatchExactly, 1);
    if (rows.size() == 1)
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(rows[0]).center());
    return rows.size() == 1;
}

} // namespace

class TeacherCopyFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString installed_;

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        homeIn(root_.path());
        installed_ = QCoreApplication::applicationDirPath();
        QVERIFY(QFileInfo(installed_ + "/testi/a.txt").isFile());
    }

    void aCopyGoesToAFileAndComesBackAsANewCopy()
    {
        const QString first = root_.filePath("Classe 2ª B");
        const copies::CopyResult made = copies::makeCopy(installed_, first);
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
        QCOMPARE(readFile(second + "/jpg/ape.jpg"), readFile(installed_ + "/jpg/ape.jpg"));
        QCOMPARE(QFileInfo(second + "/zampli").symLinkTarget(), QFileInfo(installed_ + "/zampli").canonicalFilePath());
        QVERIFY(!tab.findChild<QTreeWidget *>("elencoCopie")->findItems(second, Qt::MatchExactly, 1).isEmpty());
    }

    void aStrangersFileIsRefusedByName()
    {
        CopiesTab tab(root_.filePath("nessuna"));
        tab.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tab));
        const QString file = root_.filePath("strano.zampli");
        writeFile(file, "not a zip at all");
        QSignalSpy opened(&tab, &CopiesTab::openCopy);
        chooseFile(file);
        nameNewCopy(root_.path(), "Strana");
        QTest::mouseClick(tab.findChild<QPushButton *>("importa"), Qt::LeftButton);
        auto *message = tab.findChild<QLabel *>("messaggio");
        QTRY_VERIFY2(message->text().contains("non è un archivio ZIP"), qPrintable(message->text()));
        QVERIFY2(message->text().contains(file), qPrintable(message->text()));
        QCOMPARE(opened.size(), 0);
        QVERIFY(!QFileInfo::exists(root_.filePath("Strana")));
    }
};

QTEST_MAIN(TeacherCopyFileTest)
#include "test_teacher_copy_file.moc"
