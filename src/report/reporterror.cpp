#include "report/reporterror.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace zelvo::report {

QString ReportError::toString() const
{
    QString where;
    if (!fileName.isEmpty())
        where = QFileInfo(fileName).fileName();
    if (line > 0) {
        if (!where.isEmpty())
            where += u", "_s;
        where += u"satır %1, sütun %2"_s.arg(line).arg(column);
    }
    return where.isEmpty() ? message : where + u": "_s + message;
}

} // namespace zelvo::report
