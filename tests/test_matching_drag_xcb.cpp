// Drags as a child makes them, on a real X server: the mouse through XTest
// (xdotool), a finger through touch events, and a drag given up with Escape.
// The program runs itself again under its own Xvfb on the xcb platform,
// where a drag runs its own loop until the button or the finger is lifted.

#include "MatchingPictures.h"

#include "exercises/matching/CharacterDragMatching.h"
#include "shell/DesignCanvas.h"

#include <QDrag>

#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <unistd.h>
#include <vector>

using namespace zampli;
using namespace zampli::test;

namespace {

QStringList point(QPoint p) { return {QString::number(p.x()), QString::number(p.y())}; }

// Runs xdotool with `args` without waiting for it: a drag is under way.
QProcess *xdotool(QObject *owner, const QStringList &args)
{
    auto *p = new QProcess(owner);
    p->start(QStringLiteral("xdotool"), args);
    return p;
}

struct Window {
    Harness h;
    CharacterDragMatching *form = nullptr;

    Window()
    {
        writeColouredPictures(h);
        form = &h.windows->form<CharacterDragMatching>(FormId::Caratteri2);
        form->Show();
        QVERIFY(QTest::qWaitForWindowExposed(form->window()));
        QVERIFY(QTest::qWaitForWindowActive(form->window()));
    }
    DragPiece *piece(int k) const { return form->window()->findChild<DragPiece *>(QStringLiteral("Image1_%1").arg(k)); }
    PictureBox *box(int k) const { return form->window()->findChild<PictureBox *>(QStringLiteral("Image3_%1").arg(k)); }
    static QPoint centre(QWidget *w) { return w->mapToGlobal(w->rect().center()); }
    QPoint inWindow(QWidget *w) const { return w->mapTo(form->window(), w->rect().center()); }
    bool filled(int k) const { return shows(box(k), kVowels[k], 1); }
};

} // namespace

class MatchingDragXcbTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(QProcess::execute("xdotool", {"version"}) == 0, "xdotool is needed");
    }

    void mouseDragFillsTheBox()
    {
        Window w;
        const QPoint from = Window::centre(w.piece(3));
        const QPoint to = Window::centre(w.box(3));
        const QPoint half = (from + to) / 2;
        QCOMPARE(QProcess::execute("xdotool", QStringList{"mousemove"} + point(from) + QStringList{"mousedown", "1"}), 0);
        // Once the drag runs its own loop: over the middle, onto the box, release.
        QTimer::singleShot(300, this, [&] {
            xdotool(this, QStringList{"mousemove"} + point(half) + QStringList{"sleep", "0.2", "mousemove"} +
                              point(to + QPoint(3, 3)) + QStringList{"sleep", "0.2", "mousemove"} + point(to) +
                              QStringList{"sleep", "0.2", "mouseup", "1"});
        });
        QTRY_VERIFY_WITH_TIMEOUT(w.filled(3), 10000);
        QVERIFY(isEmptyBox(w.piece(3)));
        QVERIFY(!w.piece(3)->isEnabled());
        QCOMPARE(w.h.sound.played, QStringList{w.h.media().voice("O")});
        QCOMPARE(w.h.modulo->EserciziEseguiti.value(), 1);
        QCOMPARE(w.form->canvas()->background(), vowelColour("O"));
    }

    void escapeGivesTheDragUp()
    {
        Window w;
        const QPoint from = Window::centre(w.piece(1));
        const QPoint to = Window::centre(w.box(1));
        QCOMPARE(QProcess::execute("xdotool", QStringList{"mousemove"} + point(from) + QStringList{"mousedown", "1"}), 0);
        QProcess *rest = nullptr;
        QTimer::singleShot(300, this, [&] {
            rest = xdotool(this, QStringList{"mousemove"} + point(to) + QStringList{"sleep", "0.3", "key", "Escape",
                                                                                     "sleep", "0.3", "mouseup", "1"});
        });
        QTRY_VERIFY_WITH_TIMEOUT(rest && rest->state() == QProcess::NotRunning, 10000);
        QTRY_VERIFY(!w.piece(1)->findChild<QDrag *>());
        QVERIFY(isEmptyBox(w.box(1)));
        QVERIFY(w.piece(1)->isEnabled());
        QVERIFY(shows(w.piece(1), "E", 1));
        QCOMPARE(w.h.modulo->EserciziEseguiti.value(), 0);
        QCOMPARE(w.h.modulo->EserciziErrati.value(), 0);
        QVERIFY(w.h.sound.played.isEmpty());
    }

    void aFingerDragsAsTheMouseDoes()
    {
        Window w;
        QPointingDevice *finger = QTest::createTouchDevice();
        QWidget *window = w.form->window();
        const QPoint from = w.inWindow(w.piece(4));
        const QPoint to = w.inWindow(w.box(4));
        const QPoint wrongBox = w.inWindow(w.box(0));
        bool lifted = false;
        // The press starts the drag and its loop; the finger moves and lifts inside it.
        QTimer::singleShot(300, this, [&] {
            QTest::touchEvent(window, finger).move(0, (from + to) / 2);
            QTest::touchEvent(window, finger).move(0, to);
            QTest::touchEvent(window, finger).move(0, to + QPoint(2, 2));
            QTest::touchEvent(window, finger).release(0, to + QPoint(2, 2));
            lifted = true;
        });
        QTest::touchEvent(window, finger).press(0, from);
        QTRY_VERIFY_WITH_TIMEOUT(lifted, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w.filled(4), 5000);
        QVERIFY(!w.piece(4)->isEnabled());
        QCOMPARE(w.h.sound.played, QStringList{w.h.media().voice("U")});

        // The same finger on another piece, lifted over a wrong box.
        lifted = false;
        const QPoint other = w.inWindow(w.piece(2));
        QTimer::singleShot(300, this, [&] {
            QTest::touchEvent(window, finger).move(0, wrongBox);
            QTest::touchEvent(window, finger).move(0, wrongBox + QPoint(2, 2));
            QTest::touchEvent(window, finger).release(0, wrongBox + QPoint(2, 2));
            lifted = true;
        });
        QTest::touchEvent(window, finger).press(0, other);
        QTRY_VERIFY_WITH_TIMEOUT(lifted, 10000);
        QTRY_COMPARE(w.h.modulo->EserciziErrati.value(), 1);
        QVERIFY(w.piece(2)->isEnabled());
        QVERIFY(isEmptyBox(w.box(0)));
    }
};

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("ZAMPLI_OWN_XVFB")) {
        // Again, on an X server of its own.
        qputenv("ZAMPLI_OWN_XVFB", "1");
        std::vector<char *> args{const_cast<char *>("xvfb-run"), const_cast<char *>("-a"), const_cast<char *>("-s"),
                                 const_cast<char *>("-screen 0 1280x800x24")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("xvfb-run", args.data());
        perror("xvfb-run");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    MatchingDragXcbTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_matching_drag_xcb.moc"
