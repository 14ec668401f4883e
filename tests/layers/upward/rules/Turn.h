#pragma once
#include <state/Shared.h>
