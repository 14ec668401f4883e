// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's guide: every link and picture of its pages is there, and the
// program finds it where the package installs it (beside the build's
// program, F1 finds it in test_teacher_keys).
#include "CopyFiles.h"
#include "window/Guide.h"

#include <QtTest>

using namespace zampli::teacher;

namespace {

QString guideFolder()
{
    return qEnvironmentVariable("ZAMPLI_TEST_SOURCE_DIR") + QStringLiteral("/docs/guida");
}

// The files a page's href and src name, anchors and queries aside; links
// to other places (a web address, mail) are not the guide's files.
QStringList namedFiles(const QString &html)
{
    static const QRegularExpression attribute(QStringLiteral("\\b(?:href|src)\\s*=\\s*\"([^\"]*)\""));
    QStringList files;
    for (auto it = attribute.globalMatch(html); it.hasNext();) {
        const QString target = it.next().captured(1);
        if (target.contains(QLatin1Char(':')) || target.startsWith(QLatin1Char('#')))
            continue;
        files << target.section(QLatin1Char('#'), 0, 0).section(QLatin1Char('?'), 0, 0);
    }
    return files;
}

} // namespace

class GuideTest : public QObject {
    Q_OBJECT
private slots:
    // Every page's links and pictures are there; the first page links every other.
    void everyLinkAndPictureIsInTheGuide()
    {
        const QDir guide(guideFolder());
        const QStringList pages = guide.entryList({QStringLiteral("*.html")}, QDir::Files);
        QVERIFY(pages.contains(QStringLiteral("index.html")));
        QVERIFY(pages.size() >= 8);
        int named = 0;
        QStringList fromIndex;
        for (const QString &page : pages) {
            QFile file(guide.filePath(page));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QStringList targets = namedFiles(QString::fromUtf8(file.readAll()));
            if (page == QLatin1String("index.html"))
                fromIndex = targets;
            for (const QString &target : targets) {
                const QFileInfo info(guide.filePath(target));
                QVERIFY2(info.isFile(),
                         qPrintable(QStringLiteral("%1 names %2, which is not there").arg(page, target)));
                // Nothing outside the guide's folder: it is installed alone.
                QVERIFY2(info.canonicalFilePath().startsWith(guide.canonicalPath() + QLatin1Char('/')),
                         qPrintable(QStringLiteral("%1 names %2, outside the guide").arg(page, target)));
                ++named;
            }
        }
        QVERIFY(named > pages.size());
        // Each page but the first is reached from the first.
        for (const QString &page : pages)
            if (page != QLatin1String("index.html"))
                QVERIFY2(fromIndex.contains(page), qPrintable(page));
    }

    // Found where the package installs it; none where there is no guide.
    void foundWhereThePackageInstallsIt()
    {
        QTemporaryDir prefix;
        writeFile(prefix.filePath("lib/zampli/zampli-insegnante"), {});
        writeFile(prefix.filePath("share/doc/zampli/copyright"), {});
        QCOMPARE(findGuide(prefix.filePath("lib/zampli")), QString());
        writeFile(prefix.filePath("share/zampli/guida/index.html"), {});
        QCOMPARE(findGuide(prefix.filePath("lib/zampli")), prefix.filePath("share/zampli/guida/index.html"));
    }
};

QTEST_GUILESS_MAIN(GuideTest)
#include "test_guide.moc"
