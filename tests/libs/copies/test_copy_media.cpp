// SPDX-License-Identifier: GPL-3.0-or-later
// A copy's file whose pictures or voices the child's program would not take:
// `zampli-copia --importa` refuses it, naming the entry, and writes nothing,
// neither the copy nor its menu entry; it never waits on what a drawing names.

#include "CopyFiles.h"
#include "MediaBytes.h"

#include <QtTest>

#include <sys/stat.h>
#include <zip.h>

namespace {

// A .zampli file made by libzip, as any other program would make it.
void writeZip(const QString &path, const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    QVERIFY(zip);
    for (const auto &[name, data] : entries) {
        zip_source_t *source = zip_source_buffer(zip, data.constData(), zip_uint64_t(data.size()), 0);
        QVERIFY(zip_file_add(zip, name.constData(), source, ZIP_FL_ENC_UTF_8) >= 0);
    }
    QCOMPARE(zip_close(zip), 0);
}

} // namespace

class CopyMediaTest : public QObject {
    Q_OBJECT

private slots:
    void mediaTheProgramWouldNotTakeIsRefused_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("why");
        const QString drawing = "non è un'immagine JPEG che ZAMPLI possa mostrare: è un disegno SVG con dentro "
                                "un'immagine (data:image/svg+xml;base64) che non è PNG né JPEG";
        QTest::newRow("drawing naming a pipe") << QByteArray("jpg/ape.jpg") << zampli::test::drawingNaming("PIPE") << drawing;
        QTest::newRow("garbage picture") << QByteArray("jpg/ape.jpg") << QByteArray(3000, 'Z')
                                         << "non è un'immagine JPEG che ZAMPLI possa mostrare: i primi byte non sono "
                                            "di un'immagine JPEG, PNG o SVG";
        QTest::newRow("garbage voice") << QByteArray("voci/ape.wav") << QByteArray(3000, 'Z')
                                       << "non è un suono WAV che ZAMPLI possa far sentire: non è un file WAV";
        QTest::newRow("voice cut short") << QByteArray("suoni/no.wav")
                                         << zampli::test::wavOf(QByteArray(30000, 'v')).left(10000)
                                         << "non è un suono WAV che ZAMPLI possa far sentire: file WAV tagliato: "
                                            "dichiara 30 kB di suono e ne contiene 10 kB";
    }

    void mediaTheProgramWouldNotTakeIsRefused()
    {
        QFETCH(QByteArray, entry);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, why);
        QTemporaryDir root;
        const QString applications = homeIn(root.path());
        const QString program = root.filePath("program");
        writeCopyingProgram(program);
        const QString pipe = root.filePath("attesa");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        const QString file = root.filePath("ostile.zampli");
        writeZip(file, {{"zampli.txt", "ZAMPLI: una copia\nformato=1\n"},
                        {"testi/a.txt", "ape\n"},
                        {"jpg/orso.jpg", zampli::test::jpegOf(qRgb(10, 200, 10))},
                        {entry, bytes.replace("PIPE", QFile::encodeName(pipe))}});
        const QStringList before = entriesIn(root.path());

        // An import that waited on the pipe would never end: -1, 30 s on.
        const auto [code, out] = runProcess(program + "/zampli-copia", {"--importa", file, root.filePath("Nuova")});
        QCOMPARE(code, 1);
        QVERIFY2(out.contains("«" + entry + "» " + why), qPrintable(out));
        QCOMPARE(entriesIn(root.path()), before);
        QVERIFY(!QFileInfo::exists(applications));
    }
};

QTEST_MAIN(CopyMediaTest)
#include "test_copy_media.moc"
