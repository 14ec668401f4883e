// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's own windows in Italian once the programs' start has installed Qt's
// texts: the file dialog (Qt's own, as where no desktop's dialog is found)
// names its columns and a folder's kind in Italian, none left in English.
#include "startup/QtItalian.h"

#include <QtTest>
#include <QtWidgets>

class QtItalianTest : public QObject {
    Q_OBJECT

private slots:
    void theFileDialogSpeaksItalian()
    {
        QTranslator qtTexts;
        QVERIFY(zampli::installQtItalian(qtTexts));
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Classe 2")));
        QFileDialog dialog(nullptr, QStringLiteral("Scegli una cartella"), dir.path());
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setViewMode(QFileDialog::Detail);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *view = dialog.findChild<QTreeView *>(QStringLiteral("treeView"));
        QVERIFY(view);
        QAbstractItemModel *shown = view->model();
        const auto row = [&] {
            const QModelIndex root = view->rootIndex();
            for (int r = 0; r < shown->rowCount(root); ++r)
                if (shown->index(r, 0, root).data().toString() == QStringLiteral("Classe 2"))
                    return shown->index(r, 0, root);
            return QModelIndex();
        };
        QTRY_VERIFY(row().isValid());
        QStringList headers;
        for (int c = 0; c < shown->columnCount(); ++c)
            headers << shown->headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, (QStringList{"Nome", "Dimensione", "Tipo", "Data di modifica"}));
        QCOMPARE(row().siblingAtColumn(2).data().toString(), QStringLiteral("Cartella"));
    }
};

QTEST_MAIN(QtItalianTest)
#include "test_qt_italian.moc"
