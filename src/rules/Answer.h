#pragma once

namespace zampli {

// What a click or a drop means for the turn.
enum class Answer {
    Ignored, // nothing to answer now (the turn or series is over)
    Wrong,
    Right,
};

} // namespace zampli
