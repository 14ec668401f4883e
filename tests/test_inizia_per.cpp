// The "INIZIA PER" window driven as a child and a teacher would: lists on
// disk, a word shown and said, tiles clicked, counters on screen.
#include "fakes/Fakes.h"

#include "exercises/initial/InitialVowel.h"
#include "media/SoundRouter.h"
#include "media/SoundWav.h"
#include "shell/DesignCanvas.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtEndian>
#include <QtTest>
#include <map>

using namespace zampli;
using namespace zampli::test;

namespace {

// One list a vowel, "a" to "u", each word a line; a word list per file.
using Lists = std::map<QString, QByteArray>;

const Lists kLists = {{"a", "ape\r\nala\r\n"},
                      {"e", "elmo\r\n"},
                      {"i", "isola\r\nimbuto\r\niglu\r\n"},
                      {"o", "oca\r\n"},
                      {"u", "uva\r\nuovo\r\n"}};

QByteArray pcmWav(int frames)
{
    QByteArray out("RIFF");
    const auto le32 = [&out](quint32 v) { char b[4]; qToLittleEndian(v, b); out.append(b, 4); };
    const auto le16 = [&out](quint16 v) { char b[2]; qToLittleEndian(v, b); out.append(b, 2); };
    le32(quint32(36 + frames * 2));
    out += "WAVEfmt ";
    le32(16);
    le16(1);
    le16(1);
    le32(22050);
    le32(44100);
    le16(2);
    le16(16);
    out += "data";
    le32(quint32(frames * 2));
    return out + QByteArray(frames * 2, '\x10');
}

// Loads what it is asked to, as the real output does, and writes down how
// many samples each start plays.
class MeasuringOutput final : public SoundOutput {
public:
    QStringList heard;
    void load(const QUrl &source) override
    {
        const auto sound = loadWav(source.toLocalFile());
        samples_[source] = sound ? sound->samples.size() / 2 : -1;
    }
    void start(const QUrl &source) override
    {
        heard << QStringLiteral("%1 %2").arg(source.fileName()).arg(samples_[source]);
    }
    void stop(const QUrl &) override {}

private:
    std::map<QUrl, qsizetype> samples_;
};

} // namespace

class IniziaPerTest : public QObject {
    Q_OBJECT

    struct Open {
        Harness h;
        InitialVowel *form = nullptr;

        // Writes the lists and a picture for each word, scripts the first
        // draw (vowel, then word) and opens the window from the main menu.
        explicit Open(int vowel = 1, int word = 1, const Lists &lists = kLists)
        {
            writeLists(lists);
            Form *menu = h.windows->form(FormId::Menu);
            menu->Show();
            QVERIFY(QTest::qWaitForWindowActive(menu->window()));
            h.random.scriptNumbers(5, {vowel});
            h.random.scriptNumbers(wordsIn(lists, vowel), {word});
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
                QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
                file.write(bytes);
                for (const QString &word : readWordList(bytes).words)
                    if (!QFileInfo::exists(h.media().wordPicture(word)))
                        h.writePicture(h.media().wordPicture(word));
            }
        }
        static int wordsIn(const Lists &lists, int vowel)
        {
            const auto it = lists.find(QString(QStringLiteral("aeiou").at(vowel - 1)));
            return it == lists.end() ? 1 : int(readWordList(it->second).words.size());
        }
        // The next question: vowel and word scripted.
        void nextQuestion(int vowel, int word, const Lists &lists = kLists)
        {
            h.random.scriptNumbers(5, {vowel});
            h.random.scriptNumbers(wordsIn(lists, vowel), {word});
            clickAsUser(control("Command1"));
        }
        // Leaves for the main menu beside it and comes back: a new activation.
        void activateAgain(int vowel, int word, const Lists &lists = kLists)
        {
            h.random.scriptNumbers(5, {vowel});
            h.random.scriptNumbers(wordsIn(lists, vowel), {word});
            QWidget *menu = h.windows->form(FormId::Menu)->window();
            menu->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(menu));
            form->window()->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(form->window()));
        }
        QWidget *control(const QString &name) const { return form->window()->findChild<QWidget *>(name); }
        QString caption(const char *name) const { return form->window()->findChild<QLabel *>(name)->text(); }
        Tile *tile(int k) const { return form->window()->findChild<Tile *>(QStringLiteral("Frame1_%1").arg(k)); }
        QLabel *letter(int k) const { return form->window()->findChild<QLabel *>(QStringLiteral("Label1_%1").arg(k)); }
        // Clicks the letter on tile k, as a child aims at it.
        void answer(int k) const { clickAsUser(tile(k), letter(k)->geometry().center()); }
        bool tilesEnabled() const
        {
            bool all = true;
            for (int k = 0; k < 5; ++k)
                all = all && tile(k)->isEnabled() && letter(k)->isEnabled();
            return all;
        }
        bool smiling() const { return control("ComandoIconaSi")->isVisible() && control("ComandoIconaNo")->isHidden(); }
        bool sad() const { return control("ComandoIconaNo")->isVisible() && control("ComandoIconaSi")->isHidden(); }
        QString voice(const QString &word) const { return h.media().voice(word); }
    };

