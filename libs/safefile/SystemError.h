// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zampli {

// The system's own words for an error number are English and terse; the
// adult reads these, in a sentence of ours: a few plain Italian words, never
// strerror's.
QString systemErrorText(int error);

} // namespace zampli
