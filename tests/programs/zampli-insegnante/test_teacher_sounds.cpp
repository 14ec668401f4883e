// SPDX-License-Identifier: GPL-3.0-or-later
// The «Vocali e suoni» tab as the teacher uses it: a row for each vowel's
// voice and each sound after an answer, saying when it is heard and whether
// it is ready; «Ascolta» plays that row's file and only a file there is; a
// file imported for the row chosen becomes that row's sound, and one that is
// no sound is refused by name with the old one kept.
#include "SoundFiles.h"
// After SoundFiles.h: its own writeFile would find this one too.
#include "CopyFiles.h"
#include "TeacherWindow.h"

#include <QtTest>
#include <QtWidgets>

using namespace zampli;
using namespace zampli::teacher;

namespace {

// The teacher's answer to the file chooser.
struct ChosenFile : FileChoice {
    QString file;
    QString choose(QWidget *, const QString &) override { return file; }
};

// A copy with its five lists, the voice of A and the error sound.
QString makeCopy(const QString &folder)
{
    for (const char *media : {"testi", "voci", "suoni"})
        QDir().mkpath(folder + "/" + media);
    for (const char *vowel : {"a", "e", "i", "o", "u"})
        test::writeFile(folder + "/testi/" + vowel + ".txt", "");
    test::writeSound(folder + "/voci/A.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1);
    test::writeSound(folder + "/suoni/no.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1);
    return folder;
}

// The teacher's window with «Vocali e suoni» chosen by a click on its tab.
struct Window : test::TeacherWindow {
    explicit Window(const QString &folder) : TeacherWindow(folder)
    {
        if (!clickTab(QStringLiteral("Vocali e suoni")))
            qFatal("no «Vocali e suoni» tab");
    }
    QWidget *tab() { return window.findChild<QWidget *>("suoni"); }
    QTableWidget *table() { return tab()->findChild<QTableWidget *>("elencoSuoni"); }
    QString message() { return tab()->findChild<QLabel *>("messaggio")->text(); }
    QStringList column(int c)
    {
        QStringList texts;
        for (int row = 0; row < table()->rowCount(); ++row)
            texts << table()->item(row, c)->text();
        return texts;
    }
    QAbstractButton *listen(int row) { return qobject_cast<QAbstractButton *>(table()->cellWidget(row, 2)); }
    // The row chosen by a click on its name.
    void choose(int row)
    {
        const QRect cell = table()->visualRect(table()->model()->index(row, 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    QAbstractButton *button(const QString &text)
    {
        for (QAbstractButton *b : tab()->findChildren<QAbstractButton *>())
            if (b->text().remove('&') == text && b->isVisible() && b->isEnabled())
                return b;
        return nullptr;
    }
};

constexpr int kPraiseTwo = 6, kError = 9;

} // namespace

class TeacherSoundsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    ChosenFile chosen_;
    int copies_ = 0;

    QString copy() { return makeCopy(dir_.filePath(QStringLiteral("copia%1").arg(++copies_))); }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.filePath("config")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.filePath("data")));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(dir_.path()));
        setFileChoice(&chosen_);
    }
    void cleanupTestCase() { setFileChoice(nullptr); }

    // «Ascolta» plays that row's file, and only a file there is.
    void eachVoiceAndSoundHasARowSayingWhenItIsHeard()
    {
        const QString folder = copy();
        Window w(folder);
        QCOMPARE(w.column(0), (QStringList{"Vocale A", "Vocale E", "Vocale I", "Vocale O", "Vocale U", "Lode 1 (si1)",
                                          "Lode 2 (si2)", "Lode 3 (si3)", "Lode 4 (si4)", "Errore (no)"}));
        const QString vowel = QStringLiteral("quando il programma dice la vocale");
        const QString right = QStringLiteral("dopo una risposta giusta");
        QCOMPARE(w.column(1), (QStringList{vowel, vowel, vowel, vowel, vowel, right, right, right, right,
                                          QStringLiteral("dopo una risposta sbagliata")}));
        // A file there is ready to hear; a file missing says so and cannot be listened to.
        QCOMPARE(w.table()->item(0, 3)->text(), QStringLiteral("pronta"));
        QVERIFY(w.listen(0)->isEnabled());
        QCOMPARE(w.table()->item(1, 3)->text(), QStringLiteral("manca la voce"));
        QVERIFY(!w.listen(1)->isEnabled());
        QTest::mouseClick(w.listen(kError), Qt::LeftButton);
        QCOMPARE(w.player.played, QStringList{folder + "/suoni/no.wav"});
        QTest::mouseClick(w.listen(0), Qt::LeftButton);
        QCOMPARE(w.player.played, (QStringList{folder + "/suoni/no.wav", folder + "/voci/A.wav"}));
    }

    // A file imported by the button, or by Ctrl+Maiusc+I, for the row chosen,
    // or recorded there.
    void aFileImportedOrRecordedForTheChosenRowBecomesItsSound()
    {
        const QString folder = copy();
        chosen_.file = test::writeSound(dir_.filePath("lode.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2);
        Window w(folder);
        w.choose(kPraiseTwo);
        QTest::mouseClick(w.button(QStringLiteral("Importa da un file…")), Qt::LeftButton);
        QCOMPARE(test::readAll(folder + "/suoni/si2.wav").left(4), QByteArray("RIFF"));
        QVERIFY(!QFileInfo::exists(folder + "/suoni/si1.wav"));
        QVERIFY(!QFileInfo::exists(folder + "/suoni/si3.wav"));
        QCOMPARE(w.message(), QStringLiteral("Lode 2 (si2): pronta. Premi «Ascolta» per sentirla."));
        QCOMPARE(w.table()->item(kPraiseTwo, 3)->text(), QStringLiteral("pronta"));
        QTest::mouseClick(w.listen(kPraiseTwo), Qt::LeftButton);
        QCOMPARE(w.player.played, QStringList{folder + "/suoni/si2.wav"});

        chosen_.file = test::writeSound(dir_.filePath("vocale.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 22050, 1);
        w.choose(1);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_I, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(test::readAll(folder + "/voci/E.wav").left(4), QByteArray("RIFF"));
        QCOMPARE(w.message(), QStringLiteral("Vocale E: pronta. Premi «Ascolta» per sentirla."));

        // A file that is no sound is refused by name, and the old one kept.
        const QByteArray before = test::readAll(folder + "/suoni/no.wav");
        chosen_.file = dir_.filePath("elenco.wav");
        writeFile(chosen_.file, "ape\r\nuva\r\n");
        w.choose(kError);
        QTest::mouseClick(w.button(QStringLiteral("Importa da un file…")), Qt::LeftButton);
        QVERIFY2(w.message().startsWith(QStringLiteral("elenco.wav ")), qPrintable(w.message()));
        QVERIFY2(w.message().contains(QStringLiteral("WAV, FLAC o OGG")), qPrintable(w.message()));
        QCOMPARE(test::readAll(folder + "/suoni/no.wav"), before);
        QCOMPARE(w.table()->item(kError, 3)->text(), QStringLiteral("pronta"));

        // «Registra…» opens the recording of the row chosen, named after it.
        w.choose(kPraiseTwo);
        QTest::mouseClick(w.button(QStringLiteral("Registra…")), Qt::LeftButton);
        QDialog *dialog = nullptr;
        QTRY_VERIFY((dialog = w.tab()->findChild<QDialog *>("registra")) && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Registra la voce: Lode 2 (si2)"));
        dialog->reject();
    }
};

QTEST_MAIN(TeacherSoundsTest)

#include "test_teacher_sounds.moc"
