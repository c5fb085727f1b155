#pragma once

#include "register/studentrules.h"

namespace zelvo::db {
class Dataset;
}

namespace zelvo::studentregister {

// One row of a student result by the columns the rules know (those the result has), as it
// stands: a change not yet stored included.
StudentValues studentValuesAt(const db::Dataset& students, int row);

// Every row of the result.
QList<StudentValues> allStudentValues(const db::Dataset& students);

} // namespace zelvo::studentregister
