// SPDX-License-Identifier: GPL-3.0-or-later
// Words brought from another copy, its folder or its .zampli file: the
// ticked ones arrive with their pictures and voices byte for byte, her own
// files stay unless she asks, a word with the wrong initial is refused and
// said, one undo takes the whole import back and redo brings it again, and a
// hostile file is refused with nothing written.
#include "CopyFiles.h"
#include "MediaBytes.h"
#include "ModalWindows.h"
#include "PushButtons.h"
#include "TeacherWindow.h"
#include "copies/CopyArchive.h"
#include "history/CopyHistory.h"
#include "tabs/words/ImportWords.h"
#include "tabs/words/ImportWordsDialog.h"

#include <QtTest>
#include <QtWidgets>

#include <sys/stat.h>
#include <zip.h>

#include <functional>

using namespace zampli;
using namespace zampli::teacher;
using zampli::test::jpegOf;
using zampli::test::wavOf;
using zampli::test::whenModalShows;

namespace {

constexpr int A = 0;
constexpr int E = 1;

// Every file under `folder` with its bytes, the history's hidden folder apart.
QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString relative = QDir(folder).relativeFilePath(it.next());
        if (!relative.startsWith(CopyHistory::kAsideFolder))
            tree.insert(relative, readFile(folder + "/" + relative));
    }
    return tree;
}

QRgb centreOf(const QIcon &icon)
{
    const QImage image = icon.pixmap(48).toImage();
    return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
}

// 'r', 'g' or 'b': a JPEG's colours are near, not exact.
char strongestChannel(QRgb pixel)
{
    if (qRed(pixel) > qGreen(pixel) && qRed(pixel) > qBlue(pixel))
        return 'r';
    return qGreen(pixel) > qBlue(pixel) ? 'g' : 'b';
}

using Window = test::TeacherWindow;

// The window's menu item named `name`.
QAction *fileMenuItem(QMainWindow &window, const char *name)
{
    for (QAction *menu : window.menuBar()->actions())
        for (QAction *action : menu->menu()->actions())
            if (action->objectName() == QLatin1String(name))
                return action;
    qFatal("no menu item %s", name);
}

} // namespace

class TeacherImportWordsTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    QString theirs_; // the other copy
    QString mine_;   // the open copy
    QByteArray theirApe_ = jpegOf(qRgb(200, 0, 0));
    QByteArray albero_ = jpegOf(qRgb(0, 150, 0));
    QByteArray elefante_ = jpegOf(qRgb(0, 0, 200));

    ImportOutcome import(const QString &from, CopyHistory &history, const QList<ImportChoice> &chosen,
                         bool replace = false)
    {
        const ImportSource source = readImportSource(from, mine_);
        if (!source.problem.isEmpty())
            qFatal("%s", qPrintable(source.problem));
        return importWords(mine_, history, source, chosen, replace, {});
    }

    // Their copy as its folder, or as its file made now.
    QString source(bool fromFile)
    {
        if (!fromFile)
            return theirs_;
        const QString file = root_.filePath("marta.zampli");
        QFile::remove(file);
        if (!copies::exportCopy(theirs_, file).ok)
            qFatal("their copy's file is not made");
        return file;
    }

