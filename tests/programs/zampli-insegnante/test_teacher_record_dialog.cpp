// SPDX-License-Identifier: GPL-3.0-or-later
// The recording window before anything is recorded: it names the word,
// offers nothing to press until a microphone answers, says in her words
// why there is none, and closes without a question when there is nothing to
// lose. Recording itself, on a private sound server: test_teacher_recording.
#include "PushButtons.h"
#include "fakes/Fakes.h"
#include "imports/VoiceRecorder.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"

#include <QtTest>
#include <QtWidgets>

using namespace zampli;
using namespace zampli::teacher;

namespace {

// The window the teacher records from, over a window of hers, for the word «ape».
struct Recording {
    test::RecordingSoundPlayer player;
    VoiceRecorder recorder;
    TeacherServices services{player, recorder};
    QWidget parent;
    QPointer<QDialog> dialog; // gone once closed
    QString target;

    explicit Recording(const QString &folder) : target(folder + "/voci/ape.wav")
    {
        parent.show();
        openRecorder(&parent, services, target, QStringLiteral("ape"), [] {});
        dialog = parent.findChild<QDialog *>("registra");
        if (!dialog || !QTest::qWaitForWindowActive(dialog))
            qFatal("the recording window does not show");
    }
    QString status() { return dialog->findChild<QLabel *>("stato")->text(); }
};

} // namespace

class TeacherRecordDialogTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path())); }

    void itNamesTheWord()
    {
        Recording r(dir_.path());
        QCOMPARE(r.dialog->windowTitle(), QStringLiteral("Registra la voce: ape"));
        bool told = false;
        for (const QLabel *label : r.dialog->findChildren<QLabel *>())
            told = told || label->text().contains(QStringLiteral("di' «ape» con calma"));
        QVERIFY(told);
    }

    // Until a microphone answers there is nothing to record, hear or save.
    void itLooksForTheMicrophoneFirst()
    {
        Recording r(dir_.path());
        QCOMPARE(r.status(), QStringLiteral("Cerco il microfono…"));
        QVERIFY(!zampli::test::buttonSaying(r.dialog, "Registra")->isEnabled());
        QVERIFY(!zampli::test::buttonSaying(r.dialog, "Ferma")->isEnabled());
        QVERIFY(!zampli::test::buttonSaying(r.dialog, "Ascolta")->isEnabled());
        QVERIFY(!zampli::test::buttonSaying(r.dialog, "Salva")->isEnabled());
    }

    void withoutASoundServerItSaysSoAndRecordsNothing()
    {
        qputenv("PULSE_SERVER", QFile::encodeName("unix:" + dir_.filePath("nessun-server")));
        Recording r(dir_.path());
        r.recorder.probe();
        QTRY_COMPARE(r.status(), QStringLiteral("Non si può registrare: il server dei suoni del desktop (PulseAudio o "
                                                "PipeWire) non risponde. Puoi sempre importare una voce registrata "
                                                "con un altro programma."));
        QVERIFY(!zampli::test::buttonSaying(r.dialog, "Registra")->isEnabled());
        qunsetenv("PULSE_SERVER");
    }

    // Escape with nothing recorded closes at once: there is nothing to throw away.
    void escapeWithNothingRecordedClosesWithoutAsking()
    {
        Recording r(dir_.path());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : r.dialog, Qt::Key_Escape);
        QTRY_VERIFY(!r.dialog || !r.dialog->isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!QFileInfo::exists(r.target));
    }
};

QTEST_MAIN(TeacherRecordDialogTest)

#include "test_teacher_record_dialog.moc"
