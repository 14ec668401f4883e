// SPDX-License-Identifier: GPL-3.0-or-later
// A test of the fixture's library: what only it calls ships for nothing.
#include "Fixture.h"

int main(int argc, char **)
{
    return zampli::fixture::calledOnlyByATest(argc) > 0 ? 0 : 1;
}
