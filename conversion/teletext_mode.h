#pragma once

// Mode 7's record lives with the other modes' records.
#include "conversion/screen_modes.h"
