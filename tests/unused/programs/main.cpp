// SPDX-License-Identifier: GPL-3.0-or-later
#include "Fixture.h"

#include <memory>

int main(int argc, char **)
{
    const std::unique_ptr<zampli::fixture::Shape> shape = std::make_unique<zampli::fixture::Shape>();
    return zampli::fixture::calledFromMain(argc) + zampli::fixture::cornersOf(*shape) > 0 ? 0 : 1;
}
