// The "INIZIA PER" window driven as a child and a teacher would: lists on
// disk, a word shown and said, tiles clicked, counters on screen.
#include "fakes/Fakes.h"

#include "exercises/initial/InitialVowel.h"
#include "shell/DesignCanvas.h"

#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>
#include <map>

using namespace zampli;
using namespace zampli::test;

using Lists = std::map<QString, QByteArray>; // list "a" to "u" → its bytes

static const Lists kLists = {{"a", "ape\r\nala\r\n"}, {"e", "elmo\r\n"}, {"i", "isola\r\nimbuto\r\niglu\r\n"},
                             {"o", "oca\r\n"}, {"u", "uva\r\nuovo\r\n"}};

class IniziaPerTest : public QObject {
    Q_OBJECT

    // Writes the lists and a picture for each word, scripts the first draw
    // (vowel, then word) and opens the window from the main menu.
    struct Open {
        Harness h;
        InitialVowel *form = nullptr;

        explicit Open(int vowel, int word, const Lists &lists = kLists)
        {
            writeLists(lists);
            Form *menu = h.windows->form(FormId::Menu);
            menu->Show();
            QVERIFY(QTest::qWaitForWindowActive(menu->window()));
            script(vowel, word, onDisk(vowel));
            clickAsUser(menu->window()->findChild<QPushButton *>("Command12"));
            form = &h.windows->form<InitialVowel>(FormId::IniziaPer);
            if (form->isLoaded()) // not when it had to go back to the menu
                QVERIFY(QTest::qWaitForWindowActive(form->window()));
        }
        void writeLists(const Lists &lists) const
        {
            QDir().mkpath(h.folder.filePath("testi"));
            for (const auto &[name, bytes] : lists) {
                QFile file(h.media().wordList(name));
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
                for (const QString &word : readWordList(bytes).words)
                    h.writePicture(h.media().wordPicture(word));
            }
        }
        int onDisk(int vowel) const
        {
            return int(loadWordList(h.media().wordList(QString("aeiou"[vowel - 1]))).list.words.size());
        }
        void script(int vowel, int word, int words)
        {
            h.random.scriptNumbers(5, {vowel});
            h.random.scriptNumbers(qMax(words, 1), {word});
        }
        void nextQuestion(int vowel, int word)
        {
            script(vowel, word, form->NumeroParole[vowel]);
            clickAsUser(control("Command1"));
        }
        // Goes to the main menu beside it and comes back: a new activation.
        void activateAgain(int vowel, int word)
        {
            script(vowel, word, onDisk(vowel));
            for (QWidget *w : {h.windows->form(FormId::Menu)->window(), form->window()}) {
                w->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w));
            }
        }
        QWidget *control(const QString &name) const { return form->window()->findChild<QWidget *>(name); }
        QString caption(const char *name) const { return form->window()->findChild<QLabel *>(name)->text(); }
        QString counters() const { return caption("EtichettaEsatti") + "|" + caption("EtichettaErrati"); }
        Tile *tile(int k) const { return form->window()->findChild<Tile *>(QStringLiteral("Frame1_%1").arg(k)); }
        QLabel *letter(int k) const { return form->window()->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(k)); }
        // Clicks the letter on tile k, as a child aims at it.
        void answer(int k) const { clickAsUser(tile(k), letter(k)->geometry().center()); }
        // How many of the tiles and their letters are enabled: 10 or 0, never a mix.
        int tilesOn() const
        {
            int on = 0;
            for (int k = 0; k < 5; ++k)
                on += tile(k)->isEnabled() + letter(k)->isEnabled();
            return on;
        }
        bool smiling() const { return control("ComandoIconaSi")->isVisible() && control("ComandoIconaNo")->isHidden(); }
        bool sad() const { return control("ComandoIconaNo")->isVisible() && control("ComandoIconaSi")->isHidden(); }
        QString voice(const QString &word) const { return h.media().voice(word); }
    };

