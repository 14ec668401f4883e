// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as designed: every control whole inside its window, the twips
// of the windows whose layout nothing else checks, read from where the window
// shows each control, and the Opzioni captions.
#include "fakes/Fakes.h"

#include "shell/DesignCanvas.h"
#include "shell/Form.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QtTest>
#include <map>

using namespace zampli;
using namespace zampli::test;

namespace {

using Twips = std::map<QString, QRect>; // control's design name → left, top, width, height

// One word a list, so "INIZIA PER" has something to ask and stays open.
void writeLists(const Harness &h)
{
    QDir().mkpath(h.folder.filePath("testi"));
    for (const char *l : {"a", "e", "i", "o", "u"}) {
        QFile list(h.media().wordList(QString::fromLatin1(l)));
        QVERIFY(list.open(QIODevice::WriteOnly) && list.write(QByteArray(l) + "pe\r\n") > 0);
    }
}

Form *opened(Harness &h, FormId id)
{
    Form *form = h.windows->form(id);
    form->Show();
    return form;
}

// Where the window shows each control, in twips: the window sized so that its
// canvas is the design at 15 twips to a pixel, each control's place in what
// holds it (the canvas, or the control it is part of) in pixels times 15.
void checkShown(Form *form, const Twips &twips)
{
    QWidget *window = form->window();
    const DesignCanvas *canvas = form->canvas();
    const QSize designPixels = canvas->designSize() / 15;
    // Again until it holds: the menu bar may take another height at the new width.
    const auto fitted = [&] {
        window->resize(window->size() + designPixels - canvas->size());
        return canvas->size();
    };
    QTRY_COMPARE(fitted(), designPixels);
    for (const auto &[name, expected] : twips) {
        const QWidget *w = window->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(QRect(w->pos() * 15, w->size() * 15), expected);
    }
}

QStringList opzioni(const Form *form)
{
    QStringList captions;
    if (const auto *menu = form->window()->findChild<QMenu *>("mnuOpzioni"))
        for (const QAction *item : menu->actions())
            captions << item->text();
    return captions;
}

} // namespace

class DesignLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // At the size each window opens with, nothing on it runs past its client area.
    void everyControlLiesInsideItsWindow_data()
    {
        QTest::addColumn<int>("id");
        const char *names[] = {"FormAvvio",      "FormMenu",       "FormPosizioni1", "FormPosizioni2", "FormPosizioni3",
                               "FormPosizioni4", "FormPosizioni5", "FormZampli1",    "FormZampli2",    "FormZampli3",
                               "FormZampli4",    "FormCaratteri1", "FormCaratteri2", "FormIniziaPer"};
        for (int id = int(FormId::Avvio); id <= int(FormId::IniziaPer); ++id)
            QTest::newRow(names[id]) << id;
    }
    void everyControlLiesInsideItsWindow()
    {
        QFETCH(int, id);
        Harness h;
        writeLists(h);
        Form *form = opened(h, FormId(id));
        QVERIFY(form->isLoaded());
        const DesignCanvas *canvas = form->canvas();
        const QList<QWidget *> controls = canvas->findChildren<QWidget *>();
        QVERIFY(controls.size() >= 2);
        for (const QWidget *w : controls) {
            const QRect on(w->mapTo(canvas, QPoint()), w->size());
            QVERIFY2(canvas->rect().contains(on),
                     qPrintable(QStringLiteral("%1 %2: %3,%4 %5x%6 in %7x%8")
                                    .arg(form->objectName(), w->objectName())
                                    .arg(on.x())
                                    .arg(on.y())
                                    .arg(on.width())
                                    .arg(on.height())
                                    .arg(canvas->width())
                                    .arg(canvas->height())));
        }
    }

    void posizioni5AsDesigned()
    {
        Harness h;
        checkShown(opened(h, FormId::Posizioni5),
                   {{"Image1_0", {120, 480, 1695, 1575}},
                    {"Image1_1", {1920, 480, 1695, 1575}},
                    {"Image1_2", {3720, 480, 1695, 1575}},
                    {"Image1_3", {5520, 480, 1695, 1575}},
                    {"Image1_4", {7320, 480, 1695, 1575}},
                    {"Image2", {2400, 2760, 2775, 2535}},
                    {"Command1", {6000, 2640, 1815, 1695}},
                    {"Command2", {6000, 4680, 1815, 975}}});
    }

    void caratteri1AsDesigned()
    {
        Harness h;
        checkShown(opened(h, FormId::Caratteri1),
                   {{"Image1_0", {120, 480, 1695, 1575}},
                    {"Image1_1", {1920, 480, 1695, 1575}},
                    {"Image1_2", {3720, 480, 1695, 1575}},
                    {"Image1_3", {5520, 480, 1695, 1575}},
                    {"Image1_4", {7320, 480, 1695, 1575}},
                    {"Image3_0", {120, 2400, 1695, 1575}},
                    {"Image3_1", {1920, 2400, 1695, 1575}},
                    {"Image3_2", {3720, 2400, 1695, 1575}},
                    {"Image3_3", {5520, 2400, 1695, 1575}},
                    {"Image3_4", {7320, 2400, 1695, 1575}},
                    {"Image2", {3240, 4920, 2055, 1815}},
                    {"Command2", {7920, 5640, 1815, 975}}});
    }

    // The letters are placed inside their tiles, relative to them.
    void iniziaPerAsDesigned()
    {
        Harness h;
        writeLists(h);
        checkShown(opened(h, FormId::IniziaPer),
                   {{"Frame1_0", {0, 0, 2415, 2535}},
                    {"Frame1_1", {2400, 0, 2415, 2535}},
                    {"Frame1_2", {4800, 0, 2415, 2535}},
                    {"Frame1_3", {7200, 0, 2415, 2535}},
                    {"Frame1_4", {9600, 0, 2415, 2535}},
                    {"Label1_0", {480, 240, 1215, 1095}},
                    {"Label1_1", {720, 120, 1215, 1095}},
                    {"Label1_2", {600, 120, 1215, 1095}},
                    {"Label1_3", {600, 0, 1215, 1095}},
                    {"Label1_4", {600, 120, 1215, 1095}},
                    {"Label1_5", {360, 4860, 735, 375}},
                    {"Label4", {360, 5280, 735, 495}},
                    {"EtichettaEsatti", {1200, 4680, 975, 615}},
                    {"EtichettaErrati", {1200, 5190, 855, 615}},
                    {"ComandoIconaSi", {720, 3480, 855, 750}},
                    {"ComandoIconaNo", {720, 3480, 855, 750}},
                    {"Image1", {2880, 3480, 2535, 2415}},
                    {"Command2", {6840, 4320, 1695, 1575}},
                    {"Command1", {9000, 4920, 1575, 975}}});
    }

    void opzioniCaptions()
    {
        Harness h;
        writeLists(h);
        const QStringList five{"tutti i caratteri", "stampato maiuscolo", "stampato minuscolo", "corsivo maiuscolo",
                               "corsivo minuscolo"};
        const QStringList eight{"stampato minuscolo/maiuscolo", "stampato maiuscolo/minuscolo",
                                "corsivo minuscolo/maiuscolo",  "corsivo maiuscolo/minuscolo",
                                "maiuscolo stampato/corsivo",   "maiuscolo corsivo/stampato",
                                "minuscolo stampato/corsivo",   "minuscolo corsivo/stampato"};
        const std::pair<FormId, QStringList> windows[] = {
            {FormId::Posizioni1, {}},    {FormId::Zampli1, five},     {FormId::Posizioni2, {}},
            {FormId::Zampli2, five},     {FormId::Posizioni3, {}},    {FormId::Zampli3, five},
            {FormId::Posizioni4, {}},    {FormId::Zampli4, five},     {FormId::Posizioni5, five},
            {FormId::Caratteri1, eight}, {FormId::Caratteri2, eight}, {FormId::IniziaPer, {}},
        };
        for (const auto &[id, captions] : windows) {
            Form *form = opened(h, id);
            QCOMPARE(opzioni(form), captions);
            if (!captions.isEmpty())
                QCOMPARE(form->window()->findChild<QMenu *>("mnuOpzioni")->title(), QStringLiteral("&Opzioni          "));
            form->Unload();
        }
    }
};

QTEST_MAIN(DesignLayoutTest)
#include "test_design_layout.moc"
