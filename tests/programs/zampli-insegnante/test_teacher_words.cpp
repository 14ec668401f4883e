// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's word lists through the real tab, checked on disk with the
// child's own reader: encodings and line ends kept where the words fit, a
// mixed list saved clean, a list changed by another writer meanwhile,
// refusals, undo, a full disk that leaves the old
// list whole, long lists saved whole or never, and the voices' buttons.
#include "CopyFiles.h"
#include "FakeServices.h"
#include "ModalWindows.h"
#include "PushButtons.h"
#include "TeacherWindow.h"
#include "core/WordListDocument.h"
#include "imports/VoiceClean.h"
#include "wordlist/WordList.h"

#include <QtTest>
#include <QtWidgets>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace zampli;
using namespace zampli::teacher;

namespace {

// Typed key by key as a keyboard with accented keys sends them.
void type(QWidget *w, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A tab over `folder`, as the teacher's window makes it.
struct Tab : test::FakeServices {
    explicit Tab(const QString &folder) : tab(services, folder, QStringLiteral("a"))
    {
        tab.resize(900, 600);
        tab.show();
        if (!QTest::qWaitForWindowExposed(&tab))
            qFatal("the tab is not shown");
    }
    QLineEdit *newWord() { return tab.findChild<QLineEdit *>("nuovaParola"); }
    QTableView *view() { return tab.findChild<QTableView *>("elenco"); }
    QString message() { return tab.findChild<QLabel *>("messaggio")->text(); }
    void add(const QString &word)
    {
        newWord()->setFocus();
        type(newWord(), word);
        QTest::keyClick(newWord(), Qt::Key_Return);
    }
    void select(int row)
    {
        const QModelIndex index = view()->model()->index(row, 2);
        QTest::mouseClick(view()->viewport(), Qt::LeftButton, {}, view()->visualRect(index).center());
    }
    void rename(int row, const QString &word)
    {
        select(row);
        QTest::keyClick(view(), Qt::Key_F2);
        QPointer<QWidget> editor = QApplication::focusWidget();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        type(editor, word);
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits the word once back in the event loop.
        if (editor != view()) // no editor opens on a read-only list
            QTRY_VERIFY(!editor || !editor->isVisible());
    }
    void remove(int row)
    {
        select(row);
        QTest::keyClick(view(), Qt::Key_Delete);
    }
    // A click where the row's "Ascolta" shows, sent to whatever widget is there.
    void clickListen(int row)
    {
        QPoint at = view()->visualRect(view()->model()->index(row, 3)).center();
        QWidget *under = view()->viewport()->childAt(at);
        if (under)
            at = under->mapFrom(view()->viewport(), at);
        QTest::mouseClick(under ? under : view()->viewport(), Qt::LeftButton, {}, at);
    }
    // The row's "Ascolta" reached from its word with the arrow keys, then `key`.
    void keyListen(int row, Qt::Key key)
    {
        select(row);
        QTest::keyClick(view(), Qt::Key_Right);
        QTest::keyClick(view(), key);
    }
    QString notice() { return tab.findChild<QLabel *>("avviso")->text(); }
    void moveDown(int row)
    {
        select(row);
        QTest::keyClick(view(), Qt::Key_Down, Qt::ControlModifier);
    }
    QStringList shown() { return test::shownWords(&tab); }

    WordsTab tab;
};

} // namespace

// The list as another writer saved it: UTF-8 without a mark, LF.
constexpr char kTheirs[] = "\xC3\xA0ncora\narco\n\xC3\xA0lbero\n";

class TeacherWordsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString list() const { return dir_.filePath("testi/a.txt"); }

private slots:
    void init() { QDir(dir_.path()).removeRecursively(); }

