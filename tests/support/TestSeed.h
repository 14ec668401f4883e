// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRandomGenerator>
#include <QtGlobal>

namespace zampli::test {

// The seed of a test's random draws, printed so that a failure can be
// replayed: ZAMPLI_TEST_SEED=<seed> draws the same again. Read as unsigned:
// half the seeds drawn do not fit an int.
inline quint32 testSeed()
{
    bool given = false;
    const quint32 asked = qEnvironmentVariable("ZAMPLI_TEST_SEED").toUInt(&given);
    const quint32 seed = given ? asked : QRandomGenerator::global()->generate();
    qInfo("ZAMPLI_TEST_SEED=%u", seed);
    return seed;
}

} // namespace zampli::test
