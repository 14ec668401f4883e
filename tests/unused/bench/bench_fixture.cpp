// SPDX-License-Identifier: GPL-3.0-or-later
// A benchmark of the fixture's library: it counts as a user.
#include "Fixture.h"

int main(int argc, char **)
{
    return zampli::fixture::calledOnlyByABenchmark(argc) > 0 ? 0 : 1;
}
