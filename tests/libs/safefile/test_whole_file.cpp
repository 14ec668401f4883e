// SPDX-License-Identifier: GPL-3.0-or-later
// The one writer of the adult's files: the old file or the new one, never
// half of either, never through a link, and nothing of its own left behind
// when it fails.

#include "safefile/WholeFile.h"

#include "CopyFiles.h"
#include "FileSizeLimit.h"

#include <QtTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace zampli;
using zampli::test::FileSizeLimit;

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

} // namespace

class WholeFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString file() const { return dir_.filePath(QStringLiteral("a.txt")); }

private slots:
    void init()
    {
        for (const QString &name : entriesIn(dir_.path()))
            QVERIFY(QFile::remove(dir_.filePath(name)) || QDir(dir_.filePath(name)).removeRecursively());
    }

    void replacesTheFileAndLeavesNothingElse()
    {
        writeFile(file(), "ape\r\nuva\r\nelmo\r\n");
        const WholeWrite write = writeWhole(file(), "ago\r\n");
        QCOMPARE(write.error, 0);
        QVERIFY(write.reason.isEmpty());
        QCOMPARE(readFile(file()), QByteArray("ago\r\n"));
        QCOMPARE(entriesIn(dir_.path()), QStringList{"a.txt"});
        // The stamp is the new file's, so a later look tells this write from someone else's.
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(file()).constData(), &st), 0);
        QVERIFY(write.written.has_value());
        QCOMPARE(write.written->bytes, qint64(5));
        QCOMPARE(write.written->inode, quint64(st.st_ino));
    }

    void replacesALinkAndLeavesItsTargetAlone()
    {
        const QString target = dir_.filePath(QStringLiteral("elsewhere.txt"));
        writeFile(target, "theirs\n");
        QVERIFY(QFile::link(target, file()));
        QCOMPARE(writeWhole(file(), "ours\n").error, 0);
        QVERIFY(!QFileInfo(file()).isSymLink());
        QCOMPARE(readFile(file()), QByteArray("ours\n"));
        QCOMPARE(readFile(target), QByteArray("theirs\n"));
    }

    // A new file has the usual mode; a replaced one keeps its own, here
    // group-writable, which the usual mask would take away from a new file.
    void keepsTheFilesPermissions()
    {
        const mode_t mask = ::umask(022);
        const WholeWrite made = writeWhole(file(), "ape\n");
        const mode_t madeMode = modeOf(file()) & 07777;
        QVERIFY(::chmod(QFile::encodeName(file()).constData(), 0664) == 0);
        const WholeWrite replaced = writeWhole(file(), "uva\n");
        ::umask(mask);
        QCOMPARE(made.error, 0);
        QCOMPARE(madeMode, mode_t(0644));
        QCOMPARE(replaced.error, 0);
        QCOMPARE(modeOf(file()) & 07777, mode_t(0664));
    }

    // The superuser writes through any mode: under it the folder lies where
    // nothing can be made (/proc).
    void refusesAFolderThatTakesNoFile()
    {
        const bool root = ::geteuid() == 0;
        const QString folder = root ? QStringLiteral("/proc") : dir_.filePath(QStringLiteral("chiusa"));
        const QString path = folder + QStringLiteral("/zampli-a.txt");
        if (!root) {
            QVERIFY(QDir().mkpath(folder));
            writeFile(path, "ape\n");
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);
        }
        const WholeWrite write = writeWhole(path, "uva\n");
        if (!root)
            ::chmod(QFile::encodeName(folder).constData(), 0755);
        QCOMPARE(write.error, root ? ENOENT : EACCES);
        QVERIFY(write.creating);
        QCOMPARE(write.reason, root ? QStringLiteral("non c'è") : QStringLiteral("permesso negato"));
        QVERIFY(!write.written.has_value());
        if (!root)
            QCOMPARE(readFile(path), QByteArray("ape\n"));
    }

    void keepsTheOldFileWhenTheDiskFills()
    {
        writeFile(file(), "ape\r\nuva\r\n");
        WholeWrite write;
        {
            FileSizeLimit limit(1000);
            write = writeWhole(file(), QByteArray(5000, 'a'));
        }
        QCOMPARE(write.error, EFBIG);
        QVERIFY(!write.creating);
        QCOMPARE(write.reason, QStringLiteral("il file è più grande di quanto il disco accetti"));
        QCOMPARE(readFile(file()), QByteArray("ape\r\nuva\r\n"));
        QCOMPARE(entriesIn(dir_.path()), QStringList{"a.txt"});
    }

    // A folder where the file should be cannot be renamed over: the new
    // bytes are not left beside it.
    void leavesNothingWhenTheRenameFails()
    {
        QVERIFY(QDir().mkpath(file()));
        const WholeWrite write = writeWhole(file(), "uva\n");
        QCOMPARE(write.error, EISDIR);
        QVERIFY(!write.creating);
        QVERIFY(QFileInfo(file()).isDir());
        QCOMPARE(entriesIn(dir_.path()), QStringList{"a.txt"});
    }
};

QTEST_GUILESS_MAIN(WholeFileTest)
#include "test_whole_file.moc"
