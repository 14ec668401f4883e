// Time from a press of a window's next button to its new turn painted (draws,
// picture loads, colour, repaint) at a large window size, in each window kind
// that has a next button. Prints the median and the 95th percentile of each;
// fails when a median passes 16 ms, which only a real regression crosses.

#include "BenchProgram.h"
#include "exercises/listening/SinglePictureListening.h"
#include "exercises/matching/PositionMatching.h"
#include "exercises/recognition/PictureRecognition.h"

#include <QApplication>
#include <QFile>
#include <functional>

namespace {

constexpr double kLimitMs = 16.0;

// Times `turn` after a warm-up; true when its median is within the limit.
bool timeTurns(zampli::Form &form, const std::function<void()> &turn)
{
    form.Show();
    form.window()->resize(1600, 1200);
    QApplication::processEvents();
    const double median = zampli::bench::timeRuns(form.objectName() + " next turn", form.window(), turn);
    form.Unload();
    return median < kLimitMs;
}

} // namespace

int main(int argc, char *argv[])
{
    using namespace zampli;
    QApplication app(argc, argv);
    bench::BenchProgram program;
    const MediaPaths &media = program.m.services.media;
    for (const char *l : {"A", "E", "I", "O", "U"}) // faces as large as the letters
        QFile::copy(media.letterPicture(QString::fromLatin1(l), 1), media.facePicture(QString::fromLatin1(l)));
    Windows &windows = program.program.windows;

    bool fast = true;
    auto &zampli1 = windows.form<SinglePictureListening>(FormId::Zampli1);
    fast &= timeTurns(zampli1, [&] { zampli1.Command1_Click(); });
    for (FormId id : {FormId::Zampli3, FormId::Zampli4}) {
        auto &recognition = windows.form<PictureRecognition>(id);
        fast &= timeTurns(recognition, [&] { recognition.Command2_Click(); });
    }
    auto &posizioni5 = windows.form<PositionMatching>(FormId::Posizioni5);
    fast &= timeTurns(posizioni5, [&] { posizioni5.Command2_Click(); });
    return fast ? 0 : 1;
}
