#include "monthly/daycount.h"

#include <algorithm>

namespace zelvo::monthly {

int compareDates(const QDate& a, const QDate& b)
{
    if (!a.isValid() || !b.isValid())
        return int(a.isValid()) - int(b.isValid());
    return a < b ? -1 : (a == b ? 0 : 1);
}

int timesheetDays(const QDate& start, const QDate& end, const QDate& first, const QDate& last,
                  const std::function<int()>& serverCount)
{
    const int startVsFirst = compareDates(start, first);
    const int endVsLast = compareDates(end, last);

    bool thirty = false; // otherwise the server's count
    if (startVsFirst >= 0 && endVsLast <= 0)
        thirty = false;
    else if (startVsFirst <= 0 && endVsLast > 0)
        thirty = true;
    if (startVsFirst == 0 && endVsLast == 0)
        thirty = true;
    if (compareDates(start, end) == 0)
        return 1;
    if (thirty)
        return 30;
    return std::min(serverCount(), 30);
}

} // namespace zelvo::monthly
