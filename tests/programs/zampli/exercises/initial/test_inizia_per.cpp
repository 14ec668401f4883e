// SPDX-License-Identifier: GPL-3.0-or-later
// The "INIZIA PER" window driven as a child and a teacher would: lists on
// disk, a word shown and said, tiles clicked, counters on screen.
#include "fakes/Fakes.h"

#include "exercises/initial/InitialVowel.h"
#include "wordlist/WordList.h"

#include <QtTest>
#include <QtWidgets>
#include <map>

using namespace zampli;
using namespace zampli::test;

using Lists = std::map<QString, QByteArray>; // list "a" to "u" → its bytes

static const Lists kLists = {{"a", "ape\r\nala\r\n"}, {"e", "elmo\r\n"}, {"i", "isola\r\nimbuto\r\niglu\r\n"},
                             {"o", "oca\r\n"}, {"u", "uva\r\nuovo\r\n"}};

class IniziaPerTest : public QObject {
    Q_OBJECT

    // Writes the lists (changes over a base set) and a picture for each word,
    // scripts the first draw and opens the window from the main menu.
    struct Open {
        Harness h;
        InitialVowel *form = nullptr;

        explicit Open(int vowel, int word, const Lists &changes = {}, const Lists &base = kLists)
        {
            writeLists(base);
            writeLists(changes);
            h.windows->form(FormId::Menu)->Show();
            QVERIFY(QTest::qWaitForWindowActive(h.windows->form(FormId::Menu)->window()));
            script(vowel, word);
            clickAsUser(h.windows->form(FormId::Menu)->window()->findChild<QWidget *>("Command12"));
            form = &h.windows->form<InitialVowel>(FormId::IniziaPer);
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
        // The vowel, then a word of a list of `words` (by default the list on disk).
        void script(int vowel, int word, int words = 0)
        {
            words = words ? words : int(loadWordList(h.media().wordList(QString("aeiou"[vowel - 1]))).list.words.size());
            h.random.scriptNumbers(5, {vowel});
            h.random.scriptNumbers(qMax(words, 1), {word});
        }
        void nextQuestion(int vowel, int word)
        {
            script(vowel, word, int(form->quiz().words(vowel).size())); // the list as last read
            clickAsUser(control("Command1"));
        }
        void activateAgain(int vowel, int word) // to the main menu beside it and back
        {
            script(vowel, word);
            for (QWidget *w : {h.windows->form(FormId::Menu)->window(), form->window()}) {
                w->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(w));
            }
        }
        QWidget *control(const QString &name) const { return form->window()->findChild<QWidget *>(name); }
        QString caption(const char *name) const { return form->window()->findChild<QLabel *>(name)->text(); }
        Tile *tile(int k) const { return form->window()->findChild<Tile *>(QStringLiteral("Frame1_%1").arg(k)); }
        // Clicks the letter on tile k, as a child aims at it.
        void answer(int k) const { clickAsUser(tile(k), control(QStringLiteral("Label1_%1").arg(k))->geometry().center()); }
        // What the child sees: the counter captions, the face, the tiles that answer, Command1.
        QString shown() const
        {
            const bool si = control("ComandoIconaSi")->isVisible(), no = control("ComandoIconaNo")->isVisible();
            return QStringLiteral("%1|%2 %3 tiles%4 next%5")
                .arg(caption("EtichettaEsatti"), caption("EtichettaErrati"), si == no ? "??" : si ? "si" : "no")
                .arg(std::ranges::count_if(form->window()->findChildren<Tile *>(), &Tile::isEnabled))
                .arg(control("Command1")->isEnabled());
        }
    };

private slots:
    // The right answer is the list the word came from, never its first letter;
    // "Azzera esercizi" clears only the right answers, the captions wait for
    // the next answer; captions and faces do nothing when clicked. Activation
    // rereads the lists and says a new word; after a right answer it opens
    // the tiles for the new word and turns the next button off.
    void answersCountersAndActivation()
    {
        Open o(1, 1, {{"a", "\xE0ncora\r\n"}, {"o", "uva\r\n"}}); // Windows-1252, its picture's name UTF-8
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded() && // left open beside it
                !o.form->window()->findChild<PictureBox *>("Image1")->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice("àncora")});
        QCOMPARE(o.shown(), QString("0|0 no tiles5 next0"));
        for (const char *name : {"Label1_5", "Label4", "EtichettaEsatti", "EtichettaErrati", "ComandoIconaNo"})
            clickAsUser(o.control(name));

        o.h.modulo->EserciziErrati = 2; // raised by other windows
        for (int k : {1, 4, 1})
            o.answer(k);
        QCOMPARE(o.shown(), QStringLiteral("0| 5 no tiles5 next0"));
        QCOMPARE(o.h.sound.played.mid(1), QStringList(3, o.h.media().errorSound()));

        o.h.modulo->EserciziEseguiti = 5, o.h.modulo->EserciziErrati = 7; // both raised by other windows meanwhile
        o.answer(0);
        QCOMPARE(o.shown(), QStringLiteral(" 6| 5 si tiles0 next1"));
        QVERIFY(QRegularExpression(".*/suoni/si[1-4]\\.wav").match(o.h.sound.played.last()).hasMatch());
        for (const char *name : {"Label1_5", "Label4", "EtichettaEsatti", "EtichettaErrati", "ComandoIconaSi", "Image1",
                                 "Command2"})
            clickAsUser(o.control(name));
        QCOMPARE(o.h.sound.played.mid(5), QStringList(2, o.h.media().voice("àncora"))); // picture and figure: again
        QCOMPARE(o.h.random.draws, 3); // vowel, word, praise: nothing drawn since

        o.nextQuestion(4, 1);
        QCOMPARE(o.h.sound.played.last() + o.shown(), o.h.media().voice("uva") + " 6| 5 si tiles5 next0");
        o.form->window()->findChild<QAction *>("mnuAzzera")->trigger();
        for (const auto &[k, shown] :
             {std::pair{-1, " 6| 5 si tiles5 next0"}, {4, " 6| 8 no tiles5 next0"}, {3, " 1| 8 si tiles0 next1"}}) {
            if (k >= 0)
                o.answer(k);
            QCOMPARE(o.shown(), QString(shown));
        }

        o.writeLists({{"o", "oca\r\norso\r\n"}}); // an edited list counts from the next activation
        o.nextQuestion(4, 1);
        QCOMPARE(o.form->quiz().word(), QStringLiteral("uva"));
        o.answer(3);
        o.activateAgain(4, 2);
        QCOMPARE(o.h.sound.played.last(), o.h.media().voice("orso"));
        QCOMPARE(o.shown(), QStringLiteral(" 2| 8 si tiles5 next0"));
        o.answer(3);
        QCOMPARE(o.shown(), QStringLiteral(" 3| 8 si tiles0 next1"));
        o.nextQuestion(2, 1);
        QCOMPARE(o.shown(), QStringLiteral(" 3| 8 si tiles5 next0"));
    }

    // The five tiles in the vowels' colours, and in the same once a right
    // answer locks them.
    void tilesInTheVowelColours()
    {
        Open o(1, 1);
        for (const bool locked : {false, true}) {
            if (locked)
                o.answer(0);
            QString painted;
            for (int k = 0; k < 5; ++k) {
                const QColor c = o.tile(k)->grab().toImage().pixelColor(3, 3); // beside its letter
                painted += QStringLiteral("%1 %2 %3 %4;").arg(o.tile(k)->isEnabled()).arg(c.red()).arg(c.green()).arg(c.blue());
            }
            QCOMPARE(painted, locked ? "0 255 0 0;0 255 255 0;0 0 0 255;0 255 192 192;0 0 192 0;"
                                     : "1 255 0 0;1 255 255 0;1 0 0 255;1 255 192 192;1 0 192 0;");
        }
    }

    // A list that gives no word is never drawn; what is wrong with a list is
    // said once, however often the lists are read again.
    void badListsAreSkippedAndReportedOnce()
    {
        const Lists lists = {{"a", QByteArray("ape\r\n").repeated(51)}, {"e", ""}, {"i", "../fuori\r\nisola\r\n"}};
        Open o(1, 50, lists, {{"u", " \r\n"}});
        QList<int> counts;
        for (int v = 1; v <= 5; ++v)
            counts << int(o.form->quiz().words(v).size());
        QCOMPARE(counts, QList<int>({50, 0, 1, 0, 0}));

        o.answer(0);
        QVERIFY(QFile::remove(o.h.media().wordPicture("isola")));
        o.h.random.scriptNumbers(5, {2, 4, 5, 3}); // E, O and U have no word: drawn again
        o.h.random.scriptNumbers(1, {1});
        clickAsUser(o.control("Command1"));
        QCOMPARE(o.form->quiz().word() + o.form->window()->findChild<PictureBox *>("Image1")->placeholderText(), "isolaisola");

        o.activateAgain(1, 1);
        QStringList expected = {
            o.h.media().wordList("o") + ": manca",
            "parola scartata, non è un nome di file: \"../fuori\" in " + o.h.media().wordList("i"),
            "lista senza parole: " + o.h.media().wordList("e"), "lista senza parole: " + o.h.media().wordList("u"),
            "lista con più di 50 parole, lette solo le prime 50: " + o.h.media().wordList("a"),
            o.h.problems.filter("isola.jpg").value(0)};
        QStringList sorted = o.h.problems; // each said once, nothing else
        std::ranges::sort(sorted), std::ranges::sort(expected);
        QCOMPARE(sorted, expected);
        QVERIFY(o.h.boxes.shown.empty());
    }

};

QTEST_MAIN(IniziaPerTest)
#include "test_inizia_per.moc"
