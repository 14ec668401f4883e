// SPDX-License-Identifier: GPL-3.0-or-later
// A copy carried as one .zampli file: exported and imported it is the same
// copy, byte for byte, with a menu entry that starts it; a hostile file is
// refused naming the entry, writes nothing outside and leaves nothing behind.

#include "copies/CopyArchive.h"
#include "CopyFiles.h"
#include "MediaBytes.h"
#include "TestSeed.h"
#include "ZipPatches.h"

#include <QtTest>

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <functional>
#include <random>

using namespace zampli::copies;

namespace {

// Every file under `folder` with its bytes, links not followed.
QMap<QString, QByteArray> treeOf(const QString &folder)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        tree.insert(QDir(folder).relativeFilePath(path),
                    info.isSymLink() ? "link to " + info.symLinkTarget().toUtf8() : readFile(path));
    }
    return tree;
}

// As runProcess; run as root, in a mount namespace of its own where
// `local` stands for /usr/local, so that what the command writes for every
// account (/usr/local/share/zampli, /usr/local/share/applications) lands in
// the test's own folder. {-3, why} where the system gives no such namespace.
std::pair<int, QString> runWithLocal(const QString &local, const QString &program, const QStringList &args)
{
    if (::geteuid() != 0)
        return runProcess(program, args);
    QDir().mkpath(local);
    QProcess p;
    const QByteArray bound = QFile::encodeName(local);
    p.setChildProcessModifier([bound] {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
            || ::mount(bound.constData(), "/usr/local", nullptr, MS_BIND, nullptr) != 0)
            _exit(97);
    });
    const auto ran = runProcess(p, program, args);
    return ran.first == 97 ? std::pair(-3, QStringLiteral("no private mount namespace here")) : ran;
}

// True when a run ended with `code` and said `part`; else what it said is shown.
bool ranAs(const std::pair<int, QString> &run, int code, const QString &part)
{
    const bool as = run.first == code && run.second.contains(part);
    if (!as)
        qWarning() << "ended with" << run.first << "saying" << run.second;
    return as;
}

// `set` applied to a field of both headers of `name`, at `localAt` in the local one and `centralAt` in the
// central one, leaving its data as it is.
QByteArray withHeaderField(QByteArray zip, const QByteArray &name, int localAt, int centralAt,
                           const std::function<void(char *)> &set)
{
    const auto patch = [&](const QByteArray &signature, int fieldAt, int nameAt) {
        for (qsizetype at = zip.indexOf(signature); at >= 0; at = zip.indexOf(signature, at + 1))
            if (zip.mid(at + nameAt, name.size()) == name)
                set(zip.data() + at + fieldAt);
    };
    patch(QByteArray("PK\x03\x04", 4), localAt, 30);
    patch(QByteArray("PK\x01\x02", 4), centralAt, 46);
    return zip;
}

// A wrong checksum: an entry that reads to its end and is found damaged only there.
QByteArray withWrongChecksum(const QByteArray &zip, const QByteArray &name)
{
    return withHeaderField(zip, name, 14, 16, [](char *crc) { *crc = char(*crc ^ 0x5a); });
}

struct ZipEntry {
    QByteArray name;
    QByteArray data;
    quint32 mode = S_IFREG | 0644;
    bool encrypted = false;
    zip_flags_t encoding = ZIP_FL_ENC_UTF_8; // ZIP_FL_ENC_CP437: written as it is, without the UTF-8 flag
};

const ZipEntry kManifest{"zampli.txt", "ZAMPLI: una copia\nformato=1\n"};

// A ZIP file made by libzip itself, as any other program would make it.
QByteArray zipOf(const QString &scratch, const QList<ZipEntry> &entries)
{
    QFile::remove(scratch);
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(scratch).constData(), ZIP_CREATE | ZIP_EXCL, &error);
    if (!zip)
        return {};
    for (const ZipEntry &entry : entries) {
        zip_source_t *source = zip_source_buffer(zip, entry.data.constData(), zip_uint64_t(entry.data.size()), 0);
        const zip_int64_t index = zip_file_add(zip, entry.name.constData(), source, entry.encoding);
        if (index < 0)
            qFatal("zip_file_add %s: %s", entry.name.constData(), zip_strerror(zip));
        zip_file_set_external_attributes(zip, zip_uint64_t(index), 0, ZIP_OPSYS_UNIX, entry.mode << 16);
        if (entry.encrypted && zip_file_set_encryption(zip, zip_uint64_t(index), ZIP_EM_AES_256, "segreta") != 0)
            qFatal("zip_file_set_encryption: %s", zip_strerror(zip));
    }
    if (zip_close(zip) != 0)
        qFatal("zip_close: %s", zip_strerror(zip));
    return readFile(scratch);
}

