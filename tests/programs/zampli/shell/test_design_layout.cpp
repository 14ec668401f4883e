// SPDX-License-Identifier: GPL-3.0-or-later
// The windows as designed: every control whole inside its window, and
// each one shown takes the clicks made on it.
#include "WordListFiles.h"
#include "fakes/Fakes.h"

#include "shell/Controls.h"
#include "shell/DesignCanvas.h"
#include "shell/Form.h"

#include <QtTest>

using namespace zampli;
using namespace zampli::test;

class DesignLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // At the size each window opens with, nothing on it runs past its client
    // area; and what the child clicks is what she sees there: at the middle
    // of every control shown, the window gives the click to that control or
    // to a part of it, never to another laid over it.
    void everyControlInsideItsWindowTakesItsOwnClicks_data()
    {
        QTest::addColumn<int>("id");
        const char *names[] = {"FormAvvio",      "FormMenu",       "FormPosizioni1", "FormPosizioni2", "FormPosizioni3",
                               "FormPosizioni4", "FormPosizioni5", "FormZampli1",    "FormZampli2",    "FormZampli3",
                               "FormZampli4",    "FormCaratteri1", "FormCaratteri2", "FormIniziaPer"};
        for (int id = int(FormId::Avvio); id <= int(FormId::IniziaPer); ++id)
            QTest::newRow(names[id]) << id;
    }
    void everyControlInsideItsWindowTakesItsOwnClicks()
    {
        QFETCH(int, id);
        Harness h;
        writeWordLists(h);
        Form *form = h.windows->form(FormId(id));
        form->Show();
        QVERIFY(form->isLoaded() && QTest::qWaitForWindowExposed(form->window()));
        const DesignCanvas *canvas = form->canvas();
        const QList<QWidget *> controls = canvas->findChildren<QWidget *>();
        QVERIFY(controls.size() >= 2);
        for (QWidget *w : controls) {
            const QRect on(w->mapTo(canvas, QPoint()), w->size());
            QVERIFY2(canvas->rect().contains(on), qPrintable(QStringLiteral("%1 %2: %3,%4 %5x%6 in %7x%8")
                                                                 .arg(form->objectName(), w->objectName())
                                                                 .arg(on.x()).arg(on.y()).arg(on.width())
                                                                 .arg(on.height()).arg(canvas->width())
                                                                 .arg(canvas->height())));
            // A group only gathers controls for the keyboard: nothing of its own to click.
            if (!w->isVisible() || w->testAttribute(Qt::WA_TransparentForMouseEvents) || qobject_cast<ControlGroup *>(w))
                continue;
            const QWidget *hit = canvas->childAt(w->mapTo(canvas, w->rect().center()));
            QVERIFY2(hit && (hit == w || w->isAncestorOf(hit)),
                     qPrintable(QStringLiteral("%1 %2: its middle goes to %3")
                                    .arg(form->objectName(), w->objectName(), hit ? hit->objectName() : "nothing")));
        }
    }
};

QTEST_MAIN(DesignLayoutTest)
#include "test_design_layout.moc"
