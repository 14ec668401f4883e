// SPDX-License-Identifier: GPL-3.0-or-later
// The word-list reader over real files: the field rules, the encodings lists
// come in from Windows and Linux editors, and files that are no word list.
#include "wordlist/WordList.h"

#include <QtTest>

using namespace zampli;

class WordListsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    WordListFile load(const QByteArray &bytes)
    {
        QFile file(dir_.filePath("lista.txt"));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write the list");
        file.close();
        return loadWordList(file.fileName());
    }

private slots:
    void reader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("refused");
        const QStringList three{"ape", "uva", "elmo"}, none;
        const auto row = [](const char *name) -> QTestData & { return QTest::newRow(name); };
        row("CR LF") << QByteArray("ape\r\nuva\r\nelmo\r\n") << three << none;
        row("CR alone, comma, no final line end") << QByteArray("ape\ruva,elmo") << three << none;
        row("quoted, rest of field dropped") << QByteArray("\"ape\" resto,uva\r\n\"elmo\"") << three << none;
        row("quoted blanks and comma kept") << QByteArray("\" a,b \"\r\n") << QStringList{" a,b "} << none;
        row("blanks around") << QByteArray("   ape  \r\n\t uva\t\r\n  Ape Regina ")
                             << QStringList{"ape", "uva", "Ape Regina"} << none;
        row("empty fields") << QByteArray("\r\nape\r\n  \r\n,uva,\r\n\"\"\r\nelmo\r\n\r\n") << three << none;
        row("empty") << QByteArray() << none << none;
        QByteArray numbered;
        for (int i = 1; i <= 51; ++i)
            numbered += "parola" + QByteArray::number(i) + "\r\n";
        const QByteArray fifty = numbered.first(numbered.indexOf("parola51"));
        row("fifty") << fifty + "\n  \n" << readWordList(fifty).words << none;
        row("fifty-one") << numbered << readWordList(fifty).words << none;

        const QStringList accented{QStringLiteral("àncora"), QStringLiteral("caffè"), QStringLiteral("€uro")};
        row("Windows-1252") << QByteArray("\xE0ncora\r\ncaff\xE8\r\n\x80uro\r\n") << accented << none;
        const QByteArray utf8("\xC3\xA0ncora\ncaff\xC3\xA8\n\xE2\x82\xACuro\n");
        row("UTF-8") << utf8 << accented << none;
        row("UTF-8 mark, CR LF") << "\xEF\xBB\xBF" + QByteArray(utf8).replace("\n", "\r\n") << accented << none;
        for (const auto encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) { // Notepad's "Unicode"
            const auto flag = QStringConverter::Flag::WriteBom;
            row(QStringConverter::nameForEncoding(encoding))
                << QByteArray(QStringEncoder(encoding, flag)(u"àncora\ncaffè\n€uro")) << accented << none;
            QTest::addRow("%s without mark", QStringConverter::nameForEncoding(encoding))
                << QByteArray(QStringEncoder(encoding)(u"àncora\ncaffè\n€uro")) << accented << none;
        }

        // A word typed on Linux appended to a list saved on Windows: each line in its own encoding.
        row("Windows-1252 list, UTF-8 line appended")
            << QByteArray("ape\r\n\xE0ncora\r\ncaff\xE8\r\n\x80uro\r\n") + "perch\xC3\xA9,\xE2\x82\xACuro\n"
            << QStringList{"ape", QStringLiteral("àncora"), QStringLiteral("caffè"), QStringLiteral("€uro"),
                           QStringLiteral("perché"), QStringLiteral("€uro")}
            << none;
        row("UTF-8 list, Windows-1252 line after")
            << QByteArray("perch\xC3\xA9\rcaff\xE8\ngi\xC3\xB9")
            << QStringList{QStringLiteral("perché"), QStringLiteral("caffè"), QStringLiteral("giù")} << none;

        // A quoted blank names no picture: refused and shown to the adult, never drawn for the child.
        row("blank words") << QByteArray("\" \"\r\nape\r\n\"\t \"\r\n\"\xC2\xA0\"\r\nuva, \"   \" \r\n\"\xEF\xBB\xBF \"\r\nelmo")
                           << three << QStringList{" ", "? ", QStringLiteral("\u00A0"), "   ", QStringLiteral("\uFEFF ")};
        row("no file names") << "../fuori\r\nsotto/uva\r\nsotto\\uva\r\n..\r\nel\x01mo\r\n\"a\r\nb\"\r\n" +
                                    QByteArray("or\0so,ape.regina", 16)
                             << QStringList{"ape.regina"}
                             << QStringList{"../fuori", "sotto/uva", "sotto\\uva", "..", "el?mo", "a??b", "or?so"};
        const QByteArray longest(WordList::kMaxFieldLength, 'b');
        row("longest field") << longest + "\n" + longest + "b" << QStringList{QString::fromLatin1(longest)}
                             << QStringList{QString(40, u'b') + "... (256 caratteri)"};
        row("10 MB line, file cut") << QByteArray(10 * 1024 * 1024, 'a') + "\r\nape\r\n" << none
                                    << QStringList{QString(40, u'a') + "... (1048576 caratteri)"};
    }
    void reader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QFETCH(QStringList, refused);
        const WordListFile file = load(bytes);
        QVERIFY(file.opened);
        QCOMPARE(file.tooBig, bytes.size() > WordListFile::kMaxFileBytes);
        QCOMPARE(file.list.words, words);
        QCOMPARE(file.list.refused, refused);
        QCOMPARE(file.list.cut, QByteArray(QTest::currentDataTag()) == "fifty-one");
    }

    // The teacher's editor must know whether it holds the whole file: a
    // file up to the cap comes whole, one byte more comes cut and says so.
    void wholeOrSaidCut_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("whole");
        QTest::addColumn<QByteArray>("read");
        QTest::newRow("empty") << QByteArray() << true << QByteArray();
        QTest::newRow("under the cap") << QByteArray("ape\r\nuva") << true << QByteArray("ape\r\nuva");
        QTest::newRow("at the cap") << QByteArray("ape\r\nuva\r\n") << true << QByteArray("ape\r\nuva\r\n");
        QTest::newRow("one byte past") << QByteArray("ape\r\nuva\r\ne") << false << QByteArray("ape\r\nuva\r\n");
        QTest::newRow("far past") << QByteArray("ape\r\nuva\r\nelmo\r\n").repeated(1000) << false
                                  << QByteArray("ape\r\nuva\r\n");
    }
    void wholeOrSaidCut()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, whole);
        QFETCH(QByteArray, read);
        load(bytes); // writes the file
        const WordListBytes file = readWordListBytes(dir_.filePath("lista.txt"), 10);
        QVERIFY(file.opened);
        QCOMPARE(file.whole, whole);
        QCOMPARE(file.bytes, read);
        QCOMPARE(file.size, bytes.size());
    }

    void noList()
    {
        QVERIFY(!loadWordList(dir_.filePath("manca.txt")).opened);
        QVERIFY(QDir(dir_.path()).mkdir("cartella.txt"));
        QVERIFY(!loadWordList(dir_.filePath("cartella.txt")).opened);
        const WordListBytes folder = readWordListBytes(dir_.filePath("cartella.txt"), 10);
        QVERIFY(!folder.opened);
        QCOMPARE(folder.refusal, QStringLiteral("è una cartella, non un file"));
    }
};

QTEST_GUILESS_MAIN(WordListsTest)
#include "test_word_lists.moc"