// The uncompressed size both headers declare.
QByteArray withDeclaredSize(const QByteArray &zip, const QByteArray &name, quint32 size)
{
    return withHeaderField(zip, name, 22, 24, [size](char *field) { qToLittleEndian(size, field); });
}

} // namespace

class CopyArchiveTest : public QObject {
    Q_OBJECT

    QTemporaryDir root_;
    std::mt19937 random_{zampli::test::testSeed()}; // a picture's and a hostile file's bytes
    QString program_;      // the installed program's folder
    QString source_;       // the copy that is exported
    QString applications_; // the menu's folder
    QString imports_;      // where imported copies go, alone in it

    QString scratch() const { return root_.filePath("scratch.zip"); }

    // Bytes that do not compress.
    QByteArray noise(qsizetype size)
    {
        QByteArray bytes(size, '\0');
        for (char &byte : bytes)
            byte = char(random_());
        return bytes;
    }

    // Imports `bytes` as a file and checks it was refused for `why`, naming
    // `entry`, with nothing left in the folder it was to go in, in the menu or outside.
    void expectRefused(const QByteArray &bytes, const QString &entry, const QString &why,
                       const ArchiveLimits &limits = {})
    {
        const QString file = root_.filePath("ostile.zampli");
        writeFile(file, bytes);
        const QStringList menuBefore = entriesIn(applications_);
        const QStringList rootBefore = entriesIn(root_.path());
        const CopyResult imported = importCopy(program_, file, imports_ + "/Ostile", {}, {}, limits);
        QVERIFY(!imported.ok);
        QVERIFY2(imported.message.contains(entry), qPrintable(imported.message));
        QVERIFY2(imported.message.contains(why), qPrintable(imported.message));
        QCOMPARE(entriesIn(imports_), QStringList());
        QCOMPARE(entriesIn(applications_), menuBefore);
        QCOMPARE(entriesIn(root_.path()), rootBefore);
        QVERIFY(!QFileInfo::exists("/etc/x"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(root_.isValid());
        applications_ = homeIn(root_.path());
        QVERIFY(QDir().mkpath(applications_));
        program_ = root_.filePath("program");
        writeCopyingProgram(program_);
        source_ = root_.filePath("Classe 2ª B");
        writeFile(source_ + "/testi/a.txt", "ape\r\nAPE\r\n");
        writeFile(source_ + "/testi/e.txt", QByteArray("\xEF\xBB\xBF" "elefante\n"));
        // Pictures and voices the import takes: the program's readers would.
        writeFile(source_ + "/jpg/ape.jpg", zampli::test::jpegOf(0, 400, 400, random_() | 1));
        writeFile(source_ + "/jpg/ORSO.JPG", zampli::test::jpegOf(qRgb(120, 80, 40)));
        writeFile(source_ + "/voci/ape.wav", zampli::test::wavOf(QByteArray(100 * 1024, 'v')));
        writeFile(source_ + "/suoni/no.wav", zampli::test::wavOf("alert"));
        imports_ = root_.filePath("imports");
        QVERIFY(QDir().mkpath(imports_));
    }

    void exportThenImportGivesTheSameCopy()
    {
        // The copy's own files, then one the program gives, in place of its own.
        QMap<QString, QByteArray> expected = treeOf(source_);
        expected.insert("zampli", "link to " + (program_ + "/zampli").toUtf8());
        writeFile(source_ + "/jpg/appunti.doc", "not a picture");
        // A copy's school setting holds the computers' password: it stays on its computer.
        writeFile(source_ + "/scuola.conf", "[scuola]\nconnessione=\"host=s dbname=c user=c password=segreta\"\n");
        writeFile(source_ + "/zampli", "the copy's own program is never carried");
        const QString file = root_.filePath("classe.zampli");
        const CopyResult exported = exportCopy(source_, file);
        QVERIFY2(exported.ok, qPrintable(exported.message));
        QVERIFY2(exported.message.contains(file), qPrintable(exported.message));

        const QString target = imports_ + "/Classe nuova";
        const CopyResult imported = importCopy(program_, file, target);
        QVERIFY2(imported.ok, qPrintable(imported.message));
        QCOMPARE(treeOf(target), expected);

        QCOMPARE(runProcess("desktop-file-validate", {imported.copy.desktopFile}), std::make_pair(0, QString()));
        const auto [code, out] = runProcess("gio", {"launch", imported.copy.desktopFile});
        QVERIFY2(code == 0, qPrintable(out));
        QTRY_COMPARE_WITH_TIMEOUT(readFile(target + "/started"), (target + "/zampli\n" + target + "\n").toUtf8(), 10000);
        QVERIFY(removeCopy(imported.copy, RemoveFolder::ToTrash).ok);
        for (const char *notCarried : {"/jpg/appunti.doc", "/zampli", "/scuola.conf"})
            QFile::remove(source_ + notCarried);
        QVERIFY(!readFile(file).contains("scuola"));
        QVERIFY(!readFile(file).contains("segreta"));
    }

    // A copy for every account made from a file, then brought up to date
    // from another: the new words in, the school setting kept, the old files
    // gone, one menu entry; a file found damaged halfway leaves the old copy
    // whole.
    void aSharedCopyIsUpdatedFromAFile()
    {
        const QString shared = root_.filePath("shared");
        const QString parent = shared + "/zampli";
        const QString folder = parent + "/Classe per tutti";
        const QString menu = shared + "/applications";
        const QString first = root_.filePath("prima.zampli");
        QVERIFY(exportCopy(source_, first).ok);
        const CopyResult made = importCopyForEveryone(program_, first, folder, menu, ExistingCopy::Update);
        QVERIFY2(made.ok, qPrintable(made.message));
        QVERIFY2(made.message.contains("copia per tutti è in"), qPrintable(made.message));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\nAPE\r\n"));
        QCOMPARE(entriesIn(menu), QStringList{QFileInfo(made.copy.desktopFile).fileName()});

        // Given a school's server, and a file the update must not keep.
        const QByteArray setting = "[scuola]\nconnessione=\"host=s dbname=c user=c\"\n";
        writeFile(folder + "/scuola.conf", setting);
        QVERIFY(QFile::setPermissions(folder + "/scuola.conf", QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                                   | QFile::ReadOther));
        writeFile(folder + "/jpg/vecchia.jpg", readFile(source_ + "/jpg/ape.jpg"));

        writeFile(source_ + "/testi/a.txt", "ape\r\nAPE\r\nalbero\r\n");
        const QString second = root_.filePath("seconda.zampli");
        QVERIFY(exportCopy(source_, second).ok);
        writeFile(source_ + "/testi/a.txt", "ape\r\nAPE\r\n");
        const CopyResult updated = importCopyForEveryone(program_, second, folder, menu, ExistingCopy::Update);
        QVERIFY2(updated.ok, qPrintable(updated.message));
        QVERIFY2(updated.message.contains("aggiornata"), qPrintable(updated.message));
        QCOMPARE(updated.copy.desktopFile, made.copy.desktopFile);
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\nAPE\r\nalbero\r\n"));
        QCOMPARE(readFile(folder + "/scuola.conf"), setting);
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(folder + "/scuola.conf").constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        QVERIFY(!QFileInfo::exists(folder + "/jpg/vecchia.jpg"));
        QCOMPARE(QFileInfo(folder + "/zampli").symLinkTarget(), program_ + "/zampli");
        QCOMPARE(entriesIn(parent), QStringList{"Classe per tutti"}); // nothing hidden left beside it
        QCOMPARE(entriesIn(menu), QStringList{QFileInfo(made.copy.desktopFile).fileName()});

        // Damaged: a list whose checksum fails only once it is read out, in
        // the work folder, when the old files are already out of the way.
        const QMap<QString, QByteArray> before = treeOf(folder);
        const QString broken = root_.filePath("rovinata.zampli");
        writeFile(broken, withWrongChecksum(readFile(second), "testi/e.txt"));
        const CopyResult refused = importCopyForEveryone(program_, broken, folder, menu, ExistingCopy::Update);
        QVERIFY(!refused.ok);
        QVERIFY2(refused.message.contains("testi/e.txt"), qPrintable(refused.message));
        QVERIFY2(refused.message.contains("rimasta com'era"), qPrintable(refused.message));
        QCOMPARE(treeOf(folder), before);
        QCOMPARE(entriesIn(parent), QStringList{"Classe per tutti"});

        // Refuse: a copy is there already, and stays as it is.
        const CopyResult again = importCopyForEveryone(program_, second, folder, menu, ExistingCopy::Refuse);
        QVERIFY(!again.ok);
        QVERIFY2(again.message.contains("c'è già"), qPrintable(again.message));
        QCOMPARE(treeOf(folder), before);
        // A folder that is no copy is never replaced.
        writeFile(parent + "/Altro/leggimi.txt", "mine");
        const CopyResult other = importCopyForEveryone(program_, second, parent + "/Altro", menu, ExistingCopy::Update);
        QVERIFY(!other.ok);
        QCOMPARE(entriesIn(parent + "/Altro"), QStringList{"leggimi.txt"});
        QDir(shared).removeRecursively();
        for (const QString &file : {first, second, broken})
            QFile::remove(file);
    }

    // The program takes either for the word: the import would refuse the pair.
    void namesEqualButForCaseAreNotExported()
    {
        writeFile(source_ + "/voci/Ape.wav", "the same word");
        const QString file = root_.filePath("doppio.zampli");
        const CopyResult exported = exportCopy(source_, file);
        QFile::remove(source_ + "/voci/Ape.wav");
        QVERIFY(!exported.ok);
        QVERIFY2(exported.message.contains("voci/Ape.wav"), qPrintable(exported.message));
        QVERIFY2(exported.message.contains("voci/ape.wav"), qPrintable(exported.message));
        QVERIFY(!QFileInfo::exists(file));
    }

    void anExportStoppedLeavesNoFile()
    {
        const QString file = root_.filePath("fermato.zampli");
        const QStringList before = entriesIn(root_.path());
        const CopyResult exported = exportCopy(source_, file, [](qint64, qint64) { return false; });
        QVERIFY(!exported.ok);
        QVERIFY2(exported.message.contains("fermata"), qPrintable(exported.message));
        QCOMPARE(entriesIn(root_.path()), before);
    }

    // Killed while it writes, an export leaves nothing in sight, and the next
    // one in the folder takes away what it left.
    void aKilledExportIsSweptByTheNext()
    {
        const QString big = root_.filePath("Classe grande");
        writeFile(big + "/testi/a.txt", "ape\n");
        writeFile(big + "/voci/ape.wav", noise(60'000'000)); // seconds to compress: time to be caught writing
        const QString folder = root_.filePath("esportazioni");
        QVERIFY(QDir().mkpath(folder));
        QProcess copia;
        copia.start(program_ + "/zampli-copia", {"--esporta", big, folder + "/grande.zampli"});
        QVERIFY(copia.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(bytesUnder(folder) > 0, 60000);
        copia.kill();
        QVERIFY(copia.waitForFinished());
        QCOMPARE(copia.exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(entriesIn(folder).size(), 1); // what it left, hidden

        const auto [code, out] = runProcess(program_ + "/zampli-copia", {"--esporta", source_, folder + "/piccola.zampli"});
        QVERIFY2(code == 0, qPrintable(out));
        QCOMPARE(entriesIn(folder), QStringList{"piccola.zampli"});
        QDir(big).removeRecursively();
        QDir(folder).removeRecursively();
    }

    // Where the entries lie is read from ZIP64's records as well as from the
    // plain ones: a writer's choice, not a stranger's sign.
    void aZip64FileImportsAsAnyOther()
    {
        const QString plain = root_.filePath("normale.zampli");
        QVERIFY(exportCopy(source_, plain).ok);
        const QString wide = root_.filePath("zip64.zampli");
        writeFile(wide, asZip64(readFile(plain)));
        const QString target = imports_ + "/Da ZIP64";
        const CopyResult imported = importCopy(program_, wide, target);
        QVERIFY2(imported.ok, qPrintable(imported.message));
        QCOMPARE(readFile(target + "/jpg/ape.jpg"), readFile(source_ + "/jpg/ape.jpg"));
        QCOMPARE(readFile(target + "/voci/ape.wav"), readFile(source_ + "/voci/ape.wav"));
        QVERIFY(removeCopy(imported.copy, RemoveFolder::ToTrash).ok);
        QFile::remove(plain);
        QFile::remove(wide);
    }

    void aHostileFileIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("why");
        const QString fuori = "porterebbe fuori dalla cartella";
        const auto row = [](const char *name, const QByteArray &bytes, const QString &entry, const QString &why) {
            QTest::newRow(name) << bytes << entry << why;
        };
        const QString s = scratch();
        row("parent", zipOf(s, {kManifest, {"../fuori.txt", "x"}}), "../fuori.txt", fuori);
        row("absolute", zipOf(s, {kManifest, {"/etc/x", "x"}}), "/etc/x", fuori);
        row("climbs inside", zipOf(s, {kManifest, {"testi/../../x", "x"}}), "testi/../../x", fuori);
        row("drive letter", zipOf(s, {kManifest, {"C:/testi/a.txt", "ape\n"}}), "C:/testi/a.txt", fuori);
        row("backslash", zipOf(s, {kManifest, {"testi\\a.txt", "ape\n"}}), "testi\\a.txt", fuori);
        row("line break", zipOf(s, {kManifest, {"testi/a\n.txt", "ape\n"}}), "testi/a\\x0A.txt", "a capo");
        row("symbolic link", zipOf(s, {kManifest, {"testi/a.txt", "/etc/passwd", S_IFLNK | 0777}}), "testi/a.txt",
            "collegamento simbolico");
        row("device", zipOf(s, {kManifest, {"voci/a.wav", "", S_IFCHR | 0644}}), "voci/a.wav", "non è un file comune");
        // libzip itself refuses a second entry of the same name: one is renamed after.
        QByteArray twice = zipOf(s, {kManifest, {"testi/a.txt", "ape\n"}, {"testi/b.txt", "ape\n"}});
        twice.replace("testi/b.txt", "testi/a.txt");
        row("duplicate", twice, "testi/a.txt", "c'è due volte");
        row("duplicate but for case", zipOf(s, {kManifest, {"testi/a.txt", "ape\n"}, {"Testi/A.txt", "ape\n"}}),
            "Testi/A.txt", "c'è due volte");
        const QString unused = "non è un file che una copia usa";
        row("unknown file", zipOf(s, {kManifest, {"testi/leggimi.doc", "x"}}), "testi/leggimi.doc", unused);
        row("a program", zipOf(s, {kManifest, {"zampli", "#!/bin/sh\n", S_IFREG | 0755}}), "zampli", unused);
        row("deeper folder", zipOf(s, {kManifest, {"jpg/altro/ape.jpg", "x"}}), "jpg/altro/ape.jpg", unused);
        row("encrypted", zipOf(s, {kManifest, {"testi/a.txt", "ape\n", S_IFREG | 0644, true}}), "testi/a.txt",
            "password");
        // A megabyte that says it is a hundred bytes: only counting what comes out finds it.
        row("declared size lies", withDeclaredSize(zipOf(s, {kManifest, {"voci/ape.wav", QByteArray(1 << 20, '\0')}}),
                                                   "voci/ape.wav", 100),
            "voci/ape.wav", "contiene più byte dei 100 che dichiara");
        row("a list the program cannot read", zipOf(s, {kManifest, {"testi/a.txt", "ape\n../../etc/passwd\n"}}),
            "testi/a.txt", "../../etc/passwd");
        // Names: each program would read another name, or the name would hide what it is.
        const QString direction = "cambia la direzione della scrittura";
        row("right-to-left override", zipOf(s, {kManifest, {"jpg/ape\u202Egpj.jpg", "x"}}), "jpg/ape\\u202Egpj.jpg",
            direction);
        row("right-to-left mark", zipOf(s, {kManifest, {"testi/\u200Fa.txt", "ape\n"}}), "testi/\\u200Fa.txt",
            direction);
        row("isolate", zipOf(s, {kManifest, {"voci/ape\u2067.wav", "x"}}), "voci/ape\\u2067.wav", direction);
        row("Latin-1 without the UTF-8 flag",
            zipOf(s, {kManifest, {"testi/\xE0ncora.txt", "ancora\n", S_IFREG | 0644, false, ZIP_FL_ENC_CP437}}),
            "testi/\uFFFDncora.txt", "non è scritto in UTF-8");
        // As Info-ZIP's zip writes it: an ASCII name patched, so no flag is set.
        QByteArray unflagged = zipOf(s, {kManifest, {"testi/XXncora.txt", "ancora\n"}});
        unflagged.replace("testi/XXncora.txt", "testi/\xC3\xA0ncora.txt");
        row("UTF-8 without the UTF-8 flag", unflagged, "testi/àncora.txt", "non dichiara scritte in UTF-8");
        row("composed and decomposed",
            zipOf(s, {kManifest, {"jpg/\xC3\xA0ncora.jpg", "one"}, {"jpg/a\xCC\x80ncora.jpg", "two"}}),
            QString::fromUtf8("jpg/a\xCC\x80ncora.jpg"), "c'è due volte");
        row("composed and decomposed, case apart",
            zipOf(s, {kManifest, {"voci/\xC3\xA0ncora.wav", "one"}, {"voci/A\xCC\x80NCORA.wav", "two"}}),
            QString::fromUtf8("voci/A\xCC\x80NCORA.wav"), "c'è due volte");
        // Sizes: what the file would write against the little it holds.
        row("a flood from a small stream", zipOf(s, {kManifest, {"voci/ape.wav", QByteArray(2'000'000, '\0')}}),
            "voci/ape.wav", "più di 100 volte tanto");
        row("a flood from many small streams",
            zipOf(s, {kManifest, {"voci/a.wav", QByteArray(900'000, '\0')}, {"voci/b.wav", QByteArray(900'000, '\0')}}),
            "voci/b.wav", "più di 100 volte i byte");
        // One compressed stream named by five entries: a few kilobytes would write 5 MB.
        row("entries sharing data",
            withSharedEntries(zipOf(s, {kManifest, {"voci/a.wav", noise(1'000'000)}}), "voci/a.wav",
                              {"voci/b.wav", "voci/c.wav", "voci/d.wav", "voci/e.wav"}),
            "voci/b.wav", "ha i dati in comune con «voci/a.wav»");
        row("entries sharing data, ZIP64",
            asZip64(withSharedEntries(zipOf(s, {kManifest, {"voci/a.wav", noise(100'000)}}), "voci/a.wav",
                                      {"voci/b.wav"})),
            "voci/b.wav", "ha i dati in comune con «voci/a.wav»");
        // Another program would take the local header's name (the first of the
        // two, before the directory): the entry has two.
        QByteArray twoNames = zipOf(s, {kManifest, {"testi/a.txt", "ape\n"}});
        twoNames.replace(twoNames.indexOf("testi/a.txt"), 11, "testi/o.txt");
        row("local header names another file", twoNames, "ostile.zampli", "il suo indice non corrisponde");
        row("no manifest", zipOf(s, {{"testi/a.txt", "ape\n"}}), "ostile.zampli", "manca zampli.txt");
        row("newer format", zipOf(s, {{"zampli.txt", "formato=2\n"}}), "ostile.zampli", "versione più nuova");
        row("random bytes", noise(64 * 1024), "ostile.zampli", "non è un archivio ZIP");
        // A copy cut short on its way (a full stick, a broken download).
        const QString whole = root_.filePath("intero.zampli");
        if (!exportCopy(source_, whole).ok)
            qFatal("the copy to cut was not exported");
        row("cut in the middle", readFile(whole).left(QFileInfo(whole).size() / 2), "ostile.zampli", "rovinato");
    }

    void aHostileFileIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, entry);
        QFETCH(QString, why);
        QVERIFY(!bytes.isEmpty());
        expectRefused(bytes, entry, why);
    }

    void moreThanTheLimitIsRefused()
    {
        // The most a copy may hold plus one, and far more: counted from the
        // directory alone, before a single entry is looked at.
        for (const auto &[entries, said] : {std::pair(5000, "5.001 file"), std::pair(100'000, "100.001 file")}) {
            QList<ZipEntry> many{kManifest};
            for (int i = 0; i < entries; ++i)
                many << ZipEntry{QStringLiteral("jpg/p%1.jpg").arg(i).toUtf8(), "x"};
            expectRefused(zipOf(scratch(), many), said, "più dei 5.000");
        }
        // Declared sizes past the limit (made small here), found before anything is written.
        expectRefused(zipOf(scratch(), {kManifest, {"voci/a.wav", QByteArray(600, 'a')}, {"voci/b.wav", QByteArray(600, 'b')}}),
                      "voci/b.wav", "porta il contenuto oltre", ArchiveLimits{1000, 5000});
        // One entry past the cap of a single file (made small here).
        expectRefused(zipOf(scratch(), {kManifest, {"jpg/a.jpg", noise(2'000'001)}}), "jpg/a.jpg",
                      "più grande dei 2 MB", ArchiveLimits{500'000'000, 5000, 2'000'000});
    }

    void theCommandLineEndsWithTheRightStatus()
    {
        const QString copia = program_ + "/zampli-copia";
        const QString file = root_.filePath("riga di comando.zampli");
        QCOMPARE(runProcess(copia, {"--esporta", source_, file}).first, 0);
        QVERIFY(QFileInfo(file).size() > 200 * 1024); // the picture, which does not compress
        QVERIFY(ranAs(runProcess(copia, {"--esporta", source_, file}), 1, "c'è già"));

        // Run by root, an import's menu entry is every account's.
        const QString local = root_.filePath("local");
        const QString target = imports_ + "/Dalla riga di comando";
        const auto imported = runWithLocal(local, copia, {"--importa", file, target});
        if (imported.first == -3)
            QSKIP("run as root without a private mount namespace: the entry would go in the system's menu");
        QVERIFY2(imported.first == 0, qPrintable(imported.second));
        if (::geteuid() == 0)
            QCOMPARE(entriesIn(local + "/share/applications").size(), 1);
        QCOMPARE(readFile(target + "/testi/a.txt"), QByteArray("ape\r\nAPE\r\n"));

        writeFile(root_.filePath("rumore.zampli"), "PK not really");
        QVERIFY(ranAs(runProcess(copia, {"--importa", root_.filePath("rumore.zampli"), imports_ + "/Altra"}), 1,
                      "rumore.zampli"));
        QVERIFY(!QFileInfo::exists(imports_ + "/Altra"));
        QCOMPARE(runProcess(copia, {"--importa", file}).first, 2);
        QCOMPARE(runProcess(copia, {"--esporta"}).first, 2);
        QDir(target).removeRecursively();
        QDir(local).removeRecursively();
    }

    // zampli-copia --per-tutti NOME --da FILE as the administrator runs it,
    // twice, then with a damaged file; /usr/local is the test's own folder.
    // What an update keeps and what a damaged file leaves, the library's test checks.
    void theCommandLineUpdatesASharedCopy()
    {
        const QString copia = program_ + "/zampli-copia";
        const QString first = root_.filePath("per tutti 1.zampli");
        QVERIFY(exportCopy(source_, first).ok);
        if (::geteuid() != 0) {
            QVERIFY(ranAs(runProcess(copia, {"--per-tutti", "Classe", "--da", first}), 1, "Solo l'amministratore"));
            QSKIP("not root: the rest needs the administrator");
        }
        const QString local = root_.filePath("local");
        const QString folder = local + "/share/zampli/Classe";
        const auto made = runWithLocal(local, copia, {"--per-tutti", "Classe", "--da", first});
        if (made.first == -3)
            QSKIP("no private mount namespace here");
        QVERIFY2(made.first == 0, qPrintable(made.second));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\nAPE\r\n"));
        QVERIFY(ranAs(runWithLocal(local, copia, {"--per-tutti", "Classe"}), 1, "--da FILE.zampli"));

        writeFile(source_ + "/testi/a.txt", "ape\r\nAPE\r\nalbero\r\n");
        const QString second = root_.filePath("per tutti 2.zampli");
        QVERIFY(exportCopy(source_, second).ok);
        writeFile(source_ + "/testi/a.txt", "ape\r\nAPE\r\n");
        QVERIFY(ranAs(runWithLocal(local, copia, {"--per-tutti", "Classe", "--da", second}), 0, "aggiornata"));
        QCOMPARE(readFile(folder + "/testi/a.txt"), QByteArray("ape\r\nAPE\r\nalbero\r\n"));
        QCOMPARE(entriesIn(local + "/share/applications").size(), 1);

        const QString broken = root_.filePath("rovinata.zampli");
        writeFile(broken, withWrongChecksum(readFile(second), "testi/e.txt"));
        QVERIFY(ranAs(runWithLocal(local, copia, {"--per-tutti", "Classe", "--da", broken}), 1, "rimasta com'era"));
        QDir(local).removeRecursively();
        for (const QString &file : {first, second, broken})
            QFile::remove(file);
    }
};

QTEST_GUILESS_MAIN(CopyArchiveTest)
#include "test_copy_archive.moc"
