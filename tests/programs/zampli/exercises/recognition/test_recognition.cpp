// SPDX-License-Identifier: GPL-3.0-or-later
#include "Grounds.h"
#include "fakes/Fakes.h"

#include "exercises/recognition/PictureRecognition.h"
#include "shell/DesignCanvas.h"

#include <QFileInfo>
#include <QtTest>
#include <array>
#include <set>

using namespace zampli;
using namespace zampli::test;

namespace {

const QString kVowels = QStringLiteral("AEIOU");
const QColor kBrown(128, 64, 0), kNextBrown(128, 64, 64), kBlack(0, 0, 0), kRed(255, 0, 0);

// Every picture file gets a colour of its own, so a box shows which file it holds.
QColor fileColour(const QString &l, int s) { return QColor::fromHsv((kVowels.indexOf(l) * 5 + s) * 14, 255, 255); }
bool near(QColor a, QColor b) // the pictures are saved with lossy compression
{
    return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue()) < 30;
}

// The windows as designed, written out apart from the program's own tables. Faces tint after a right answer.
struct Design { int inPlay; bool letters; const char *menuButton; std::array<int, 5> lefts; };
const std::map<FormId, Design> kDesign = {
    {FormId::Posizioni3, {3, false, "Command3", {360, 3000, 5760, 360, 5760}}},
    {FormId::Zampli3, {3, true, "Command8", {360, 3000, 5760, 360, 5760}}},
    {FormId::Posizioni4, {5, false, "Command4", {360, 2880, 5400, 360, 5400}}},
    {FormId::Zampli4, {5, true, "Command9", {360, 3000, 5760, 360, 5760}}},
};

struct Open {
    Harness h;
    const Design &d;
    PictureRecognition *form = nullptr;

    // The first turn puts A..U in boxes 0..4 and speaks A.
    explicit Open(FormId id) : d(kDesign.at(id))
    {
        for (QChar l : kVowels)
            for (int style = 0; style <= 4; ++style)
                h.writePicture(style ? h.media().letterPicture(l, style) : h.media().facePicture(l),
                               fileColour(l, style));
        if (d.letters)
            h.random.scriptNumbers(4, {1});
        h.random.scriptNumbers(5, {1, 2, 3, 4, 5, 1});
        form = &h.windows->form<PictureRecognition>(id);
        form->Show();
    }
    template <class W = QWidget> W *control(const QString &name) const { return form->window()->findChild<W *>(name); }
    PictureBox *box(int k) const { return control<PictureBox>(QStringLiteral("Image1_%1").arg(k)); }
    QRect twips(int k) const { return QRect(d.lefts[k], k < 3 ? 480 : 3600, 2415, 2175); }
    QColor background() const { return groundPainted(form->window()); }
    int right() const { return h.modulo->EserciziEseguiti.value(); }
    int wrong() const { return h.modulo->EserciziErrati.value(); }
    QString heard() const { return QFileInfo(h.sound.played.back()).completeBaseName(); } // the last sound's name
    int answerBox() const { int k = 0; while (k < 5 && box(k)->tag() != heard()) ++k; return k; }
    void answer() { clickAsUser(box(answerBox())); }
    void next() { clickAsUser(control("Command2")); }
    bool answered() const { return control("Shape1")->isVisible() && control("Command2")->isVisible(); }
    QColor shows(int k) const { return fileColour(box(k)->tag(), d.letters ? form->Stile : 0); }
    // Every vowel once, the spoken one in play, only boxes in play seen, each showing its file in the turn's style.
    void checkTurn() const
    {
        std::set<QString> tags;
        for (int k = 0; k < 5; ++k) {
            tags.insert(box(k)->tag());
            QVERIFY(box(k)->isVisible() == (k < d.inPlay) && !box(k)->showsPlaceholder() &&
                    near(box(k)->picture().pixelColor(20, 15), shows(k)));
        }
        QCOMPARE(tags, (std::set<QString>{"A", "E", "I", "O", "U"}));
        QVERIFY(answerBox() < d.inPlay);
    }
};

} // namespace

