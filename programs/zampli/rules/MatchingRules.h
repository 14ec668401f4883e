// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rules/Answer.h"
#include "rules/Shuffle.h"

#include <array>

namespace zampli {

// Position and sound: the five faces shuffled, one written vowel to match,
// never the same written vowel twice in a row.
class PositionTurn {
public:
    void draw(Random &random);
    Answer answer(int place);

    const Places &faces() const { return faces_; }
    const QString &written() const { return written_; }
    int writtenPlace() const { return writtenPlace_; }
    bool answered() const { return answered_; }

private:
    Places faces_;
    QString written_;
    int writtenPlace_ = 0;
    bool answered_ = false;
};

// A series of five pairs by click: the five letters of one style shuffled in
// a row, the model of another style shown alone, A first, then E ... U.
class ClickSeries {
public:
    static constexpr int kPairs = 5;

    void start(Random &random);
    // After a right pair nothing is judged until the next step.
    Answer answer(int place);
    // The next step after a pair: the next model, or a new series after the last.
    void goOn() { pairShown_ = false; }
    // A new choice of styles: the next step starts a new series.
    void end() { done_ = kPairs; }

    const Places &row() const { return row_; }
    int done() const { return done_; }
    // A right pair is on show, waiting for the next step.
    bool pairShown() const { return pairShown_; }
    bool over() const { return done_ >= kPairs; }
    // The vowel to match now; only while the series is not over.
    QString model() const { return vowelLetter(done_ + 1); }
    int lastDrawn() const { return lastDrawn_; }

private:
    Places row_;
    int done_ = kPairs;
    int lastDrawn_ = 0;
    bool pairShown_ = false;
};

// A series of five pairs by drag and drop: the pieces A..U (piece k is vowel
// k + 1) are dealt into the five rows in a shuffled order; box k takes vowel
// k + 1. Where each piece lies is kept here, in data.
class DragSeries {
public:
    static constexpr int kPairs = 5;

    // One draw per row; a piece placed already passes the row on to the next
    // free piece, which makes the order deliberately not uniform.
    void deal(Random &random);
    Answer drop(int box, int piece);

    int rowOf(int piece) const { return rows_[std::size_t(piece)]; }
    bool matched(int piece) const { return matched_[std::size_t(piece)]; }
    int done() const { return done_; }
    bool over() const { return done_ >= kPairs; }

private:
    std::array<int, kPairs> rows_{0, 1, 2, 3, 4};
    std::array<bool, kPairs> matched_{};
    int done_ = 0;
};

} // namespace zampli
