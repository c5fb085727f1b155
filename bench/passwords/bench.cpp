// What a password costs at the cost the program stores it with: hashing (a password change, the
// upgrade of an older database), verifying the right and a wrong password, and an unknown user
// name, which is checked against a stand-in hash so that it costs the same. Also the whole
// login check on a database file: the user found by name, then the verification. Prints the
// fastest, median and slowest of several runs, in milliseconds; aim: 50 to 300 ms per
// verification.
//
//   bench_passwords            10 runs of each
//   bench_passwords <runs>

#include "benchtiming.h"
#include "db/connection.h"
#include "db/passwordhash.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace zelvo;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 10;
    const QString password = QStringLiteral("Gizli.ş5");
    const QString hash = db::hashPassword(password);
    std::printf("Stored form: %s\n", qPrintable(hash));
    bool accepted = false;

    measureRuns("hash", runs, [&] { db::hashPassword(password); });
    measureRuns("verify, right password", runs,
                [&] { accepted = db::verifyPassword(hash, password); });
    if (!accepted)
        return 1;
    measureRuns("verify, wrong password", runs,
                [&] { accepted = db::verifyPassword(hash, QStringLiteral("yanlış")); });
    measureRuns("verify, unknown user (stand-in hash)", runs,
                [&] { accepted = db::verifyPassword(QString(), password); });

    QTemporaryDir dir;
    db::Connection connection;
    connection.openSqlite(dir.filePath(QStringLiteral("bench.db")));
    measureRuns("login check: BireyGetirLogin + verify", runs, [&] {
        const db::ResultRows rows =
            connection.callProcedure(QStringLiteral("BireyGetirLogin"),
                                     {{QStringLiteral("@Key1"), QStringLiteral("admin")}});
        accepted =
            db::verifyPassword(rows.rows.value(0).value(2).toString(), QStringLiteral("admin"));
    });
    return accepted ? 0 : 1;
}
