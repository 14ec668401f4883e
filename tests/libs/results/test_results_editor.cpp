// SPDX-License-Identifier: GPL-3.0-or-later
// The adult's changes to a results database, without a window: a name's
// sessions or all of them erased, a child erased with only what is hers.
#include "CopyFiles.h"
#include "ResultsRows.h"
#include "ResultsSample.h"
#include "results/ResultsEditor.h"

#include <QtTest>

using namespace zampli;
using namespace zampli::test;

class ResultsEditorTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString db_;

private slots:
    void init()
    {
        db_ = dir_.filePath(QStringLiteral("r-%1.sqlite").arg(QTest::currentTestFunction()));
        writeSample(db_, dir_.path());
    }

    void erasingANameLeavesTheOthers()
    {
        labelByHand(db_, 1, QStringLiteral("Giulia"));
        labelByHand(db_, 3, QStringLiteral("Giulia"));
        labelByHand(db_, 2, QStringLiteral("Bruno"));
        ResultsEditor editor;
        QVERIFY(editor.open(db_));
        QCOMPARE(editor.previewAll().sessions, QList<qint64>({1, 2, 3}));
        QCOMPARE(editor.previewAll().answers, 7);
        QCOMPARE(editor.eraseLabel(QStringLiteral("Giulia")), 2);
        QCOMPARE(queryRows(db_, "SELECT id, label FROM sessions"), QStringLiteral("2|Bruno"));
        QVERIFY(!editor.deleteSession(1)); // gone already
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM answers"), QStringLiteral("2"));
        QCOMPARE(editor.eraseAll(), 1);
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM sessions"), QStringLiteral("0"));
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM answers"), QStringLiteral("0"));
    }

    // Marco's sessions are those given to him: a session once labelled
    // "marco" by hand and since given to Luca stays Luca's, without the
    // label, so that Marco's name goes from the file. The count asked
    // about is the count erased, and the damaged copies beside the file,
    // which hold every child's answers, are named in the question and go
    // with him; Luca's answers stay whole.
    void erasingAChildTakesOnlyWhatIsHis()
    {
        ResultsEditor editor;
        QVERIFY(editor.open(db_));
        const qint64 marco = editor.addChild(QStringLiteral("Marco"));
        const qint64 luca = editor.addChild(QStringLiteral("Luca"));
        QVERIFY(editor.nameSession(1, marco));
        labelByHand(db_, 2, QStringLiteral("marco"));
        QVERIFY(editor.nameSession(2, luca));
        QVERIFY(editor.choosePlaying(marco));
        const QString copy = db_ + QStringLiteral(".guasto-20240305-101010");
        const QString pendingCopy = db_ + QStringLiteral(".in-attesa.guasto-20240306-090000");
        for (const QString &file : {copy, copy + QStringLiteral("-wal"), pendingCopy})
            writeFile(file, "risposte di Marco e di Luca");
        const ErasePreview asked = editor.previewChild(marco);
        QCOMPARE(asked.sessions, QList<qint64>({1}));
        QCOMPARE(asked.answers, 3);
        QStringList named = asked.damagedCopies;
        named.sort();
        QCOMPARE(named, QStringList({copy, pendingCopy}));
        QVERIFY(editor.eraseChild(marco));
        QCOMPARE(editor.error(), QString());
        QCOMPARE(queryRows(db_, "SELECT s.id, coalesce(s.label, '-'), coalesce(c.name, '-'), count(a.id) FROM sessions s"
                                " LEFT JOIN children c ON c.id = s.child_id LEFT JOIN answers a ON a.session_id = s.id"
                                " GROUP BY s.id ORDER BY s.id"),
                 QStringLiteral("2|-|Luca|2 / 3|-|-|2"));
        QCOMPARE(queryRows(db_, "SELECT name FROM children"), QStringLiteral("Luca"));
        QCOMPARE(queryRows(db_, "SELECT count(*) FROM now_playing"), QStringLiteral("0"));
        for (const QString &file : {copy, copy + QStringLiteral("-wal"), pendingCopy})
            QVERIFY2(!QFileInfo::exists(file), qPrintable(file));
    }
};

QTEST_GUILESS_MAIN(ResultsEditorTest)
#include "test_results_editor.moc"
