// SPDX-License-Identifier: GPL-3.0-or-later
#include "Grounds.h"
#include "fakes/Fakes.h"

#include "exercises/listening/FivePictureListening.h"
#include "shell/DesignCanvas.h"

#include <QMenu>
#include <QtTest>
#include <algorithm>
#include <ranges>

using namespace zampli;
using namespace zampli::test;

namespace {

// Each picture file in a colour of its own, so a test can tell which file a box shows.
QColor fileColour(int style) { return QColor::fromHsv(40 + 60 * style, 200, 200); }

bool looksLike(const QImage &image, const QColor &colour)
{
    const QColor c = image.pixelColor(image.width() / 2, image.height() / 2);
    return qAbs(c.red() - colour.red()) < 12 && qAbs(c.green() - colour.green()) < 12 &&
           qAbs(c.blue() - colour.blue()) < 12;
}

struct Open {
    Harness h;
    FivePictureListening *form = nullptr;

    // `draws`: the style (FormZampli2 only) and the places of the first arrangement.
    Open(FormId id, std::initializer_list<double> draws)
    {
        for (const char *l : {"A", "E", "I", "O", "U"}) {
            h.writePicture(h.media().facePicture(l), fileColour(0));
            for (int style = 1; style <= 4; ++style)
                h.writePicture(h.media().letterPicture(l, style), fileColour(style));
        }
        h.random.script(draws);
        form = &h.windows->form<FivePictureListening>(id);
        form->Show();
    }
    PictureBox *box(int k) const { return form->window()->findChild<PictureBox *>(QString("Image1_%1").arg(k)); }
    PictureBox *enlarged() const { return form->window()->findChild<PictureBox *>("Image2"); }
    QString tags() const { return box(0)->tag() + box(1)->tag() + box(2)->tag() + box(3)->tag() + box(4)->tag(); }
    // The five shown to choose from, the large picture gone.
    bool choosing() const
    {
        return enlarged()->isHidden() &&
               std::ranges::all_of(std::views::iota(0, 5), [&](int k) { return box(k)->isVisible(); });
    }
    QColor background() const { return groundPainted(form->window()); }
    void tick(double afterSeconds)
    {
        h.clock.advance(afterSeconds);
        form->Timer1_Timer();
    }
    // Listens to place k and waits until the five are back.
    void listen(int k)
    {
        clickAsUser(box(k));
        tick(2.5);
    }
};

// Values that make the place draw 0..4 yield `place`.
double place(int p) { return (p + 0.5) / 5; }
double style(int s) { return (s - 0.5) / 4; }

} // namespace

class FivePictureListeningTest : public QObject {
    Q_OBJECT

private slots:
    void openingArrangesTheFiveSilently()
    {
        // Style 2; A at place 3, E at 0, I: 3 taken then 4, O at 1, U: 0, 4 taken then 2.
        Open o(FormId::Zampli2, {style(2), place(3), place(0), place(3), place(4), place(1), place(0),
                                 place(4), place(2)});
        QCOMPARE(o.tags(), QStringLiteral("EOUAI"));
        QCOMPARE(o.form->Stile, qint16(2));
        for (int k = 0; k < 5; ++k)
            QVERIFY2(looksLike(o.box(k)->picture(), fileColour(2)), qPrintable(o.box(k)->tag()));
        QVERIFY(o.h.sound.played.isEmpty());
        QVERIFY(o.choosing());
        QCOMPARE(o.background(), kLightOrange);
        QCOMPARE(o.h.modulo->Contatore.value(), 0);
        // The big picture lies over the middle one.
        QCOMPARE(o.form->canvas()->twips(o.enlarged()), QRect(1920, 1320, 4335, 4095));
    }