private slots:
    // The right answer is the list the word came from, never its first letter;
    // "Azzera esercizi" clears only the right answers, and the captions wait
    // for the next answer; captions and faces do nothing when clicked.
    void opensInItsDesignAndCountsTheAnswers()
    {
        Lists lists = kLists;
        lists["a"] = "\xE0ncora\r\n"; // Windows-1252; its picture has a UTF-8 name
        lists["o"] = "uva\r\n";
        Open o(1, 1, lists);
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded()); // left open beside it
        QCOMPARE(o.form->Parola, QStringLiteral("àncora"));
        QVERIFY(!o.form->window()->findChild<PictureBox *>("Image1")->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("àncora")});
        DesignCanvas *canvas = o.form->canvas();
        QCOMPARE(canvas->background(), QColor(0, 0, 128));
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(canvas->twips(o.tile(k)), QRect(k * 2400, 0, 2415, 2535));
            QCOMPARE(o.tile(k)->palette().color(QPalette::Window), vowelColour(k + 1));
            QCOMPARE(o.letter(k)->parentWidget(), o.tile(k));
            QCOMPARE(o.letter(k)->text() + QString::number(o.letter(k)->font().pixelSize()),
                     QString("AEIOU"[k]) + QString::number(canvas->fit().fontPixels(48)));
        }
        QCOMPARE(o.caption("Label1_5") + o.caption("Label4") + o.counters(), QStringLiteral("EsattiErrati0|0"));
        QCOMPARE(canvas->twips(o.control("ComandoIconaSi")), canvas->twips(o.control("ComandoIconaNo")));
        QStringList bar;
        for (QAction *a : o.form->window()->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"Azzera esercizi     ", "Esercizi eseguiti     ", "Esci"}));
        const auto clickOthers = [&o] {
            for (const char *name : {"Label1_5", "Label4", "EtichettaEsatti", "EtichettaErrati"})
                clickAsUser(o.control(name));
            clickAsUser(o.control(o.smiling() ? "ComandoIconaSi" : "ComandoIconaNo"));
        };
        clickOthers();

        o.h.modulo->EserciziEseguiti = 5; // raised by other windows meanwhile
        o.h.modulo->EserciziErrati = 2;
        for (int k : {1, 4, 1})
            o.answer(k);
        QCOMPARE(o.counters(), QStringLiteral("0| 5"));
        QCOMPARE(o.h.sound.played.mid(1), QStringList(3, o.h.media().errorSound()));
        QVERIFY(o.sad() && o.tilesOn() == 10 && !o.control("Command1")->isEnabled());

        o.answer(0);
        QVERIFY(o.smiling() && o.tilesOn() == 0 && o.control("Command1")->isEnabled());
        QCOMPARE(o.counters(), QStringLiteral(" 6| 5"));
        QVERIFY2(QRegularExpression(".*/suoni/si[1-4]\\.wav").match(o.h.sound.played.last()).hasMatch(),
                 qPrintable(o.h.sound.played.last()));
        const QPalette &pal = o.letter(2)->palette(); // locked, not greyed
        QCOMPARE(pal.color(QPalette::Disabled, QPalette::WindowText),
                 pal.color(QPalette::Active, QPalette::WindowText));
        clickOthers();
        clickAsUser(o.control("Image1"));
        clickAsUser(o.control("Command2"));
        QCOMPARE(o.h.sound.played.mid(5), QStringList(2, o.voice("àncora")));
        QVERIFY(o.h.modulo->EserciziEseguiti.value() == 6 && o.h.modulo->EserciziErrati.value() == 5);
        QCOMPARE(o.h.random.draws, 3); // vowel, word, praise: nothing drawn since

        o.nextQuestion(4, 1);
        QCOMPARE(o.h.sound.played.last(), o.voice("uva"));
        QVERIFY(o.smiling() && o.tilesOn() == 10 && !o.control("Command1")->isEnabled());
        o.answer(4);
        QVERIFY(o.sad());
        o.form->window()->findChild<QAction *>("mnuAzzera")->trigger();
        QCOMPARE(o.counters(), QStringLiteral(" 6| 6"));
        o.answer(3);
        QVERIFY(o.smiling());
        QCOMPARE(o.counters(), QStringLiteral(" 1| 6"));
    }

    // Activation rereads the lists and says a new word, leaving tiles,
    // Command1, faces and captions as they were; an edited list counts from
    // the next activation, not the next question.
    void activationRereadsTheListsAndKeepsTheRest()
    {
        Open o(1, 2);
        o.writeLists({{"a", "anatra\r\nalbero\r\nastro\r\n"}});
        o.answer(1);
        o.answer(0);
        o.nextQuestion(1, 2);
        QCOMPARE(o.form->Parola, QStringLiteral("ala"));
        o.answer(0);
        o.activateAgain(1, 3);
        QCOMPARE(o.form->Parola, QStringLiteral("astro"));
        QCOMPARE(o.h.sound.played.last(), o.voice("astro"));
        QVERIFY(o.smiling() && o.tilesOn() == 0 && o.control("Command1")->isEnabled());
        QCOMPARE(o.counters(), QStringLiteral(" 2| 1"));
        o.nextQuestion(2, 1);
        QCOMPARE(o.tilesOn(), 10);
    }

    // A list that gives no word is never drawn; what is wrong with a list is
    // said once, however often the lists are read again.
    void badListsAreSkippedAndReportedOnce()
    {
        QByteArray fiftyOne;
        for (int i = 1; i <= 51; ++i)
            fiftyOne += "ape" + QByteArray::number(i) + "\r\n";
        Open o(1, 50, {{"a", fiftyOne}, {"e", ""}, {"i", "../fuori\r\nisola\r\n"}, {"u", " \r\n"}});
        QCOMPARE(o.form->Parola, QStringLiteral("ape50"));
        QCOMPARE(o.form->NumeroParole, (std::array<qint16, 6>{0, 50, 0, 1, 0, 0}));

        o.answer(0);
        QVERIFY(QFile::remove(o.h.media().wordPicture("isola")));
        o.h.random.scriptNumbers(5, {2, 4, 5, 3}); // E, O and U have no word: drawn again
        o.h.random.scriptNumbers(1, {1});
        clickAsUser(o.control("Command1"));
        QCOMPARE(o.h.random.draws, 3 + 5);
        QCOMPARE(o.form->Parola, QStringLiteral("isola"));
        QCOMPARE(o.form->window()->findChild<PictureBox *>("Image1")->placeholderText(), QStringLiteral("isola"));

        o.activateAgain(1, 1);
        const QStringList expected = {
            "file mancante o illeggibile: " + o.h.media().wordList("o"),
            "parola scartata, non è un nome di file: \"../fuori\" in " + o.h.media().wordList("i"),
            "lista senza parole: " + o.h.media().wordList("e"), "lista senza parole: " + o.h.media().wordList("u"),
            "lista con più di 50 parole, usate le prime 50: " + o.h.media().wordList("a"),
            o.h.problems.filter("isola.jpg").value(0)};
        for (const QString &line : expected)
            QVERIFY2(o.h.problems.count(line) == 1, qPrintable(line + "\n" + o.h.problems.join('\n')));
        QCOMPARE(o.h.problems.size(), expected.size());
        QVERIFY(o.h.boxes.shown.empty());
    }

    void noWordAtAllTellsTheAdultAndReturnsToTheMenu()
    {
        Open o(1, 1, {{"a", ""}, {"e", "\r\n\r\n"}, {"i", "a/b\r\n"}});
        QVERIFY(!o.form->isLoaded() && o.h.windows->form(FormId::Menu)->isLoaded());
        QVERIFY(o.h.sound.played.isEmpty());
        QCOMPARE(o.h.boxes.shown.size(), std::size_t(1));
        const QString text = o.h.boxes.shown.front().text;
        for (const QString &line : {o.h.folder.filePath("testi"), QStringLiteral("a.txt: nessuna parola"),
                                    QStringLiteral("e.txt: nessuna parola"), QStringLiteral("i.txt: nessuna parola"),
                                    QStringLiteral("o.txt: manca o non si può leggere"),
                                    QStringLiteral("u.txt: manca o non si può leggere")})
            QVERIFY2(text.contains(line), qPrintable(text));

        o.writeLists({{"o", "oca\r\n"}}); // a word again: the menu button opens the exercise
        clickAsUser(o.h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>("Command12"));
        QVERIFY(o.form->isLoaded());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("oca")});
    }

    // Each vowel comes with chance 1/5 whatever the lengths of the lists,
    // and a word may come twice in a row.
    void drawIsVowelFirstWithReplacement()
    {
        Lists lists = kLists;
        lists["e"] = "e1\r\ne2\r\ne3\r\ne4\r\ne5\r\ne6\r\ne7\r\ne8\r\n";
        Open o(1, 1, lists);
        std::map<QString, int> vowels, words;
        int repeats = 0;
        for (int i = 0; i < 500; ++i) {
            const QString before = o.form->Parola;
            o.answer(o.form->VocaleGiusta - 1);
            clickAsUser(o.control("Command1"));
            ++vowels[o.form->Parola.left(1)]; // every word begins with its own list's vowel
            ++words[o.form->Parola];
            repeats += o.form->Parola == before;
        }
        QCOMPARE(vowels.size(), std::size_t(5));
        for (const auto &[vowel, count] : vowels) // 100 expected, three standard deviations either side
            QVERIFY2(count > 73 && count < 127, qPrintable(vowel + ": " + QString::number(count)));
        QVERIFY(words["oca"] > 4 * words["e1"] && repeats > 0);
    }
};

QTEST_MAIN(IniziaPerTest)
#include "test_inizia_per.moc"
