// The word-list reader over real files: the field rules, the encodings lists
// come in from Windows and Linux editors, and files that are no word list.
#include "exercises/initial/words/WordList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace zampli;

class WordListsTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }
    WordListFile load(const QByteArray &bytes) { return loadWordList(write(QStringLiteral("lista.txt"), bytes)); }

    static QByteArray numbered(int count, const char *lineEnd)
    {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i)
            bytes += "parola" + QByteArray::number(i) + lineEnd;
        return bytes;
    }

private slots:
    void fields_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        const QStringList three{"ape", "uva", "elmo"};
        QTest::newRow("CR LF") << QByteArray("ape\r\nuva\r\nelmo\r\n") << three;
        QTest::newRow("LF") << QByteArray("ape\nuva\nelmo\n") << three;
        QTest::newRow("CR alone") << QByteArray("ape\ruva\relmo\r") << three;
        QTest::newRow("no final line end") << QByteArray("ape\r\nuva\r\nelmo") << three;
        QTest::newRow("comma") << QByteArray("uno,due\r\n") << QStringList{"uno", "due"};
        QTest::newRow("quoted") << QByteArray("\"ape\"\r\n") << QStringList{"ape"};
        QTest::newRow("quoted, then more on the line")
            << QByteArray("\"ape\" resto,uva\r\n\"elmo\"") << three;
        QTest::newRow("quoted blanks and comma kept") << QByteArray("\" a,b \"\r\n") << QStringList{" a,b "};
        QTest::newRow("quote never closed") << QByteArray("\"ape") << QStringList{"ape"};
        QTest::newRow("leading blanks") << QByteArray("   ape\r\n\t uva\r\n  elmo") << three;
        QTest::newRow("trailing blanks") << QByteArray("ape  \r\nuva\t\r\nelmo ") << three;
        QTest::newRow("blank lines and empty fields")
            << QByteArray("\r\nape\r\n\r\n  \r\n,uva,\r\n\"\"\r\nelmo\r\n\r\n") << three;
        QTest::newRow("empty") << QByteArray() << QStringList();
        QTest::newRow("only line ends") << QByteArray("\r\n\r\n") << QStringList();
        QTest::newRow("case and inner blanks kept") << QByteArray("Ape Regina\r\n") << QStringList{"Ape Regina"};
    }
    void fields()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        const WordListFile file = load(bytes);
        QVERIFY(file.opened);
        QCOMPARE(file.list.words, words);
        QVERIFY(!file.list.cut);
        QCOMPARE(file.list.refused, QStringList());
    }

    void fiftyWordsAreReadWholeTheFiftyFirstIsCut()
    {
        const WordListFile fifty = load(numbered(50, "\r\n"));
        QCOMPARE(fifty.list.words.size(), 50);
        QCOMPARE(fifty.list.words.last(), QStringLiteral("parola50"));
        QVERIFY(!fifty.list.cut);

        const WordListFile blankAfter = load(numbered(50, "\n") + "\n  \n");
        QVERIFY(!blankAfter.list.cut);

        const WordListFile more = load(numbered(51, "\r\n"));
        QCOMPARE(more.list.words, fifty.list.words);
        QVERIFY(more.list.cut);
    }

    void missingOrUnreadableFileIsNotOpened()
    {
        QVERIFY(!loadWordList(dir_.filePath("manca.txt")).opened);
        QVERIFY(QDir(dir_.path()).mkdir("cartella.txt"));
        const WordListFile folder = loadWordList(dir_.filePath("cartella.txt"));
        QVERIFY(!folder.opened);
        QVERIFY(folder.list.words.isEmpty());
        QVERIFY(load({}).opened);
    }

    // Windows-1252 from Windows, UTF-8 from Linux, with or without a mark,
    // and UTF-16 as Notepad saves "Unicode": one and the same word.
    void encodingsGiveTheSameWords_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("Windows-1252") << QByteArray("\xE0ncora\r\ncaff\xE8\r\n\x80uro\r\n");
        QTest::newRow("UTF-8") << QByteArray("\xC3\xA0ncora\ncaff\xC3\xA8\n\xE2\x82\xACuro\n");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF\xC3\xA0ncora\r\ncaff\xC3\xA8\r\n\xE2\x82\xACuro");
        QString text = QStringLiteral("àncora\r\ncaffè\r\n€uro\r\n");
        QByteArray le("\xFF\xFE"), be("\xFE\xFF");
        for (const QChar c : text) {
            le += char(c.unicode() & 0xFF);
            le += char(c.unicode() >> 8);
            be += char(c.unicode() >> 8);
            be += char(c.unicode() & 0xFF);
        }
        QTest::newRow("UTF-16 LE with mark") << le;
        QTest::newRow("UTF-16 BE with mark") << be;
    }
    void encodingsGiveTheSameWords()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(load(bytes).list.words, QStringList({QStringLiteral("àncora"), QStringLiteral("caffè"),
                                                      QStringLiteral("€uro")}));
    }

    // File names on disk are UTF-8: the word from a Windows list finds the
    // picture a Linux user saved.
    void wordFromALatinListFindsItsUtf8FileName()
    {
        QVERIFY(QDir(dir_.path()).mkdir("jpg"));
        const QByteArray onDisk = QFile::encodeName(dir_.path()) + "/jpg/\xC3\xA0ncora.jpg";
        FILE *f = std::fopen(onDisk.constData(), "w");
        QVERIFY(f);
        std::fclose(f);
        const QStringList words = load("\xE0ncora\r\n").list.words;
        QCOMPARE(words.size(), 1);
        QVERIFY(QFileInfo::exists(dir_.path() + "/jpg/" + words.first() + ".jpg"));
    }

    void wordsThatAreNoPlainFileNameAreRefused()
    {
        const WordListFile file =
            load("ape\r\n../../etc/passwd\r\nsotto/uva\r\nsotto\\uva\r\n..\r\nel\x01mo\r\n\"a\r\nb\"\r\n" +
                 QByteArray("or\0so", 5) + "\r\nuva\r\n");
        QCOMPARE(file.list.words, QStringList({"ape", "uva"}));
        QCOMPARE(file.list.refused, QStringList({"../../etc/passwd", "sotto/uva", "sotto\\uva", "..", "el?mo",
                                                 "a??b", "or?so"}));
        QVERIFY(isPlainWord(QStringLiteral("àncora")));
        QVERIFY(isPlainWord(QStringLiteral("ape.regina")));
        QVERIFY(!isPlainWord(QString()));
    }

    // A huge line or a binary file: bounded work, no crash, only plain words.
    void hugeAndBinaryFilesAreBounded()
    {
        QElapsedTimer timer;
        timer.start();
        const QByteArray line(10 * 1024 * 1024, 'a');
        const WordListFile huge = load(line + "\r\nape\r\n");
        QVERIFY(huge.opened);
        QVERIFY(huge.tooBig);
        QVERIFY(huge.list.words.isEmpty());
        QCOMPARE(huge.list.refused.size(), 1);
        QVERIFY2(huge.list.refused.first().endsWith(QStringLiteral("(1048576 caratteri)")),
                 qPrintable(huge.list.refused.first()));

        // Read whole, the over-long field is skipped and reading goes on.
        const WordList whole = readWordList(line + "\r\nape\r\n");
        QCOMPARE(whole.words, QStringList{"ape"});
        QCOMPARE(whole.refused.size(), 1);

        const QByteArray longest(WordList::kMaxFieldLength, 'b');
        QCOMPARE(readWordList(longest + "\n" + longest + "b").words, QStringList{QString::fromLatin1(longest)});

        QByteArray binary(256 * 1024, '\0');
        QRandomGenerator random(7);
        for (char &c : binary)
            c = char(random.bounded(256));
        const WordListFile noise = load(binary);
        QVERIFY(noise.list.words.size() <= WordList::kMaxWords);
        for (const QString &word : noise.list.words)
            QVERIFY(isPlainWord(word) && word.size() <= WordList::kMaxFieldLength);
        QVERIFY2(timer.elapsed() < 5000, "reading took too long");
    }
};

QTEST_GUILESS_MAIN(WordListsTest)
#include "test_word_lists.moc"
