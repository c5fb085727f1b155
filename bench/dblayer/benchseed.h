#pragma once

#include <QString>

namespace zelvo::db {
class Connection;
}

// Shared by the monthly benchmarks: a unit full of interning students and the figures printed.
namespace benchseed {

// Opens a new database file in `directory` and adds `count` students of unit "01" whose
// internships fall on the March 2026 period in every way the day-count rules tell apart.
void openSeeded(zelvo::db::Connection& connection, const QString& directory, int count);
// The same students added to an open database of either backend, to `unit` (its students'
// numbers and identity numbers start at a million times the unit's number).
void addStudents(zelvo::db::Connection& connection, int count,
                 const QString& unit = QStringLiteral("01"));

// The processor time this process has used so far (user and system), in seconds: on a busy
// machine a fairer figure than the wall clock.
double cpuSeconds();

// The peak resident memory of this process so far, in megabytes.
double peakMemoryMb();

// Runs this program once per size as a child process, so that every size reports its own
// peak memory. Returns the first failing exit code, else 0.
int runEachSizeApart(const QString& program, const QList<int>& sizes);

} // namespace benchseed
