#pragma once

// The money rules live in core; callers that still say money:: find them here.
#include "core/money.h"

namespace money = zelvo::core::money;