    void listeningShowsSaysAndComesBackAfterMoreThanTwoSeconds()
    {
        Open o(FormId::Posizioni2, {place(0), place(1), place(2), place(3), place(4)});
        clickAsUser(o.box(2)); // I
        QVERIFY(o.enlarged()->isVisible());
        for (int k = 0; k < 5; ++k)
            QVERIFY(!o.box(k)->isVisible());
        QVERIFY(looksLike(o.enlarged()->picture(), fileColour(0)));
        QCOMPARE(o.background(), QColor(0, 0, 255));
        QCOMPARE(o.h.sound.played, QStringList{o.h.media().voice("I")});
        QCOMPARE(o.h.modulo->Percorso, o.h.media().voice("I"));
        QCOMPARE(o.h.modulo->Contatore.value(), 1);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);

        // The enlarged picture says nothing.
        clickAsUser(o.enlarged());
        QCOMPARE(o.h.sound.played.size(), 1);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 1);

        o.tick(1.0);
        QVERIFY(!o.choosing());
        o.tick(1.0); // exactly two seconds: not yet
        QVERIFY(!o.choosing());
        o.tick(1.0);
        QVERIFY(o.choosing());
        QCOMPARE(o.background(), kLightOrange);
        QCOMPARE(o.tags(), QStringLiteral("AEIOU"));
        QVERIFY(!o.form->window()->findChild<QMenu *>("mnuOpzioni")); // faces only, no styles
    }

    void fifthReturnBringsANewArrangement()
    {
        Open o(FormId::Posizioni2, {place(0), place(1), place(2), place(3), place(4)});
        // The same picture twice counts twice.
        for (int k : {4, 4, 0, 1}) {
            o.listen(k);
            QCOMPARE(o.tags(), QStringLiteral("AEIOU"));
        }
        QCOMPARE(o.h.modulo->Contatore.value(), 4);
        o.h.random.script({place(4), place(3), place(2), place(1), place(0)});
        o.listen(2);
        QCOMPARE(o.tags(), QStringLiteral("UOIEA"));
        QCOMPARE(o.h.modulo->Contatore.value(), 0);
        QCOMPARE(o.h.modulo->EserciziEseguiti.value(), 5);
        QCOMPARE(o.h.sound.played.size(), 5);
        QCOMPARE(o.h.sound.played[0], o.h.sound.played[1]);
        QVERIFY(o.choosing());
    }

    void stylesAndActivation()
    {
        Open o(FormId::Zampli2, {style(1)});
        o.listen(0);
        const auto allInStyle = [&](int s) {
            for (int k = 0; k < 5; ++k)
                if (!looksLike(o.box(k)->picture(), fileColour(s)))
                    return false;
            return o.form->Stile == s;
        };
        // A style item rearranges at once, silently, and leaves the count alone.
        o.form->window()->findChild<QAction *>("mnuCaratteri_3")->trigger();
        QVERIFY(allInStyle(3));
        QCOMPARE(o.h.modulo->Contatore.value(), 1);
        QCOMPARE(o.h.sound.played.size(), 1);
        // With every style allowed, each arrangement draws its own.
        o.form->window()->findChild<QAction *>("mnuCaratteri_0")->trigger();
        o.h.random.script({style(4)});
        for (int i = 0; i < 4; ++i)
            o.listen(i);
        QVERIFY(allInStyle(4));

        // Activation while listening: the count restarts, the five wait for the
        // next qualifying tick, the style choice is forgotten but keeps its check mark.
        o.form->window()->findChild<QAction *>("mnuCaratteri_2")->trigger();
        clickAsUser(o.box(1));
        o.h.windows->form(FormId::Menu)->Show();
        o.h.random.script({style(1)});
        o.h.windows->activation.activated(*o.form);
        QCOMPARE(o.h.modulo->Contatore.value(), 0);
        QVERIFY(o.enlarged()->isHidden() && !o.box(0)->isVisible() && !o.box(4)->isVisible());
        QVERIFY(!o.form->StileFisso && allInStyle(1));
        QCOMPARE(checkedStyleItem(*o.form), 2);
        QCOMPARE(o.h.sound.played.size(), 6);
        o.tick(2.5);
        QVERIFY(o.choosing());
    }
};

QTEST_MAIN(FivePictureListeningTest)
#include "test_five_picture_listening.moc"
