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
    QList<StudentValues> rows;
    rows.reserve(students.recordCount());
    for (int r = 0; r < students.recordCount(); ++r)
        rows.append(studentValuesAt(students, r));
    return rows;
}

} // namespace zelvo::studentregister
