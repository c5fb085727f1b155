#pragma once

#include "rawfloor.h"

// The timesheet, the accrual and declaration step 1 of March 2026 for unit 01 as the program's
// runs do them, statement for statement, on the raw floor. Each returns the rows it stored.
int floorTimesheet(RawFloor& floor);
int floorAccrual(RawFloor& floor);
int floorDeclaration(RawFloor& floor);