private slots:
    void opensFromTheMenuInItsDesignState()
    {
        Open o(3, 2);
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded()); // left open beside it
        QCOMPARE(o.form->VocaleGiusta, qint16(3));
        QCOMPARE(o.form->Parola, QStringLiteral("imbuto"));
        auto *image = o.form->window()->findChild<PictureBox *>("Image1");
        QVERIFY(!image->showsPlaceholder());
        QCOMPARE(o.h.sound.played, QStringList{o.voice("imbuto")});
        QCOMPARE(o.h.modulo->Percorso, o.voice("imbuto"));

        DesignCanvas *canvas = o.form->canvas();
        QCOMPARE(canvas->designSize(), QSize(11205, 8445));
        QCOMPARE(canvas->background(), QColor(0, 0, 128));
        for (int k = 0; k < 5; ++k) {
            QCOMPARE(canvas->twips(o.tile(k)), QRect(k * 2400, 0, 2415, 2535));
            QCOMPARE(o.tile(k)->palette().color(QPalette::Window), vowelColour(k + 1));
            QCOMPARE(o.letter(k)->parentWidget(), o.tile(k));
            QCOMPARE(o.letter(k)->text(), QString("AEIOU"[k]));
            QCOMPARE(o.letter(k)->font().pixelSize(), canvas->fit().fontPixels(48));
        }
        QCOMPARE(canvas->twips(o.letter(0)), QRect(480, 240, 1215, 1095));
        QCOMPARE(canvas->twips(o.letter(3)), QRect(600, 0, 1215, 1095));
        QCOMPARE(o.caption("Label1_5"), QStringLiteral("Esatti"));
        QCOMPARE(o.caption("Label4"), QStringLiteral("Errati"));
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral("0"));
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral("0"));
        QCOMPARE(o.control("EtichettaEsatti")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QVERIFY(o.sad());
        QCOMPARE(canvas->twips(o.control("ComandoIconaSi")), canvas->twips(o.control("ComandoIconaNo")));
        QCOMPARE(qobject_cast<PictureButton *>(o.control("ComandoIconaSi"))->picture(), Art::Smile);
        QCOMPARE(qobject_cast<PictureButton *>(o.control("ComandoIconaNo"))->picture(), Art::Sad);
        QVERIFY(!o.control("Command1")->isEnabled());
        QVERIFY(o.tilesEnabled());

        QStringList bar;
        for (QAction *a : o.form->window()->menuBar()->actions())
            bar << a->text();
        QCOMPARE(bar, QStringList({"Azzera esercizi     ", "Esercizi eseguiti     ", "Esci"}));
    }

    void rightAnswerSmilesCountsAndLocksTheTiles()
    {
        Open o(5, 1);
        o.h.modulo->EserciziEseguiti = 5; // raised by other windows meanwhile
        o.answer(4);
        QVERIFY(o.smiling());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 6);
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral(" 6"));
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral("0"));
        for (int k = 0; k < 5; ++k) {
            QVERIFY(!o.tile(k)->isEnabled() && !o.letter(k)->isEnabled());
            // Locked, not greyed: the letters stay as they were.
            const QPalette &pal = o.letter(k)->palette();
            QCOMPARE(pal.color(QPalette::Disabled, QPalette::WindowText), pal.color(QPalette::Active, QPalette::WindowText));
        }
        QCOMPARE(o.h.sound.played.size(), 2);
        QVERIFY2(QRegularExpression(".*/suoni/si[1-4]\\.wav").match(o.h.sound.played[1]).hasMatch(),
                 qPrintable(o.h.sound.played[1]));
        QVERIFY(o.control("Command1")->isEnabled());

        // The next question opens the tiles again; the smiley stays until an answer.
        o.nextQuestion(2, 1);
        QVERIFY(o.tilesEnabled());
        QVERIFY(!o.control("Command1")->isEnabled());
        QVERIFY(o.smiling());
        QCOMPARE(o.form->Parola, QStringLiteral("elmo"));
        QCOMPARE(o.h.sound.played.last(), o.voice("elmo"));
    }

    void everyWrongClickCountsAndTheChildTriesAgain()
    {
        Open o(1, 1);
        o.h.modulo->EserciziErrati = 2;
        o.answer(1);
        o.answer(4);
        o.answer(1);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 5);
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral(" 5"));
        QCOMPARE(o.h.sound.played.mid(1), QStringList(3, o.h.media().errorSound()));
        QVERIFY(o.sad());
        QVERIFY(o.tilesEnabled());
        QVERIFY(!o.control("Command1")->isEnabled());
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(o.form->Parola, QStringLiteral("ape"));

        o.answer(0);
        QVERIFY(o.smiling());
        o.nextQuestion(4, 1);
        o.answer(2);
        QVERIFY(o.sad()); // a wrong answer after a right one
    }

    // Variant A: "Azzera esercizi" clears only the count of right answers,
    // and the captions wait for the next answer.
    void resetShowsOnTheNextAnswer()
    {
        Open o(1, 1);
        o.answer(0);
        o.nextQuestion(2, 1);
        o.answer(3);
        o.answer(1);
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral(" 2"));
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral(" 1"));
        o.form->window()->findChild<QAction *>("mnuAzzera")->trigger();
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral(" 2"));
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 1);

        o.nextQuestion(5, 2);
        o.answer(0);
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral(" 2"));
        o.answer(4);
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral(" 1"));
        o.form->window()->findChild<QAction *>("mnuEsercizi")->trigger();
        QCOMPARE(o.h.boxes.shown.back().text, QStringLiteral("Sono stati eseguiti  1 esercizi."));
    }

    void activationWhileAnsweredSaysANewWordAndKeepsTheRest()
    {
        Open o(1, 1);
        o.answer(1);
        o.answer(0);
        o.activateAgain(3, 3);
        QCOMPARE(o.form->Parola, QStringLiteral("iglu"));
        QCOMPARE(o.h.sound.played.last(), o.voice("iglu"));
        QCOMPARE(o.h.sound.played.size(), 4);
        QVERIFY(!o.tile(2)->isEnabled() && !o.letter(2)->isEnabled());
        QVERIFY(o.control("Command1")->isEnabled());
        QVERIFY(o.smiling());
        QCOMPARE(o.caption("EtichettaEsatti"), QStringLiteral(" 1"));
        QCOMPARE(o.caption("EtichettaErrati"), QStringLiteral(" 1"));

        o.nextQuestion(2, 1); // yet another word
        QCOMPARE(o.form->Parola, QStringLiteral("elmo"));
        QVERIFY(o.tilesEnabled());
    }

    void editedListCountsFromTheNextActivation()
    {
        Open o(1, 2);
        Lists edited = kLists;
        edited["a"] = "anatra\r\nalbero\r\nastro\r\n";
        o.writeLists(edited);
        o.answer(0);
        o.nextQuestion(1, 2);
        QCOMPARE(o.form->Parola, QStringLiteral("ala")); // still the list as read
        QCOMPARE(o.form->NumeroParole[1], qint16(2));
        o.activateAgain(1, 3, edited);
        QCOMPARE(o.form->Parola, QStringLiteral("astro"));
        QCOMPARE(o.form->NumeroParole[1], qint16(3));
    }

    void captionsFacesAndPictureChangeNothing()
    {
        Open o(4, 1);
        const auto clickAll = [&o] {
            for (const char *name : {"Label1_5", "Label4", "EtichettaEsatti", "EtichettaErrati"})
                clickAsUser(o.control(name));
            clickAsUser(o.control(o.smiling() ? "ComandoIconaSi" : "ComandoIconaNo"));
        };
        clickAll();
        o.answer(3);
        clickAll();
        QCOMPARE(o.h.sound.played.size(), 2);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(o.h.modulo->EserciziErrati.value(), 0);
        QVERIFY(o.smiling());

        // The picture and the figure say the word again, as often as wanted.
        clickAsUser(o.control("Image1"));
        clickAsUser(o.control("Command2"));
        clickAsUser(o.control("Command2"));
        QCOMPARE(o.h.sound.played.mid(2), QStringList(3, o.voice("oca")));
        QCOMPARE(o.form->Parola, QStringLiteral("oca"));
        QVERIFY(!o.tile(0)->isEnabled());
        QCOMPARE(o.h.random.draws, 3); // vowel, word, praise: nothing drawn since
    }

    // The right answer is the list the word came from, never its first letter.
    void rightAnswerIsTheWordsList()
    {
        Lists lists = kLists;
        lists["a"] = "\xE0ncora\r\n";
        lists["o"] = "uva\r\n";
        Open o(1, 1, lists);
        QCOMPARE(o.form->Parola, QStringLiteral("àncora"));
        QVERIFY(!o.form->window()->findChild<PictureBox *>("Image1")->showsPlaceholder());
        o.answer(0);
        QVERIFY(o.smiling());
        o.nextQuestion(4, 1, lists);
        QCOMPARE(o.form->Parola, QStringLiteral("uva"));
        o.answer(4);
        QVERIFY(o.sad());
        o.answer(3);
        QVERIFY(o.smiling());
    }

    void aReRecordedVoiceIsHeardAtTheNextReplay()
    {
        Open o(2, 1);
        QDir().mkpath(o.h.folder.filePath("voci"));
        QFile voice(o.voice("elmo"));
        QVERIFY(voice.open(QIODevice::WriteOnly) && voice.write(pcmWav(1000)) > 0);
        voice.close();
        MeasuringOutput output;
        SoundRouter router(output, [](const QString &) {});
        const auto replay = [&] {
            clickAsUser(o.control("Command2"));
            router.play(o.h.sound.played.last());
        };
        replay();
        replay();
        QVERIFY(voice.open(QIODevice::WriteOnly | QIODevice::Truncate) && voice.write(pcmWav(3000)) > 0);
        voice.close();
        replay();
        QCOMPARE(output.heard, QStringList({"elmo.wav 1000", "elmo.wav 1000", "elmo.wav 3000"}));
    }

    // A list that gives no word is never drawn; what is wrong with a list is
    // said once, however often the lists are read again.
    void badListsAreSkippedAndReportedOnce()
    {
        QByteArray fiftyOne;
        for (int i = 1; i <= 51; ++i)
            fiftyOne += "ape" + QByteArray::number(i) + "\r\n";
        const Lists lists = {{"a", fiftyOne}, {"e", ""}, {"i", "../fuori\r\nisola\r\n"}, {"u", " \r\n"}};
        Open o(1, 50, lists);
        QCOMPARE(o.form->NumeroParole[1], qint16(50));
        QCOMPARE(o.form->Parola, QStringLiteral("ape50"));
        QCOMPARE(o.form->NumeroParole[2], qint16(0));
        QCOMPARE(o.form->NumeroParole[3], qint16(1));
        QCOMPARE(o.form->NumeroParole[4], qint16(0));

        // E, O and U have no word: drawn again until a vowel with words comes.
        o.answer(0);
        o.h.random.scriptNumbers(5, {2, 4, 5, 3});
        o.h.random.scriptNumbers(1, {1});
        const int drawsBefore = o.h.random.draws;
        clickAsUser(o.control("Command1"));
        QCOMPARE(o.h.random.draws - drawsBefore, 5);
        QCOMPARE(o.form->VocaleGiusta, qint16(3));
        QCOMPARE(o.form->Parola, QStringLiteral("isola"));

        o.activateAgain(1, 1, lists);
        const QStringList expected = {
            "file mancante o illeggibile: " + o.h.media().wordList("o"),
            "parola scartata, non è un nome di file: \"../fuori\" in " + o.h.media().wordList("i"),
            "lista senza parole: " + o.h.media().wordList("e"),
            "lista senza parole: " + o.h.media().wordList("u"),
            "lista con più di 50 parole, usate le prime 50: " + o.h.media().wordList("a"),
        };
        for (const QString &line : expected)
            QVERIFY2(o.h.problems.count(line) == 1, qPrintable(line + "\n" + o.h.problems.join('\n')));
        QCOMPARE(o.h.problems.size(), expected.size());
        QVERIFY(o.h.boxes.shown.empty());
    }

    void noWordAtAllTellsTheAdultAndReturnsToTheMenu()
    {
        Open o(1, 1, {{"a", ""}, {"e", "\r\n\r\n"}, {"i", "a/b\r\n"}});
        QVERIFY(!o.form->isLoaded());
        QVERIFY(o.h.windows->form(FormId::Menu)->isLoaded());
        QVERIFY(o.h.sound.played.isEmpty());
        QCOMPARE(o.h.boxes.shown.size(), std::size_t(1));
        const MessageBox &box = o.h.boxes.shown.front();
        QCOMPARE(box.icon, MessageBox::Icon::Information);
        QCOMPARE(box.title, QStringLiteral("ZAMPLI"));
        QVERIFY2(box.text.contains(o.h.folder.filePath("testi")), qPrintable(box.text));
        for (const char *line : {"a.txt: nessuna parola", "e.txt: nessuna parola", "i.txt: nessuna parola",
                                 "o.txt: manca o non si può leggere", "u.txt: manca o non si può leggere"})
            QVERIFY2(box.text.contains(QString::fromUtf8(line)), qPrintable(box.text));

        // Once a list has a word again, the menu button opens the exercise.
        o.writeLists({{"o", "oca\r\n"}});
        clickAsUser(o.h.windows->form(FormId::Menu)->window()->findChild<QPushButton *>("Command12"));
        QVERIFY(o.form->isLoaded());
        QCOMPARE(o.form->Parola, QStringLiteral("oca"));
        QCOMPARE(o.h.sound.played, QStringList{o.voice("oca")});
    }

    // Each vowel comes with chance 1/5 whatever the lengths of the lists,
    // and a word may come twice in a row.
    void drawIsVowelFirstWithReplacement()
    {
        Lists lists = kLists;
        lists["e"] = "e1\r\ne2\r\ne3\r\ne4\r\ne5\r\ne6\r\ne7\r\ne8\r\n";
        Open o(1, 1, lists);
        std::map<int, int> vowels;
        std::map<QString, int> words;
        int repeats = 0;
        constexpr int kQuestions = 2000;
        for (int i = 0; i < kQuestions; ++i) {
            const QString before = o.form->Parola;
            o.answer(o.form->VocaleGiusta - 1);
            clickAsUser(o.control("Command1"));
            ++vowels[o.form->VocaleGiusta];
            ++words[o.form->Parola];
            repeats += o.form->Parola == before;
            QVERIFY(o.form->Parola.startsWith(QString("aeiou"[o.form->VocaleGiusta - 1])));
        }
        for (int v = 1; v <= 5; ++v)
            QVERIFY2(vowels[v] > 330 && vowels[v] < 470, qPrintable(QString::number(vowels[v])));
        QVERIFY(words["oca"] > 5 * words["e1"]);
        QVERIFY(repeats > 0);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), kQuestions);
    }

    // A replaced picture shows from its next showing; a missing one shows the word.
    void picturesAreReadEachTimeTheyAreShown()
    {
        Open o(2, 1);
        auto *image = o.form->window()->findChild<PictureBox *>("Image1");
        QCOMPARE(image->picture().pixelColor(5, 5).green() > 80, true);
        o.h.writePicture(o.h.media().wordPicture("elmo"), Qt::red);
        QVERIFY(QFile::remove(o.h.media().wordPicture("oca")));
        o.answer(1);
        o.nextQuestion(2, 1);
        QVERIFY(image->picture().pixelColor(5, 5).red() > 200);
        o.answer(1);
        o.nextQuestion(4, 1);
        QVERIFY(image->showsPlaceholder());
        QCOMPARE(image->placeholderText(), QStringLiteral("oca"));
        QCOMPARE(o.h.problems.filter("oca.jpg").size(), 1);
    }
};

QTEST_MAIN(IniziaPerTest)
#include "test_inizia_per.moc"
