#include "register/datasetstudents.h"

#include "db/dataset.h"

namespace zelvo::studentregister {

StudentValues studentValuesAt(const db::Dataset& students, int row)
{
    StudentValues values;
    for (const StudentField& field : studentFields())
        if (const int c = students.columnIndex(field.column); c >= 0)
            values.insert(field.column, students.valueAt(row, c));
    return values;
}

QList<StudentValues> allStudentValues(const db::Dataset& students)
{
    return db::mapRows(students, studentValuesAt);
}

} // namespace zelvo::studentregister
