// SPDX-License-Identifier: GPL-3.0-or-later
// The adult's changes to a results database, without a window: a name's
// sessions or all of them erased.
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
};

QTEST_GUILESS_MAIN(ResultsEditorTest)
#include "test_results_editor.moc"
