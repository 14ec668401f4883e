#pragma once
#include <sound/Player.h>
