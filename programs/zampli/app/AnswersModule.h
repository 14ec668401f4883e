// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "state/LateAnswerLog.h"

#include <QString>
#include <memory>

namespace zampli {

class ProblemLog;

// The writer of the answers given in `programFolder`, made by the answers'
// module in `installedFolder`. Without a usable module the answers of this
// run are not kept, the adult is told once, and the windows go on the same.
std::unique_ptr<AnswerWriter> loadAnswerWriter(const QString &installedFolder, const QString &programFolder,
                                               ProblemLog &log);

} // namespace zampli
