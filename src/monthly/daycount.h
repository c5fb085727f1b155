#pragma once

#include <QDate>
#include <functional>

namespace zelvo::monthly {

// Orders two stored dates as the timesheet compares them: an empty date comes before every date
// and equals only another empty date. Returns <0, 0 or >0.
int compareDates(const QDate& a, const QDate& b);

// The days D a student counts in the period [first, last] for an internship from `start` to
// `end`, by the timesheet's rules in their order:
//   inside the period: the server's count G; starting on or before the first day and ending
//   after the last: 30; otherwise G; exactly the period: 30; starting and ending on the same
//   day: 1; never more than 30.
// `serverCount` gives G. It is asked only when the result depends on it, so a missing count
// matters only where it would be used.
int timesheetDays(const QDate& start, const QDate& end, const QDate& first, const QDate& last,
                  const std::function<int()>& serverCount);

} // namespace zelvo::monthly
