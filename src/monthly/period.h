#pragma once

// The period rules live in core; the monthly windows still name them without the namespace.
#include "core/period.h"

using Period = zelvo::core::Period;
