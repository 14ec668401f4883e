// SPDX-License-Identifier: GPL-3.0-or-later
// Annulla and Ripeti in the teacher's window, as she uses them: Ctrl+Z,
// Ctrl+Maiusc+Z, Ctrl+Y and the Modifica menu over every kind of change, in
// her order across the tabs; a replaced file put back byte for byte; her
// typing in a text field taken back there, not in the list; a file changed
// meanwhile left alone; the kept files gone once the window closes.
#include "CheckRows.h"
#include "PipeMicrophone.h"
#include "PushButtons.h"
#include "SoundFiles.h"
// After SoundFiles.h: its own writeFile would find this one too.
#include "CopyFiles.h"
#include "TeacherWindow.h"
#include "imports/VoiceClean.h"
#include "tabs/check/CheckTab.h"
#include "tabs/sounds/SoundsTab.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>
#include <numbers>

using namespace zampli;
using namespace zampli::teacher;

namespace {

const QString kAside = QStringLiteral(".zampli-annulla");
// A picture and a voice of the word's own, before the teacher's changes.
const QByteArray kOwnJpeg = QByteArray("\xFF\xD8\xFF") + QByteArray(500, 'o');
QByteArray ownVoice() { return wavBytes(Samples(kVoiceRate / 2, 0.25f)); }

using test::readAll;

// A picture file of one colour, as the teacher might pick.
QString pictureFile(const QString &path, Qt::GlobalColor color)
{
    QImage image(120, 90, QImage::Format_RGB32);
    image.fill(color);
    if (!image.save(path, "PNG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// A sound file with a tone as long as a word between two silences, which
// the import keeps (a steady tone much longer is taken for a room's hum).
QString soundFile(const QString &path, double hertz)
{
    Samples s(kVoiceRate, 0.0f);
    for (size_t i = kVoiceRate / 4; i < size_t(kVoiceRate * 3 / 4); ++i)
        s[i] = float(0.4 * std::sin(2 * std::numbers::pi * hertz * double(i) / kVoiceRate));
    test::writeFile(path, wavBytes(s));
    return path;
}

// The teacher's answers to the file chooser and to the picture's preview.
struct Answers : FileChoice, PicturePreview {
    QString file;
    QString choose(QWidget *, const QString &) override { return file; }
    bool use(QWidget *, const QImage &, const QString &) override { return true; }
};

// The teacher's window on `folder`, shown and in front, and its parts the tests use.
struct Window : test::TeacherWindow {
    using TeacherWindow::TeacherWindow;
    WordsTab *words() { return test::wordsTabOf(window, "A"); }
    QTableView *view() { return words()->findChild<QTableView *>("elenco"); }
    QLineEdit *newWord() { return words()->findChild<QLineEdit *>("nuovaParola"); }
    QMenu *editMenu() { return window.findChild<QMenu *>("modifica"); }
    QAction *item(const char *name)
    {
        for (QAction *action : editMenu()->actions())
            if (action->objectName() == QLatin1String(name))
                return action;
        qFatal("Modifica has no %s", name);
    }
    QString undoText() { return item("annulla")->text(); }
    QString redoText() { return item("ripeti")->text(); }

    void select(int row)
    {
        QVERIFY(test::clickTab(window.tabs(), QStringLiteral("Parole con A")));
        const QModelIndex index = view()->model()->index(row, 2);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
    }
    // F2 on the row, the word typed over, Enter.
    void rename(int row, const QString &word)
    {
        select(row);
        press(Qt::Key_F2, Qt::NoModifier);
        press(Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), word);
        press(Qt::Key_Return, Qt::NoModifier);
    }
    void add(const QString &word)
    {
        QVERIFY(test::clickTab(window.tabs(), QStringLiteral("Parole con A")));
        QTest::mouseClick(newWord(), Qt::LeftButton);
        QTest::keyClicks(newWord(), word);
        QTest::keyClick(newWord(), Qt::Key_Return);
    }
    // Keys pressed where the focus is, as on the keyboard.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, key, modifiers);
    }
    void undoByKeys() { press(Qt::Key_Z, Qt::ControlModifier); }
    void undoInList()
    {
        view()->setFocus();
        undoByKeys();
    }
    void redoByKeys() { press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier); }
    // Modifica opened with the mouse, then its item clicked.
    void choose(const char *name)
    {
        QMenuBar *bar = window.menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(editMenu()->menuAction()).center());
        if (!QTest::qWaitFor([this] { return editMenu()->isVisible(); }))
            qFatal("Modifica does not open");
        QTest::mouseClick(editMenu(), Qt::LeftButton, {}, editMenu()->actionGeometry(item(name)).center());
        if (!QTest::qWaitFor([this] { return !editMenu()->isVisible(); }))
            qFatal("Modifica does not close");
    }
    // The warning the window shows, its text; empty when there is none.
    QString warning()
    {
        auto *box = window.findChild<QMessageBox *>("nonAnnullato");
        if (!box || !QTest::qWaitFor([box] { return box->isVisible(); }))
            return {};
        const QString text = box->text();
        box->accept();
        return text;
    }
};

} // namespace