class RecognitionTest : public QObject {
    Q_OBJECT

private slots:
    // The window as designed; wrong, right and locked; Command1 repeats the voice at any time and changes
    // nothing; the window active again while answered says a new vowel in a clean turn the child can answer.
    // Then many turns at the design size and twice as large, leaving through "Esci" and back through the menu
    // now and then; the red frame placed on each picture answered; every place in play holds the answer.
    void play_data()
    {
        QTest::addColumn<int>("id");
        for (const auto &[id, d] : kDesign)
            QTest::newRow(exerciseWindow(id).name()) << int(id);
    }
    void play()
    {
        QFETCH(int, id);
        Open o{FormId(id)}; // the first turn of a run may speak any box
        QVERIFY(QTest::qWaitForWindowActive(o.form->window()));
        auto *command1 = o.control<PictureButton>("Command1");
        QVERIFY(o.background() == kBrown && o.control("Shape1")->isHidden() && o.control("Command2")->isHidden());
        QCOMPARE(o.h.random.draws, 6 + int(o.d.letters));
        o.checkTurn();
        const QString voice = o.h.media().voice("A"), error = o.h.media().errorSound();
        clickAsUser(o.box(1));
        clickAsUser(o.box(1)); // counts again
        clickAsUser(command1); // the voice again, at any time, changing nothing
        QVERIFY(o.wrong() == 2 && o.right() == 0 && !o.answered() && o.background() == kBlack);
        QCOMPARE(o.h.sound.played, QStringList({voice, error, error, voice}));
        clickAsUser(o.box(0));
        clickAsUser(command1);
        for (int k = 0; k < o.d.inPlay; ++k) // a child may still click a locked picture: nothing happens
            QTest::mouseClick(o.box(k), Qt::LeftButton);
        QVERIFY(o.right() == 1 && o.wrong() == 2 && o.answered() && o.background() == (o.d.letters ? kBlack : kRed));
        QCOMPARE(o.h.sound.played, QStringList({voice, error, error, voice, voice})); // a right answer is silent
        o.h.windows->form(FormId::Menu)->Show(); // left open beside the window
        o.h.modulo->EserciziEseguiti = 3;
        for (QWidget *w : {o.h.windows->form(FormId::Menu)->window(), o.form->window()}) {
            w->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(w));
        }
        QVERIFY(o.h.sound.played.size() == 6 && o.heard() != "A" && !o.answered() && o.right() == 3);
        QCOMPARE(o.background(), kNextBrown);
        o.checkTurn();
        o.answer(); // the vowel just heard
        QVERIFY(o.right() == 4 && o.wrong() == 0 && o.answered()); // the menu's load cleared the wrong ones
        o.next();
        constexpr int kTurns = 2000;
        std::set<int> answerPlaces;
        for (int turn = 1; turn <= kTurns && !QTest::currentTestFailed(); ++turn) {
            const QString before = o.heard();
            const QColor was = o.background();
            const int k = o.answerBox(), large = turn % 500 >= 250, line = large ? 10 : 5, width = large ? 1248 : 624;
            answerPlaces.insert(k);
            o.form->window()->resize(width, width * 7200 / 9360 + 200);
            o.answer();
            auto *shape1 = o.control<OutlineFrame>("Shape1");
            QVERIFY(o.answered() && o.form->canvas()->twips(shape1) == o.twips(k) && shape1->lineWidth() == line);
            QCOMPARE(o.background(), o.d.letters ? was : kVowelGround.value(o.heard()));
            if (turn % 200 == 0) { // out through "Esci", back through the menu
                o.h.boxes.answers = {MessageBox::Answer::Yes};
                o.control<QAction>("mnuEsci")->trigger();
                clickAsUser(o.h.windows->form(FormId::Menu)->window()->findChild<QWidget *>(o.d.menuButton));
                QVERIFY(o.background() == kBrown && !o.answered());
            } else {
                o.next();
                QVERIFY(o.background() == kNextBrown && !o.answered());
            }
            QVERIFY(o.heard() != before);
            o.checkTurn();
        }
        const std::set<int> inPlay = o.d.inPlay == 5 ? std::set<int>{0, 1, 2, 3, 4} : std::set<int>{0, 1, 2};
        QCOMPARE(answerPlaces, inPlay);
    }

};

QTEST_MAIN(RecognitionTest)
#include "test_recognition.moc"