    void editsRoundTripThroughTheChildsReader_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QByteArray>("withCircumflex"); // a word Windows-1252 has no place for
        // Added "aprì", "àncora" renamed "àncore", "ape" removed.
        QTest::newRow("Windows-1252, CR LF")
            << QByteArray("ape\r\n\xE0ncora\r\ncaff\xE8\r\n") << QByteArray("\xE0ncore\r\ncaff\xE8\r\napr\xEC\r\n")
            << QByteArray("\xEF\xBB\xBF\xC3\xA0ncore\r\ncaff\xC3\xA8\r\napr\xC3\xAC\r\n\xC4\x81" "la\r\n");
        QTest::newRow("UTF-8 with a mark, LF")
            << QByteArray("\xEF\xBB\xBF" "ape\n\xC3\xA0ncora\ncaff\xC3\xA8\n")
            << QByteArray("\xEF\xBB\xBF\xC3\xA0ncore\ncaff\xC3\xA8\napr\xC3\xAC\n")
            << QByteArray("\xEF\xBB\xBF\xC3\xA0ncore\ncaff\xC3\xA8\napr\xC3\xAC\n\xC4\x81" "la\n");
        // Windows-1252 with a UTF-8 line appended by a Linux editor: saved clean in Windows-1252.
        QTest::newRow("mixed")
            << QByteArray("ape\r\n\xE0ncora\r\ncaff\xC3\xA8\r\n") << QByteArray("\xE0ncore\r\ncaff\xE8\r\napr\xEC\r\n")
            << QByteArray("\xEF\xBB\xBF\xC3\xA0ncore\r\ncaff\xC3\xA8\r\napr\xC3\xAC\r\n\xC4\x81" "la\r\n");
    }

    void editsRoundTripThroughTheChildsReader()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QFETCH(QByteArray, withCircumflex);
        writeFile(list(), before);
        Tab t(dir_.path());
        QCOMPARE(t.view()->model()->rowCount(), 3);
        QCOMPARE(t.view()->model()->index(1, 2).data().toString(), QStringLiteral("àncora"));

        t.add(QStringLiteral("aprì"));
        t.rename(1, QStringLiteral("àncore"));
        t.remove(0);
        QCOMPARE(readWordList(readFile(list())).words,
                 (QStringList{QStringLiteral("àncore"), QStringLiteral("caffè"), QStringLiteral("aprì")}));
        QCOMPARE(readFile(list()), after);

        t.add(QStringLiteral("āla"));
        QCOMPARE(readFile(list()), withCircumflex);
        QCOMPARE(readWordList(readFile(list())).words.last(), QStringLiteral("āla"));
        // Taking the word back goes back to the list's own encoding.
        QTest::keyClick(t.view(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(readFile(list()), after);
    }

    // A word added at the end of a list longer than the view is scrolled
    // into view with its whole row; the words past the 50 the program uses are marked.
    void anAddedWordIsShownWholeAndPastFiftyMarked()
    {
        QByteArray many;
        for (int i = 1; i <= 52; ++i)
            many += "albero" + QByteArray::number(i) + "\r\n";
        writeFile(list(), many);
        Tab t(dir_.path());
        QCOMPARE(t.view()->model()->rowCount(), 52);
        QCOMPARE(t.view()->model()->index(49, 4).data().toString(), QStringLiteral("mancano l'immagine e la voce"));
        QCOMPARE(t.view()->model()->index(50, 4).data().toString(), QStringLiteral("oltre le 50 che il programma usa"));
        QVERIFY(!t.view()->viewport()->rect().contains(t.view()->visualRect(t.view()->model()->index(51, 2))));
        t.add(QStringLiteral("azzurro"));
        QCOMPARE(t.view()->model()->rowCount(), 53);
        const QModelIndex added = t.view()->model()->index(52, 2);
        QCOMPARE(added.data().toString(), QStringLiteral("azzurro"));
        QTRY_VERIFY(t.view()->viewport()->rect().contains(t.view()->visualRect(added)));
    }

    void refusedWordLeavesTheListAsItWas_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("reason"); // a piece of the message
        QTest::newRow("slash") << "sotto/uva" << "/";
        QTest::newRow("leading dot") << ".ape" << "punto";
        QTest::newRow("blank") << "   " << "vuota";
        QTest::newRow("tab") << "a\tb" << "invisibile";
        QTest::newRow("comma") << "ape,uva" << "virgola";
        QTest::newRow("already there") << "APE" << "c'è già";
        QTest::newRow("another initial") << "et"
            << "«et» non comincia con la A: nell'elenco della A vanno solo parole che cominciano con la A.";
        QTest::newRow("a consonant") << "bruco" << "«bruco» non comincia con la A";
        QTest::newRow("article") << "l'albero" << "scrivi albero, senza l'articolo";
        QTest::newRow("article with its noun") << "un'ape" << "scrivi ape, senza l'articolo";
        QTest::newRow("preposition and article") << "dell’acqua" << "scrivi acqua, senza l'articolo";
    }

    void refusedWordLeavesTheListAsItWas()
    {
        QFETCH(QString, typed);
        QFETCH(QString, reason);
        const QByteArray before("ape\r\nuva\r\n");
        writeFile(list(), before);
        Tab t(dir_.path());
        t.newWord()->setFocus();
        t.newWord()->insert(typed); // a tab cannot be typed into a line edit, only pasted
        QTest::keyClick(t.newWord(), Qt::Key_Return);
        QVERIFY2(t.message().contains(reason), qPrintable(t.message()));
        QCOMPARE(readFile(list()), before);
        QCOMPARE(t.view()->model()->rowCount(), 2);
    }

    // Another writer (an editor on another account) saves the list between
    // two of the teacher's changes, in UTF-8 with LF where the list had
    // Windows-1252 with CR LF: her second change goes on top of theirs, in
    // their encoding and line ends, and she is told the list was read again.
    void changeElsewhereBetweenTwoEdits_data()
    {
        QTest::addColumn<QString>("edit"); // what she does second, on the list as she last saw it
        QTest::addColumn<QByteArray>("after");
        QTest::addColumn<QString>("said");
        // Theirs: "ape" removed, "àlbero" added.
        QTest::newRow("add") << "add aquila" << QByteArray("\xC3\xA0ncora\narco\n\xC3\xA0lbero\naquila\n")
                             << "«aquila» aggiunta";
        QTest::newRow("add a word they added") << "add àlbero" << QByteArray(kTheirs) << "c'è già";
        QTest::newRow("remove") << "remove 2" << QByteArray("\xC3\xA0ncora\n\xC3\xA0lbero\n") << "«arco» tolta";
        QTest::newRow("remove a word they removed") << "remove 0" << QByteArray(kTheirs) << "già stata tolta";
        QTest::newRow("rename") << "rename 2 arcobaleno"
                                << QByteArray("\xC3\xA0ncora\narcobaleno\n\xC3\xA0lbero\n") << "ora si chiama";
        QTest::newRow("rename a word they removed") << "rename 0 apetta" << QByteArray(kTheirs) << "premi Aggiungi";
        QTest::newRow("move") << "down 2" << QByteArray("\xC3\xA0ncora\n\xC3\xA0lbero\narco\n") << "spostata";
    }
    void changeElsewhereBetweenTwoEdits()
    {
        QFETCH(QString, edit);
        QFETCH(QByteArray, after);
        QFETCH(QString, said);
        writeFile(list(), "ape\r\n\xE0ncora\r\n");
        Tab t(dir_.path());
        t.add(QStringLiteral("arco"));
        QCOMPARE(readFile(list()), QByteArray("ape\r\n\xE0ncora\r\narco\r\n"));
        writeFile(list(), kTheirs);

        const QStringList how = edit.split(u' ');
        if (how[0] == "add")
            t.add(how[1]);
        else if (how[0] == "remove")
            t.remove(how[1].toInt());
        else if (how[0] == "rename")
            t.rename(how[1].toInt(), how[2]);
        else
            t.moveDown(how[1].toInt());
        QCOMPARE(readFile(list()), after);
        QTRY_COMPARE(t.shown(), readWordList(after).words);
        QVERIFY2(t.notice().startsWith(QStringLiteral("a.txt è stato cambiato fuori da ZAMPLI: ho ricaricato l'elenco "
                                                      "(1 parola nuova: «àlbero»; 1 parola tolta: «ape»).")),
                 qPrintable(t.notice()));
        QVERIFY2(t.message().contains(said), qPrintable(t.message()));
    }

    // The list moved away while the tab is open: named as gone, its words
    // kept in view, and written again only when she says so.
    void aListMovedAwayIsNamedAsGone()
    {
        writeFile(list(), "ape\r\nago\r\nala\r\n");
        Tab t(dir_.path());
        QVERIFY(QFile::rename(list(), dir_.filePath("altrove.txt")));
        QString asked;
        const auto answer = [&asked](const QString &button) {
            test::whenModalShows<QMessageBox>([&asked, button](QMessageBox *box) {
                asked = box->text();
                QTest::mouseClick(test::buttonSaying(box, button), Qt::LeftButton);
            }, QStringLiteral("elencoSparito"));
        };
        answer(QStringLiteral("Annulla"));
        t.add(QStringLiteral("aquila"));
        QTRY_VERIFY(!asked.isEmpty());
        QVERIFY2(asked.startsWith(QStringLiteral("a.txt non c'è più: è stato spostato o cancellato fuori da ZAMPLI.")),
                 qPrintable(asked));
        QVERIFY2(asked.contains(QStringLiteral("(3 parole)")), qPrintable(asked));
        QVERIFY(!QFileInfo::exists(list()));
        QCOMPARE(t.shown(), (QStringList{"ape", "ago", "ala"}));
        QVERIFY2(t.notice().startsWith(QStringLiteral("a.txt non c'è più: è stato spostato o cancellato fuori da "
                                                      "ZAMPLI. Le parole che vedi qui restano come erano")),
                 qPrintable(t.notice()));
        QVERIFY2(t.message().startsWith(QStringLiteral("Non ho scritto a.txt")), qPrintable(t.message()));

        asked.clear();
        answer(QStringLiteral("Scrivi di nuovo a.txt"));
        QTest::keyClick(t.newWord(), Qt::Key_Return); // "aquila" is still there, as she typed it
        QTRY_VERIFY(!asked.isEmpty());
        QCOMPARE(readFile(list()), QByteArray("ape\r\nago\r\nala\r\naquila\r\n"));
        QCOMPARE(t.shown(), (QStringList{"ape", "ago", "ala", "aquila"}));
        QVERIFY2(!t.notice().contains(QStringLiteral("non c'è più")), qPrintable(t.notice()));
    }

    // The same change made while the window was in the back: shown as soon
    // as it comes to the front, before she touches anything.
    void changeElsewhereShownWhenTheWindowComesBack()
    {
        writeFile(list(), "ape\r\n\xE0ncora\r\narco\r\n");
        Tab t(dir_.path());
        QVERIFY(QTest::qWaitForWindowActive(&t.tab));
        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        writeFile(list(), kTheirs);
        QCOMPARE(t.shown(), (QStringList{"ape", QStringLiteral("àncora"), "arco"}));

        t.tab.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&t.tab));
        QCOMPARE(t.shown(), readWordList(kTheirs).words);
        QVERIFY2(t.notice().contains(QStringLiteral("a.txt è stato cambiato fuori da ZAMPLI")), qPrintable(t.notice()));
        t.add(QStringLiteral("aquila"));
        QCOMPARE(readFile(list()), QByteArray("\xC3\xA0ncora\narco\n\xC3\xA0lbero\naquila\n"));
    }

    // Past the 1 MB the child's program reads, the list is the teacher's all
    // the same: a word added to 4,400 long lines saves all 4,401.
    void longListIsSavedWhole()
    {
        QByteArray before;
        for (int i = 0; i < 4400; ++i)
            before += "albero" + QByteArray::number(i).rightJustified(4, '0') + QByteArray(240, 'x') + "\r\n";
        QCOMPARE(before.size(), 1108800);
        writeFile(list(), before);
        Tab t(dir_.path());
        QCOMPARE(t.view()->model()->rowCount(), 4400);

        t.add(QStringLiteral("aquilone"));
        const QByteArray after = readFile(list());
        const QList<QByteArray> lines = after.split('\n');
        QCOMPARE(lines.size(), 4402); // the last line end leaves an empty piece
        QCOMPARE(lines.at(4399), "albero4399" + QByteArray(240, 'x') + "\r");
        QCOMPARE(lines.at(4400), QByteArray("aquilone\r"));
        QCOMPARE(after, before + "aquilone\r\n");
    }

    // A list too large to show is not read, and no way the tab offers to
    // change a list touches it: add, rename, remove, move, undo.
    void listPastTheLimitIsNeverWritten()
    {
        QByteArray before;
        for (int i = 0; before.size() <= OpenedWordList::kEditableBytes; ++i)
            before += "albero" + QByteArray::number(i) + QByteArray(240, 'x') + "\r\n";
        writeFile(list(), before);
        Tab t(dir_.path());
        t.add(QStringLiteral("aquilone"));
        QTest::mouseClick(t.tab.findChild<QPushButton *>("aggiungi"), Qt::LeftButton);
        t.rename(0, QStringLiteral("ape"));
        t.remove(0);
        QTest::keyClick(t.view(), Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(t.view(), Qt::Key_Up, Qt::ControlModifier);
        QTest::keyClick(t.view(), Qt::Key_Z, Qt::ControlModifier);

        QCOMPARE(readFile(list()), before);
        QCOMPARE(QDir(dir_.filePath("testi")).entryList(QDir::Files), QStringList{"a.txt"});
        QCOMPARE(t.view()->model()->rowCount(), 0);
        QVERIFY2(t.notice().contains(QStringLiteral("L'elenco a.txt è troppo grande")), qPrintable(t.notice()));
        for (const char *control : {"nuovaParola", "aggiungi", "rimuovi"})
            QVERIFY2(!t.tab.findChild<QWidget *>(control)->isEnabled(), control);
    }

    // A pipe in the list's place is no list: the tab neither waits on it nor
    // puts a file there.
    void pipeIsNeitherReadNorReplaced()
    {
        QVERIFY(QDir().mkpath(dir_.filePath("testi")));
        QCOMPARE(mkfifo(QFile::encodeName(list()).constData(), 0600), 0);
        Tab t(dir_.path());
        t.add(QStringLiteral("aquilone"));
        struct stat s {};
        QCOMPARE(stat(QFile::encodeName(list()).constData(), &s), 0);
        QVERIFY(S_ISFIFO(s.st_mode));
        QVERIFY2(t.notice().contains(QStringLiteral("L'elenco a.txt non si può aprire (è un file speciale del sistema, non un file normale)")),
                 qPrintable(t.notice()));
    }

    // The first paint waits on no picture, yet each row's picture comes to
    // screen after it; a row without a picture stays without.
    void picturesReachTheirRows()
    {
        writeFile(list(), "ape\r\nuva\r\n");
        QImage red(400, 300, QImage::Format_RGB32);
        red.fill(QColor(220, 20, 20));
        QDir().mkpath(dir_.filePath("jpg"));
        QVERIFY(red.save(dir_.filePath("jpg/uva.jpg"), "JPG")); // not the first row, shown picked
        Tab t(dir_.path());
        const auto middleOf = [&t](int row) {
            const QRect cell = t.view()->visualRect(t.view()->model()->index(row, 1)); // the «Immagine» column
            const QImage shown = t.view()->viewport()->grab(cell).toImage();
            return shown.pixelColor(shown.rect().center());
        };
        QTRY_VERIFY2(middleOf(1).red() > 180 && middleOf(1).green() < 70 && middleOf(1).blue() < 70,
                     qPrintable(middleOf(1).name()));
        QVERIFY2(middleOf(0).red() < 180 || middleOf(0).green() > 70, qPrintable(middleOf(0).name()));
    }

    // "Ascolta" plays the voice of its own row, by a click or by Space or
    // Enter on its cell, and nothing for a word without a voice.
    void listenPlaysTheRowsVoice_data()
    {
        QTest::addColumn<int>("key"); // 0: a mouse click
        QTest::newRow("click") << 0;
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Enter") << int(Qt::Key_Return);
    }
    void listenPlaysTheRowsVoice()
    {
        QFETCH(int, key);
        writeFile(list(), "ape\r\nuva\r\nelmo\r\n");
        for (const char *word : {"ape", "uva"})
            writeFile(dir_.filePath(QStringLiteral("voci/%1.wav").arg(word)), wavBytes(Samples(kVoiceRate, 0.2f)));
        Tab t(dir_.path());
        for (const int row : {2, 1}) {
            if (key)
                t.keyListen(row, Qt::Key(key));
            else
                t.clickListen(row);
        }
        QCOMPARE(t.player.played, QStringList{dir_.filePath("voci/uva.wav")});
    }

    // F5 starts the program file of the copy open, in the copy's folder (a
    // stand-in that notes where it ran).
    void tryItStartsTheCopysOwnProgram()
    {
        const QString folder = dir_.filePath("Parole 100%");
        writeFile(folder + "/testi/a.txt", "ape\r\n");
        writeFile(folder + "/zampli", "#!/bin/sh\npwd > \"$(dirname \"$0\")/avviato\"\n");
        QFile(folder + "/zampli").setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        test::TeacherWindow w(folder);
        QTest::keyClick(&w.window, Qt::Key_F5);
        QTRY_COMPARE(readFile(folder + "/avviato"), (folder + "\n").toUtf8());
    }

    // A disk that fills up while the list is written: the old list stays byte
    // for byte, and the teacher is told. The save runs in a child whose files
    // may not grow past 4 KB.
    void fullDiskLeavesTheOldList()
    {
        QByteArray before;
        for (int i = 0; i < 500; ++i)
            before += "parola\r\n"; // 4000 bytes: one more word passes the 4 KB the child may write
        writeFile(list(), before);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {"--child-full-disk", dir_.path()});
        QVERIFY(child.waitForFinished(20000));
        const QByteArray said = child.readAllStandardOutput();
        QCOMPARE(child.exitCode(), 0);
        QVERIFY2(said.contains("non \xC3\xA8 stato salvato"), said.constData());
        // Why, in the teacher's language: the system's own words are English.
        QVERIFY2(said.contains("pi\xC3\xB9 grande di quanto il disco accetti"), said.constData());
        QCOMPARE(readFile(list()), before);
        QCOMPARE(QDir(dir_.filePath("testi")).entryList(QDir::Files), QStringList{"a.txt"});
    }
};

// Adds a word that takes the list past the child's file size limit.
static int childFullDisk(const QString &folder)
{
    struct rlimit limit{4096, 4096};
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the process
    setrlimit(RLIMIT_FSIZE, &limit);
    Tab t(folder);
    t.add(u'a' + QString(199, u'z'));
    std::printf("%s\n", qPrintable(t.message()));
    return 0;
}

int main(int argc, char **argv)
{
    QTemporaryDir settings; // the window's settings stay out of the user's own
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(settings.path()));
    QApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--child-full-disk") == 0)
        return childFullDisk(QString::fromLocal8Bit(argv[2]));
    TeacherWordsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_teacher_words.moc"