class TeacherUndoTest : public QObject {
    Q_OBJECT

    // Every file kept aside in the copy, whichever window keeps it; locks aside.
    QStringList keptFiles() const
    {
        QStringList out;
        QDirIterator it(copy() + "/" + kAside, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            if (const QString path = it.next(); !path.endsWith(".lock"))
                out << path;
        return out;
    }
    // The lock a window that crashed leaves: Qt's own format, naming a process that has ended.
    static void writeDeadLock(const QString &path)
    {
        QProcess ended;
        ended.start("true", {});
        QVERIFY(ended.waitForStarted());
        const qint64 pid = ended.processId();
        QVERIFY(ended.waitForFinished());
        QByteArray bytes;
        {
            QLockFile ours(path);
            QVERIFY(ours.tryLock(0));
            QFile written(path);
            QVERIFY(written.open(QIODevice::ReadOnly));
            bytes = written.readAll();
        }
        bytes = QByteArray::number(pid) + bytes.mid(bytes.indexOf('\n'));
        writeFile(path, bytes);
    }

    // Ctrl+I on the first word, a picture of `color` chosen.
    void importPicture(Window &w, const char *file, Qt::GlobalColor color)
    {
        w.select(0);
        answers_.file = pictureFile(dir_.filePath(file), color);
        w.press(Qt::Key_I, Qt::ControlModifier);
    }

    QTemporaryDir dir_;
    Answers answers_;
    test::PulseServer server_{dir_.path()};
    QString serverFailure_;
    QString microphone_ = dir_.filePath(QStringLiteral("microfono"));
    QString copy() const { return dir_.filePath("copia"); }
    QString list() const { return dir_.filePath("copia/testi/a.txt"); }
    QString picture() const { return dir_.filePath("copia/jpg/ape.jpg"); }
    QString voice() const { return dir_.filePath("copia/voci/ape.wav"); }

private slots:
    void initTestCase()
    {
        setFileChoice(&answers_);
        setPicturePreview(&answers_);
        // A private sound server whose microphone is a pipe the test speaks into.
        serverFailure_ = test::startPipeMicrophone(server_, microphone_);
    }
    void cleanupTestCase()
    {
        setFileChoice(nullptr);
        setPicturePreview(nullptr);
    }
    void init()
    {
        QDir(copy()).removeRecursively();
        writeFile(list(), "ape\r\nago\r\nala\r\n");
    }

    // Each change of a list: done, taken back and done again by the keys and
    // by the menu, whose items name it. A word added by Enter is taken out by
    // Ctrl+Z right there, the field left empty.
    void wordChangesGoBackAndForth_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("named");
        QTest::newRow("add") << "add" << QByteArray("ape\r\nago\r\nala\r\nape regina\r\n")
                             << QStringLiteral("aggiungi «ape regina»");
        QTest::newRow("remove") << "remove" << QByteArray("ape\r\nala\r\n") << QStringLiteral("togli «ago»");
        QTest::newRow("rename") << "rename" << QByteArray("apina\r\nago\r\nala\r\n")
                                << QStringLiteral("rinomina «ape» in «apina»");
        QTest::newRow("move") << "move" << QByteArray("ago\r\nape\r\nala\r\n") << QStringLiteral("sposta «ape»");
    }
    void wordChangesGoBackAndForth()
    {
        QFETCH(QString, change);
        QFETCH(QByteArray, after);
        QFETCH(QString, named);
        const QByteArray before = readAll(list());
        Window w(copy());
        QCOMPARE(w.undoText(), QStringLiteral("Annulla"));
        QVERIFY(!w.item("annulla")->isEnabled());
        if (change == "add") {
            w.add(QStringLiteral("ape regina"));
        } else if (change == "remove") {
            w.select(1);
            w.press(Qt::Key_Delete, Qt::NoModifier);
        } else if (change == "rename") {
            w.rename(0, QStringLiteral("apina"));
        } else {
            w.select(0);
            w.press(Qt::Key_Down, Qt::ControlModifier);
        }
        // The editor of a rename hands its word over once the key has been handled.
        QTRY_COMPARE(readAll(list()), after);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: ") + named);

        if (change == "add") { // Enter leaves the focus in the emptied field: Ctrl+Z there acts on the list
            QCOMPARE(QApplication::focusWidget(), w.newWord());
            QCOMPARE(w.newWord()->text(), QString());
            w.undoByKeys();
        } else {
            w.undoInList();
        }
        QCOMPARE(readAll(list()), before);
        QCOMPARE(w.redoText(), QStringLiteral("Ripeti: ") + named);
        QCOMPARE(test::shownWords(w.words()), QStringList({"ape", "ago", "ala"}));
        QCOMPARE(w.newWord()->text(), QString());
        w.redoByKeys();
        QCOMPARE(readAll(list()), after);
        QCOMPARE(w.newWord()->text(), QString());
        w.choose("annulla");
        QCOMPARE(readAll(list()), before);
        w.choose("ripeti");
        QCOMPARE(readAll(list()), after);
        w.undoByKeys();
        w.press(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(readAll(list()), after);
    }

    // A word renamed takes its picture and its voice along; taking the
    // rename back brings them home.
    void renameTakenBackBringsTheMediaBack()
    {
        const QByteArray jpeg = QByteArray("\xFF\xD8\xFF\xE0") + QByteArray(300, 'j');
        const QByteArray wav = wavBytes(Samples(kVoiceRate / 2, 0.25f));
        writeFile(picture(), jpeg);
        writeFile(voice(), wav);
        Window w(copy());
        w.rename(0, QStringLiteral("apina"));
        QTRY_COMPARE(readAll(copy() + "/jpg/apina.jpg"), jpeg);
        QCOMPARE(readAll(copy() + "/voci/apina.wav"), wav);
        QVERIFY(!QFile::exists(voice()));
        w.undoInList();
        QCOMPARE(readAll(picture()), jpeg);
        QCOMPARE(readAll(voice()), wav);
        QVERIFY(!QFile::exists(copy() + "/jpg/apina.jpg"));
        QVERIFY(!QFile::exists(copy() + "/voci/apina.wav"));
    }

    // A picture imported, chosen again (no byte changed: nothing new to take
    // back), then replaced: two undos give back the first picture byte for
    // byte, then no picture; two redos the same way back.
    void replacedPictureComesBackByteForByte()
    {
        QFile::remove(picture());
        Window w(copy());
        importPicture(w, "rossa.png", Qt::red);
        const QByteArray first = readAll(picture());
        QCOMPARE(first.left(3), QByteArray("\xFF\xD8\xFF"));
        w.press(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(readAll(picture()), first);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: aggiungi l'immagine di «ape»"));

        answers_.file = pictureFile(dir_.filePath("blu.png"), Qt::blue);
        w.press(Qt::Key_I, Qt::ControlModifier);
        const QByteArray second = readAll(picture());
        QVERIFY(second != first);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: sostituisci l'immagine di «ape»"));

        w.undoByKeys();
        QCOMPARE(readAll(picture()), first);
        QCOMPARE(w.redoText(), QStringLiteral("Ripeti: sostituisci l'immagine di «ape»"));
        w.choose("annulla");
        QVERIFY(!QFile::exists(picture()));
        QCOMPARE(w.view()->model()->index(0, 4).data().toString(), QStringLiteral("mancano l'immagine e la voce"));
        w.redoByKeys();
        QCOMPARE(readAll(picture()), first);
        w.choose("ripeti");
        QCOMPARE(readAll(picture()), second);
    }

    // A voice imported over another, then removed: each step taken back in turn.
    void voiceImportedAndRemovedComeBack()
    {
        const QByteArray own = ownVoice();
        writeFile(voice(), own);
        Window w(copy());
        w.select(0);
        answers_.file = soundFile(dir_.filePath("voce.wav"), 300);
        w.press(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        const QByteArray imported = readAll(voice());
        QCOMPARE(imported.left(4), QByteArray("RIFF"));
        QVERIFY(imported != own);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: sostituisci la voce di «ape»"));

        QTest::mouseClick(w.words()->findChild<QToolButton *>("togliVoce"), Qt::LeftButton);
        QVERIFY(!QFile::exists(voice()));
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: togli la voce di «ape»"));

        w.undoInList();
        QCOMPARE(readAll(voice()), imported);
        w.undoByKeys();
        QCOMPARE(readAll(voice()), own);
        QCOMPARE(w.redoText(), QStringLiteral("Ripeti: sostituisci la voce di «ape»"));
    }

    // A voice recorded over the word's own through the dialog (Ctrl+R, Registra,
    // Ferma, Salva) is taken back like an imported one.
    void recordedVoiceIsTakenBack()
    {
        if (!serverFailure_.isEmpty())
            QSKIP(qPrintable(serverFailure_));
        const QByteArray own = ownVoice();
        writeFile(voice(), own);
        Window w(copy());
        w.recorder.probe();
        QVERIFY2(QTest::qWaitFor([&] { return w.recorder.usable(); }, 10000), qPrintable(w.recorder.reason()));
        w.select(0);
        w.press(Qt::Key_R, Qt::ControlModifier);
        QDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = w.window.findChild<QDialog *>("registra")) && dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowActive(dialog));
        QVERIFY(test::sayInto(dialog, w.recorder, microphone_, test::quietTake()));
        QTRY_VERIFY(test::buttonSaying(dialog, "Salva")->isEnabled());
        QTest::mouseClick(test::buttonSaying(dialog, "Salva"), Qt::LeftButton);
        QCOMPARE(readAll(voice()).left(4), QByteArray("RIFF"));
        QVERIFY(readAll(voice()) != own);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: sostituisci la voce di «ape»"));

        QTRY_VERIFY(!dialog->isVisible());
        w.window.activateWindow(); // the offscreen platform gives the focus back to no window
        QVERIFY(QTest::qWaitForWindowActive(&w.window));
        w.undoInList();
        QCOMPARE(readAll(voice()), own);
    }

    // One history for all tabs: a word added, then a sound replaced in
    // another tab; the first Ctrl+Z takes back the sound, the second the word.
    void soundsAndWordsShareOneHistory()
    {
        const QByteArray praise = wavBytes(Samples(kVoiceRate / 2, 0.1f));
        writeFile(copy() + "/suoni/si1.wav", praise);
        Window w(copy());
        w.add(QStringLiteral("arancia"));
        const QByteArray withWord = readAll(list());

        QVERIFY(test::clickTab(w.window.tabs(), QStringLiteral("Vocali e suoni")));
        auto *sounds = w.window.findChild<SoundsTab *>("suoni");
        auto *table = sounds->findChild<QTableWidget *>("elencoSuoni");
        QCOMPARE(table->item(5, 0)->text(), QStringLiteral("Lode 1 (si1)"));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(table->model()->index(5, 0)).center());
        answers_.file = soundFile(dir_.filePath("brava.wav"), 440);
        w.press(Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(readAll(copy() + "/suoni/si1.wav") != praise);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: sostituisci il suono «Lode 1 (si1)»"));

        w.undoByKeys();
        QCOMPARE(readAll(copy() + "/suoni/si1.wav"), praise);
        QCOMPARE(readAll(list()), withWord);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: aggiungi «arancia»"));
        w.undoByKeys();
        QCOMPARE(readAll(list()), QByteArray("ape\r\nago\r\nala\r\n"));
    }

    // In the new word's field the keys act on her typing first; with no
    // typing left to take back or do again, on the list.
    void typingIsTakenBackInTheFieldThenTheList()
    {
        const QByteArray original = readAll(list());
        const QByteArray moved("ago\r\nape\r\nala\r\n");
        Window w(copy());
        w.select(0);
        w.press(Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(readAll(list()), moved);
        w.undoByKeys();
        QCOMPARE(readAll(list()), original);

        QTest::mouseClick(w.newWord(), Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), w.newWord());
        QTest::keyClicks(w.newWord(), QStringLiteral("amo"));
        w.undoByKeys();
        QCOMPARE(w.newWord()->text(), QString());
        QCOMPARE(readAll(list()), original);
        w.redoByKeys();
        QCOMPARE(w.newWord()->text(), QStringLiteral("amo"));
        QCOMPARE(readAll(list()), original);
        w.redoByKeys(); // the typing is all back: the list's move is done again
        QCOMPARE(readAll(list()), moved);
        QCOMPARE(w.newWord()->text(), QStringLiteral("amo"));
        w.undoByKeys();
        QCOMPARE(w.newWord()->text(), QString());
        QCOMPARE(readAll(list()), moved);
        w.undoByKeys();
        QCOMPARE(readAll(list()), original);
        QCOMPARE(QApplication::focusWidget(), w.newWord());
    }

    // A fix made from Controllo is a change like the others: a damaged
    // picture replaced there comes back with Ctrl+Z, byte for byte.
    void fixFromTheCheckIsTakenBack()
    {
        const QByteArray damaged = QByteArray("\xFF\xD8\xFF") + QByteArray(40, 'x');
        writeFile(picture(), damaged);
        Window w(copy());
        QVERIFY(test::clickTab(w.window.tabs(), QStringLiteral("Controllo")));
        auto *check = w.window.findChild<CheckTab *>("controllo");
        QTRY_COMPARE(test::checkRow(*check, "jpg/ape.jpg").fixes, QStringList{QStringLiteral("Importa un'immagine…")});
        QPushButton *importHere = test::checkRow(*check, "jpg/ape.jpg").buttons.first();
        QVERIFY(test::reachable(importHere));
        answers_.file = pictureFile(dir_.filePath("viola.png"), Qt::magenta);
        QTest::mouseClick(importHere, Qt::LeftButton);
        QCOMPARE(readAll(picture()).left(3), QByteArray("\xFF\xD8\xFF"));
        QVERIFY(readAll(picture()) != damaged);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: sostituisci jpg/ape.jpg"));

        w.choose("annulla");
        QCOMPARE(readAll(picture()), damaged);
    }

    // A picture changed by another program after the teacher's change: the
    // undo leaves it alone, says so naming the file, and the change leaves
    // the history; the one before it can still be taken back.
    void fileChangedMeanwhileIsLeftAlone()
    {
        Window w(copy());
        w.add(QStringLiteral("arancia"));
        importPicture(w, "verde.png", Qt::green);
        const QByteArray other("\xFF\xD8\xFF other program");
        writeFile(picture(), other);

        w.undoInList();
        const QString said = w.warning();
        QVERIFY2(said.contains(QStringLiteral("jpg/ape.jpg")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("non si può più annullare")), qPrintable(said));
        QCOMPARE(readAll(picture()), other);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: aggiungi «arancia»"));
        QVERIFY(!w.item("ripeti")->isEnabled());
        w.undoInList();
        QCOMPARE(readAll(list()), QByteArray("ape\r\nago\r\nala\r\n"));
    }

    // An undo the disk refuses (the folder of kept files cannot take the
    // picture) changes nothing and can be tried again once the cause is gone.
    void refusedUndoCanBeTriedAgain()
    {
        QFile::remove(picture());
        Window w(copy());
        importPicture(w, "gialla.png", Qt::yellow);
        const QByteArray added = readAll(picture());
        const QString aside = copy() + "/" + kAside;
        QVERIFY(QDir(aside).removeRecursively());
        writeFile(aside, "a file where the folder should be");

        w.undoInList();
        const QString said = w.warning();
        QVERIFY2(said.startsWith(QStringLiteral("jpg/ape.jpg non è stato rimesso com'era")), qPrintable(said));
        QCOMPARE(readAll(picture()), added);
        QCOMPARE(w.undoText(), QStringLiteral("Annulla: aggiungi l'immagine di «ape»"));
        QVERIFY(!w.item("ripeti")->isEnabled());

        QVERIFY(QFile::remove(aside));
        w.undoInList();
        QVERIFY(!QFile::exists(picture()));
        w.redoByKeys();
        QCOMPARE(readAll(picture()), added);
    }

    // An undo the disk refuses halfway (the picture in place went aside, the
    // kept one cannot come back) puts the picture in place back where it was,
    // so that closing the window, which empties the folder of kept files,
    // loses nothing.
    void halfDoneUndoPutsThePictureBack()
    {
        writeFile(picture(), kOwnJpeg);
        Window w(copy());
        importPicture(w, "viola.png", Qt::magenta);
        const QByteArray current = readAll(picture());
        const QStringList kept = keptFiles();
        QCOMPARE(kept.size(), 1);
        // An immutable file cannot be renamed, even by root; the folder around it still takes files.
        if (QProcess::execute("chattr", {"+i", kept.first()}) != 0)
            QSKIP("chattr +i is refused here (it needs CAP_LINUX_IMMUTABLE on ext4, xfs or btrfs)");
        const auto unstick = [&kept] { QProcess::execute("chattr", {"-i", kept.first()}); };
        auto stuck = qScopeGuard(unstick);

        w.undoInList();
        const QString said = w.warning();
        QVERIFY2(said.startsWith(QStringLiteral("jpg/ape.jpg non è stato rimesso com'era")), qPrintable(said));
        QCOMPARE(readAll(picture()), current);
        unstick();
        stuck.dismiss();
        QVERIFY(w.window.close());
        QCOMPARE(readAll(picture()), current);
    }

    // Another window on the copy (another account's, or one on another
    // computer) keeps its own files aside: opening it leaves this window's
    // Annulla whole. Files a window gone left behind are removed, and this
    // window's own go when it closes.
    void eachWindowKeepsItsOwnFilesAside()
    {
        const QByteArray own = kOwnJpeg;
        writeFile(picture(), own);
        const QString gone = copy() + "/" + kAside + "/4242-0badf00d";
        writeFile(gone + "/1-ape.jpg", "kept by a window that crashed");
        writeDeadLock(gone + ".lock");

        Window first(copy());
        QVERIFY(!QFileInfo::exists(gone));
        QVERIFY(!QFileInfo::exists(gone + ".lock"));
        importPicture(first, "arancio.png", Qt::darkYellow);
        QCOMPARE(keptFiles().size(), 1);
        QCOMPARE(readAll(keptFiles().first()), own);

        {
            // Another account: a runtime folder, so a single-instance lock, of its own.
            QTemporaryDir otherRuntime;
            const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
            qputenv("XDG_RUNTIME_DIR", otherRuntime.path().toLocal8Bit());
            Window second(copy());
            if (runtime.isNull())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", runtime);
            QCOMPARE(second.window.folder(), QDir(copy()).absolutePath());
            QCOMPARE(keptFiles().size(), 1);
        }
        QCOMPARE(keptFiles().size(), 1); // the second window took only its own

        first.window.activateWindow(); // she goes back to the first window
        QVERIFY(QTest::qWaitForWindowActive(&first.window));
        first.undoInList();
        QCOMPARE(first.warning(), QString());
        QCOMPARE(readAll(picture()), own);
        QVERIFY(first.window.close());
        QVERIFY(!QFileInfo::exists(copy() + "/" + kAside));
        QCOMPARE(QDir(copy()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"jpg", "testi"}));
    }
};

QTEST_MAIN(TeacherUndoTest)
#include "test_teacher_undo.moc"
