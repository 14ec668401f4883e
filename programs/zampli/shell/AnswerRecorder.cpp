// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/AnswerRecorder.h"

#include "shell/ExerciseWindows.h"
#include "state/AnswerLog.h"

#include <QDateTime>

namespace zampli {

namespace {

// How each window that judges answers puts a vowel before the child, and
// how the child answers. The listening windows judge nothing.
struct AnswerKinds {
    FormId id;
    Shown asked;
    Shown chosen;
};

constexpr AnswerKinds kAnswerKinds[] = {
    {FormId::Posizioni3, Shown::Voice, Shown::Face},    {FormId::Posizioni4, Shown::Voice, Shown::Face},
    {FormId::Zampli3, Shown::Voice, Shown::Letter},     {FormId::Zampli4, Shown::Voice, Shown::Letter},
    {FormId::Posizioni5, Shown::Letter, Shown::Face},   {FormId::Caratteri1, Shown::Letter, Shown::Letter},
    {FormId::Caratteri2, Shown::Letter, Shown::Letter}, {FormId::IniziaPer, Shown::Word, Shown::Tile},
};

AnswerKinds answerKinds(FormId id)
{
    for (const AnswerKinds &k : kAnswerKinds)
        if (k.id == id)
            return k;
    return {id, Shown::Voice, Shown::Face};
}

int styleOf(Shown shown, int given, int stile)
{
    if (shown != Shown::Letter)
        return 0;
    return given >= 0 ? given : stile;
}

} // namespace

AnswerRecorder::AnswerRecorder(AnswerLog &log, FormId id)
    : log_(log), window_(QString::fromLatin1(exerciseWindow(id).name())), askedAs_(answerKinds(id).asked),
      chosenAs_(answerKinds(id).chosen)
{
}

void AnswerRecorder::questionAsked()
{
    ++turn_;
    askedAt_ = Steady::now();
}

void AnswerRecorder::record(Answer verdict, const Judged &what, int stile)
{
    if (verdict == Answer::Ignored)
        return;
    const Steady::time_point now = Steady::now();
    AnswerRecord a;
    a.atMs = QDateTime::currentMSecsSinceEpoch();
    a.window = window_;
    a.turn = turn_;
    a.asked = what.asked;
    a.askedAs = askedAs_;
    a.askedStyle = styleOf(askedAs_, what.askedStyle, stile);
    a.word = what.word;
    a.chosen = what.chosen;
    a.chosenAs = chosenAs_;
    a.chosenStyle = styleOf(chosenAs_, what.chosenStyle, stile);
    a.right = verdict == Answer::Right;
    a.answerMs = std::chrono::duration_cast<std::chrono::milliseconds>(now - askedAt_).count();
    log_.record(a);
    // A drag series goes on to its next pair at once: that one counts from here.
    if (a.right)
        askedAt_ = now;
}

} // namespace zampli