private slots:
    void init()
    {
        QVERIFY(root_.isValid());
        theirs_ = root_.filePath("Classe di Marta");
        mine_ = root_.filePath("La mia classe");
        QDir(theirs_).removeRecursively();
        QDir(mine_).removeRecursively();
        writeFile(theirs_ + "/testi/a.txt", "ape\nalbero\nancora\nmela\n");
        writeFile(theirs_ + "/testi/e.txt", "elefante\n");
        writeFile(theirs_ + "/jpg/ape.jpg", theirApe_);
        writeFile(theirs_ + "/voci/ape.wav", wavOf("their ape"));
        writeFile(theirs_ + "/jpg/albero.jpg", albero_);
        writeFile(theirs_ + "/voci/albero.wav", wavOf("albero"));
        writeFile(theirs_ + "/jpg/ancora.jpg", jpegOf(qRgb(90, 90, 90)));
        writeFile(theirs_ + "/voci/ancora.wav", wavOf("ancora"));
        writeFile(theirs_ + "/jpg/mela.jpg", "mela");
        writeFile(theirs_ + "/jpg/elefante.jpg", elefante_);
        writeFile(theirs_ + "/voci/elefante.wav", wavOf("elefante"));
        // Hers: Windows-1252 with CR LF, as the shipped lists are.
        writeFile(mine_ + "/testi/a.txt", "ape\r\n\xE0ncora\r\n");
        writeFile(mine_ + "/jpg/ape.jpg", "her ape");
        writeFile(mine_ + "/voci/ape.wav", "RIFF her ape");
    }

    // The ticked word arrives with its picture and voice; the others, and
    // the lists not ticked, stay behind; one ticked with the wrong initial is
    // refused and named, and the others come all the same.
    void tickedWordsCome_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("from a folder") << false;
        QTest::newRow("from a copy's file") << true;
    }
    void tickedWordsCome()
    {
        QFETCH(bool, fromFile);
        // Whole files: refused for its initial alone.
        writeFile(theirs_ + "/jpg/mela.jpg", jpegOf(qRgb(200, 30, 30)));
        writeFile(theirs_ + "/voci/mela.wav", wavOf("mela"));
        const QString from = source(fromFile);
        CopyHistory history(mine_);
        const ImportOutcome outcome = import(from, history, {{A, 3}, {A, 1}});
        QCOMPARE(outcome.imported, 1);
        QCOMPARE(outcome.refused.size(), 1);
        QVERIFY2(outcome.refused.first().startsWith("«mela»: «mela» non comincia con la A"),
                 qPrintable(outcome.refused.first()));
        QVERIFY2(outcome.summary().contains("«mela»"), qPrintable(outcome.summary()));
        QCOMPARE(readFile(mine_ + "/testi/a.txt"), QByteArray("ape\r\n\xE0ncora\r\nalbero\r\n"));
        QCOMPARE(readFile(mine_ + "/jpg/albero.jpg"), albero_);
        QCOMPARE(readFile(mine_ + "/voci/albero.wav"), wavOf("albero"));
        for (const char *left : {"/jpg/mela.jpg", "/jpg/ancora.jpg", "/voci/ancora.wav", "/testi/e.txt"})
            QVERIFY2(!QFileInfo::exists(mine_ + left), left);
        QCOMPARE(history.undoAction()->text(), QStringLiteral("Annulla: importa 1 parola"));
    }

    // A word she has keeps her files, unless she asks for theirs.
    void aWordSheHasKeepsHerFilesUntilSheAsks()
    {
        const QMap<QString, QByteArray> before = treeOf(mine_);
        CopyHistory history(mine_);
        const ImportOutcome kept = import(theirs_, history, {{A, 0}});
        QCOMPARE(kept.imported, 0);
        QCOMPARE(kept.kept, QStringList{"«ape»"});
        QCOMPARE(treeOf(mine_), before);
        QVERIFY(!history.undoAction()->isEnabled());
        QCOMPARE(import(theirs_, history, {{A, 0}}, true).imported, 1);
        QCOMPARE(readFile(mine_ + "/jpg/ape.jpg"), theirApe_);
        QCOMPARE(readFile(mine_ + "/voci/ape.wav"), wavOf("their ape"));
        QCOMPARE(readFile(mine_ + "/testi/a.txt"), QByteArray("ape\r\n\xE0ncora\r\n"));
    }

    void undoTakesTheWholeImportBackAndRedoBringsItAgain()
    {
        const QMap<QString, QByteArray> before = treeOf(mine_);
        CopyHistory history(mine_);
        int changed = 0;
        const ImportSource source = readImportSource(theirs_, mine_);
        QCOMPARE(importWords(mine_, history, source, {{A, 0}, {A, 1}, {A, 2}, {E, 0}}, true, [&] { ++changed; })
                     .imported,
                 4); // her «àncora» is another word than «ancora»
        const QMap<QString, QByteArray> after = treeOf(mine_);
        QCOMPARE(after.value("jpg/ape.jpg"), theirApe_);
        QCOMPARE(after.value("testi/e.txt"), QByteArray("elefante\r\n"));
        QCOMPARE(history.undoAction()->text(), QStringLiteral("Annulla: importa 4 parole"));

        changed = 0;
        history.undo();
        QCOMPARE(treeOf(mine_), before);
        QCOMPARE(changed, 1);
        QCOMPARE(history.redoAction()->text(), QStringLiteral("Ripeti: importa 4 parole"));
        history.redo();
        QCOMPARE(treeOf(mine_), after);
        QCOMPARE(changed, 2);
        history.undo();
        QCOMPARE(treeOf(mine_), before);
    }

    // Its picture written, its voice cannot be: the picture goes again and nothing is left to undo.
    void anImportThatFailsHalfwayLeavesNothing()
    {
        QVERIFY(QDir(mine_ + "/voci").removeRecursively());
        writeFile(mine_ + "/voci", "a file where the voices' folder should be");
        const QMap<QString, QByteArray> before = treeOf(mine_);
        CopyHistory history(mine_);
        const ImportOutcome outcome = import(theirs_, history, {{A, 1}});
        QCOMPARE(outcome.imported, 0);
        QVERIFY2(outcome.problem.contains("albero.wav"), qPrintable(outcome.problem));
        QCOMPARE(treeOf(mine_), before);
        QVERIFY(!history.undoAction()->isEnabled());
        QVERIFY(!history.redoAction()->isEnabled());
    }

    // A picture or voice the child's program would not take stops its word
    // at the import, named, whether it comes in a folder or a copy's file.
    void aWordWithAFileThatIsNotMediaIsRefused_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QString picture = "«albero»: jpg/albero.jpg non è un'immagine JPEG che ZAMPLI possa mostrare: è un "
                                "disegno SVG con dentro un'immagine (data:image/svg+xml;base64) che non è PNG né JPEG, e che il "
                                "programma non legge";
        const QString cut = "«albero»: jpg/albero.jpg non è un'immagine JPEG che ZAMPLI possa mostrare: immagine JPEG "
                            "incompleta: il file è tagliato";
        const QString voice = "«albero»: voci/albero.wav non è un suono WAV che ZAMPLI possa far sentire: non è un file WAV";
        for (const bool fromFile : {false, true}) {
            const char *from = fromFile ? "file" : "folder";
            QTest::addRow("drawing naming a descriptor, from a %s", from)
                << fromFile << "jpg/albero.jpg" << test::drawingNaming("/proc/self/fd/3") << picture;
            QTest::addRow("picture cut short, from a %s", from)
                << fromFile << "jpg/albero.jpg" << jpegOf(qRgb(0, 150, 0), 200, 150, 7).left(3000) << cut;
            QTest::addRow("garbage voice, from a %s", from) << fromFile << "voci/albero.wav"
                                                            << QByteArray(4000, '\x5A') << voice;
        }
    }

    void aWordWithAFileThatIsNotMediaIsRefused()
    {
        QFETCH(bool, fromFile);
        QFETCH(QString, entry);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        writeFile(theirs_ + "/" + entry, bytes);
        const QString from = source(fromFile);
        const QMap<QString, QByteArray> before = treeOf(mine_);
        CopyHistory history(mine_);
        const ImportOutcome outcome = import(from, history, {{A, 1}, {E, 0}});
        QCOMPARE(outcome.imported, 1);
        QCOMPARE(outcome.refused, QStringList{why});
        QCOMPARE(readFile(mine_ + "/jpg/elefante.jpg"), elefante_);
        QVERIFY(!QFileInfo::exists(mine_ + "/jpg/albero.jpg"));
        QVERIFY(!QFileInfo::exists(mine_ + "/voci/albero.wav"));
        QCOMPARE(readFile(mine_ + "/testi/a.txt"), before.value("testi/a.txt"));
    }

    void aHostileCopysFileIsRefusedAndNothingIsWritten()
    {
        const QString file = root_.filePath("ostile.zampli");
        int error = 0;
        zip_t *zip = zip_open(QFile::encodeName(file).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        QVERIFY(zip);
        for (const auto &[name, data] : {std::pair{"zampli.txt", "formato=1\n"}, std::pair{"../x", "outside"},
                                         std::pair{"testi/a.txt", "ape\n"}}) {
            zip_source_t *source = zip_source_buffer(zip, data, qstrlen(data), 0);
            QVERIFY(zip_file_add(zip, name, source, ZIP_FL_ENC_UTF_8) >= 0);
        }
        QCOMPARE(zip_close(zip), 0);
        const QMap<QString, QByteArray> before = treeOf(root_.path());

        const ImportSource source = readImportSource(file, mine_);
        QVERIFY2(source.problem.contains("«../x»"), qPrintable(source.problem));
        QVERIFY2(source.problem.contains("porterebbe fuori"), qPrintable(source.problem));
        QCOMPARE(source.lists[A].size(), 0);
        CopyHistory history(mine_);
        QCOMPARE(importWords(mine_, history, source, {{A, 0}}, true, {}).imported, 0);
        QCOMPARE(treeOf(root_.path()), before);
    }

    void theDialogMarksHerWordsAndTicksNoneAtFirst()
    {
        ImportWordsDialog dialog(readImportSource(theirs_, mine_), mine_);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *list = dialog.findChild<QTreeWidget *>("parole_a");
        QVERIFY(list);
        QCOMPARE(list->topLevelItemCount(), 4);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("ape"));
        QCOMPARE(list->topLevelItem(0)->text(2), QStringLiteral("c'è già"));
        QCOMPARE(list->topLevelItem(1)->text(2), QString());
        QCOMPARE(list->topLevelItem(3)->text(1), QStringLiteral("senza voce"));
        QCOMPARE(strongestChannel(centreOf(list->topLevelItem(0)->icon(0))), 'r'); // their red ape
        QCOMPARE(strongestChannel(centreOf(list->topLevelItem(1)->icon(0))), 'g'); // their green albero
        QCOMPARE(centreOf(list->topLevelItem(3)->icon(0)), qRgb(0xdd, 0xdd, 0xdd)); // mela has no picture
        QCOMPARE(dialog.chosen().size(), 0);
        QVERIFY(!dialog.findChild<QPushButton *>("importa")->isEnabled());
        QVERIFY(!dialog.findChild<QCheckBox *>("sostituisci")->isChecked());

        QTest::mouseClick(dialog.findChild<QPushButton *>("selezionaTutte_e"), Qt::LeftButton);
        QCOMPARE(dialog.chosen().size(), 1);
        QCOMPARE(dialog.chosen().first().list, E);
        QCOMPARE(dialog.findChild<QPushButton *>("importa")->text().remove('&'), QStringLiteral("Importa 1 parola"));
    }

    // Through the window, as she does it: the button on each words tab asks
    // where the words come from, and "Annulla" there changes nothing; File ›
    // Importa parole, a .zampli chosen, a list ticked: the tab shows the new
    // words at once.
    void theWindowImportsAndItsTabShowsTheWords()
    {
        const QString file = source(true);
        const QMap<QString, QByteArray> before = treeOf(mine_);
        Window shown(mine_);
        MainWindow &window = shown.window;
        QVERIFY(test::clickTab(window.tabs(), QStringLiteral("Parole con E")));
        QString asked;
        whenModalShows<QMessageBox>([&asked](QMessageBox *ask) {
            asked = ask->text();
            QTest::mouseClick(test::buttonSaying(ask, "Annulla"), Qt::LeftButton);
        });
        QTest::mouseClick(test::wordsTabOf(window, "E")->findChild<QToolButton *>("importaParole"), Qt::LeftButton);
        QTRY_VERIFY(asked.startsWith("Da dove prendi le parole?"));
        QCOMPARE(treeOf(mine_), before);

        whenModalShows<QMessageBox>([file](QMessageBox *ask) {
            whenModalShows<QFileDialog>([file](QFileDialog *dialog) {
                whenModalShows<ImportWordsDialog>([](ImportWordsDialog *words) {
                    QTest::mouseClick(words->findChild<QPushButton *>("selezionaTutte_e"), Qt::LeftButton);
                    QTest::mouseClick(words->findChild<QPushButton *>("importa"), Qt::LeftButton);
                });
                zampli::test::acceptFileDialog(dialog, file);
            });
            QTest::mouseClick(test::buttonSaying(ask, "Da un file"), Qt::LeftButton);
        });
        fileMenuItem(window, "importaParole")->trigger();
        QCOMPARE(test::shownWords(test::wordsTabOf(window, "E")), QStringList{"elefante"});
        QCOMPARE(readFile(mine_ + "/jpg/elefante.jpg"), elefante_);
        fileMenuItem(window, "annulla")->trigger();
        QCOMPARE(test::shownWords(test::wordsTabOf(window, "E")), QStringList());
    }
};

QTEST_MAIN(TeacherImportWordsTest)
#include "test_teacher_import_words.moc"
