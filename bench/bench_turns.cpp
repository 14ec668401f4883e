// SPDX-License-Identifier: GPL-3.0-or-later
// A turn in every exercise window, at a large window size: what the child's
// answer and the next button do (draws, picture loads, colour) and the
// repaint, timed together. Prints the median and the 99th percentile of each
// window, and how its memory moved: what the first turns took (the pictures
// the window keeps decoded), what the timed turns added after them (a leak
// shows here), and what the window left behind once closed.
//
//   bench_turns [TURNS] [WINDOW...]     (1000 turns by default; every window)
//
// Fails only when a median passes 16 ms, a bound only a real regression crosses.

#include "BenchProgram.h"
#include "exercises/initial/InitialVowel.h"
#include "exercises/listening/FivePictureListening.h"
#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/CharacterClickMatching.h"
#include "exercises/matching/CharacterDragMatching.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"
#include "shell/ExerciseWindows.h"

#include <QApplication>
#include <QPainter>
#include <cstdio>
#include <functional>

using namespace zampli;

namespace {

constexpr double kLimitMs = 16.0;
constexpr QSize kWindowSize(1600, 1200);
// Turns enough for a window to have shown each of its pictures at least once.
constexpr int kFirstTurns = 500;

// One turn of the window `form`, turn number `i`: a right answer, then on to the next.
std::function<void(int)> turnOf(Form &form, bench::BenchClock &clock)
{
    if (auto *f = qobject_cast<SinglePictureListening *>(&form))
        return [f](int) { f->Command1_Click(); };
    if (auto *f = qobject_cast<FivePictureListening *>(&form))
        return [f, &clock](int i) {
            f->Image1_Click(i % 5);
            clock.ahead += 3; // the voice has had its time
            f->Timer1_Timer();
        };
    if (auto *f = qobject_cast<PictureRecognition *>(&form))
        return [f](int) {
            f->Image1_Click(f->turn().spokenPlace());
            f->Command2_Click();
        };
    if (auto *f = qobject_cast<PositionMatching *>(&form))
        return [f](int) {
            f->Image1_Click(f->turn().writtenPlace());
            f->Command2_Click();
        };
    if (auto *f = qobject_cast<CharacterClickMatching *>(&form))
        return [f](int) {
            if (!f->series().over())
                f->Image3_Click(placeOf(f->series().row(), f->series().model()));
            f->Command2_Click();
        };
    if (auto *f = qobject_cast<CharacterDragMatching *>(&form))
        return [f](int i) {
            f->Image3_DragDrop(i % 5, i % 5);
            if (i % 5 == 4)
                f->Command2_Click();
        };
    if (auto *f = qobject_cast<InitialVowel *>(&form))
        return [f](int) {
            f->Frame1_Click(f->quiz().vowel() - 1);
            f->Command1_Click();
        };
    return nullptr;
}

// The toolkit's floor for a turn: a bare widget of the windows' size that
// paints itself in another colour at every turn, as a tinted window does.
class FloorWindow final : public QWidget {
public:
    void turn(int i)
    {
        colour_ = QColor::fromHsv((i * 37) % 360, 200, 230);
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), colour_); }

private:
    QColor colour_ = Qt::white;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int turns = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    bench::BenchProgram program;
    bool fast = true;
    QStringList only = app.arguments().mid(2);
    {
        FloorWindow floor;
        floor.setAttribute(Qt::WA_OpaquePaintEvent);
        floor.resize(kWindowSize);
        floor.show();
        QApplication::processEvents();
        const bench::Timings t = bench::timeRuns(turns, [&floor](int i) { floor.turn(i); });
        std::printf("turn floor, a bare window of the same size painted anew in another colour (%d): median %.2f "
                    "ms, p99 %.2f ms\n",
                    turns, t.median, t.p99);
    }
    for (const ExerciseWindowRow &row : kExerciseWindows) {
        if (!only.isEmpty() && !only.contains(QLatin1String(row.name())))
            continue;
        Form &form = *program.program.windows.form(row.id);
        const auto turn = turnOf(form, program.clock);
        if (!turn) {
            std::fprintf(stderr, "%s: no turn known for this window\n", row.name());
            return 2;
        }
        const bench::Memory closed = bench::memoryNow();
        form.Show();
        form.window()->resize(kWindowSize);
        QApplication::processEvents();
        const bench::Memory opened = bench::memoryNow();
        const int firstTurns = std::min(kFirstTurns, turns);
        bench::timeRuns(firstTurns, turn);
        const bench::Memory warm = bench::memoryNow();
        const bench::Timings t = bench::timeRuns(turns, turn);
        const bench::Memory done = bench::memoryNow();
        form.Unload();
        bench::deleteClosedWindows();
        QApplication::processEvents();
        const bench::Memory after = bench::memoryNow();
        std::printf("turn %s (%d): median %.2f ms, p99 %.2f ms (targets 2 and 16); heap in use: %+.1f MB in the "
                    "first %d turns, %+.2f MB over the %d after them (RSS %+.1f), %+.2f MB left once closed\n",
                    row.name(), turns, t.median, t.p99, warm.heap - opened.heap, firstTurns + 20, done.heap - warm.heap,
                    turns, done.rss - warm.rss, after.heap - closed.heap);
        std::fflush(stdout);
        fast &= t.median < kLimitMs;
    }
    return fast ? 0 : 1;
}
