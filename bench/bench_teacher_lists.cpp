// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's program on a copy whose E list is large: time to the window
// shown, to the E tab shown, to one added word saved, and the peak memory.
// Each list opens in a process of its own, so that its peak is its own.
//   bench_teacher_lists [--limit SECONDS]
#include "BenchProgram.h"
#include "TeacherTabs.h"
#include "imports/VoiceRecorder.h"
#include "pictures-voices/MediaActions.h"
#include "shared/TeacherServices.h"
#include "tabs/words/WordsTab.h"
#include "window/MainWindow.h"

#include <QtTest>
#include <QtWidgets>
#include <cstdio>

using namespace zampli::teacher;

namespace {

struct Case {
    const char *name;
    int words;
    int wordLength; // letters of each word, its number included
};
// 111,000 words of 92 letters make the 10 MB list; 100,000 short words make 1.4 MB.
constexpr Case kCases[] = {
    {"five lists of 50 words", 50, 0},
    {"a 10 MB list (111,000 words)", 111'000, 92},
    {"a list of 100,000 words", 100'000, 0},
};

void writeList(const QString &path, const QByteArray &first, int words, int wordLength)
{
    QFile list(path);
    if (!list.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray bytes;
    for (int i = 0; i < words; ++i) {
        QByteArray word = first + "parola" + QByteArray::number(i);
        if (word.size() < wordLength)
            word += QByteArray(wordLength - word.size(), 'x');
        bytes += word + "\r\n";
    }
    list.write(bytes);
}

void makeCopy(const QString &folder, const Case &c)
{
    for (const char *sub : {"testi", "jpg", "voci", "suoni"})
        QDir().mkpath(folder + "/" + sub);
    for (const char *v : {"a", "e", "i", "o", "u"}) {
        const bool big = *v == 'e';
        writeList(folder + "/testi/" + v + ".txt", v, big ? c.words : 50, big ? c.wordLength : 0);
    }
}

double msSince(const QElapsedTimer &clock)
{
    return double(clock.nsecsElapsed()) / 1e6;
}

// Prints each figure as soon as it is taken: a list that hangs the program still shows how far it got.
void say(const char *format, double value)
{
    std::printf(format, value);
    std::fflush(stdout);
}

// Opens the copy, shows the E tab, adds a word there; one line of figures.
int measure(const QString &folder, const char *name)
{
    zampli::bench::SilentPlayer player;
    VoiceRecorder recorder;
    TeacherServices services{player, recorder};
    std::printf("teacher: %s: ", name);
    QElapsedTimer clock;
    clock.start();
    MainWindow window(services);
    window.openFolder(folder);
    window.resize(1000, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        qFatal("the window is not shown");
    window.repaint();
    say("window shown %.0f ms, ", msSince(clock));

    clock.restart();
    window.tabs()->setCurrentWidget(zampli::test::wordsTabOf(window, "E"));
    QCoreApplication::processEvents();
    window.repaint();
    QCoreApplication::processEvents();
    say("tab shown %.0f ms (goal 1000 ms), ", msSince(clock));

    auto *newWord = zampli::test::wordsTabOf(window, "E")->findChild<QLineEdit *>(QStringLiteral("nuovaParola"));
    if (newWord->isEnabled()) {
        clock.restart();
        newWord->setFocus();
        newWord->setText(QStringLiteral("elefante"));
        QTest::keyClick(newWord, Qt::Key_Return);
        QCoreApplication::processEvents();
        say("a word added and saved %.0f ms, ", msSince(clock));
    } else {
        std::printf("read-only, ");
    }
    say("peak memory %.0f MB\n", zampli::proc::statusMb("VmHWM"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("zampli-bench");
    if (argc == 4 && qstrcmp(argv[1], "--measure") == 0)
        return measure(QString::fromLocal8Bit(argv[2]), argv[3]);
    const int limitSeconds = argc == 3 && qstrcmp(argv[1], "--limit") == 0 ? std::atoi(argv[2]) : 300;
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("settings")));
    for (const Case &c : kCases) {
        const QString folder = dir.filePath(QString::fromLatin1(c.name).remove(u' '));
        makeCopy(folder, c);
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), folder, c.name});
        if (!child.waitForFinished(limitSeconds * 1000)) {
            const double peak = zampli::proc::statusMb("VmHWM", child.processId());
            child.kill();
            child.waitForFinished();
            std::printf("... not finished within %d s, peak memory by then %.0f MB\n", limitSeconds, peak);
        }
        std::fflush(stdout);
    }
    return 0;
}
