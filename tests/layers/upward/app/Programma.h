#pragma once
#include "exercises/listening/Listening.h"
