#pragma once

// What the backup tests share: a database file of the server scripts in a temporary folder, a
// session logged in on it, and the backup service of that connection on a clock the test sets.

#include "backup/backupservice.h"
#include "testsession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

struct BackupFixture {
    QTemporaryDir dir;
    TestSession session;
    QString databasePath;
    QDateTime clock{QDate(2026, 3, 14), QTime(9, 30, 5)};
    std::unique_ptr<zelvo::backup::BackupService> service;

    // `folder` as the settings file would name it; empty for "backups" beside the database.
    explicit BackupFixture(const QString& folder = {})
    {
        databasePath = dir.filePath(QStringLiteral("zelvo.db"));
        session.connection.openSqlite(databasePath);
        session.relogin(QStringLiteral("admin"), QStringLiteral("admin"));
        startService(folder);
    }
    void startService(const QString& folder)
    {
        service.reset();
        service = std::make_unique<zelvo::backup::BackupService>(session.connection,
                                                                 session.dialogs, folder);
        service->setClock([this] { return clock; });
    }
    QString backupsPath() const { return dir.filePath(QStringLiteral("backups")); }

    // Students "S<n>" of unit 01, numbered from `first`.
    void addStudents(int first, int count)
    {
        zelvo::db::Transaction tx(session.connection);
        for (int i = first; i < first + count; ++i)
            session.addStudent(QStringLiteral("S%1").arg(i), QStringLiteral("Ad%1").arg(i),
                               QStringLiteral("Soyad"), QDate(2026, 3, 1), QDate(2026, 5, 1));
        tx.commit();
    }
    QStringList students() { return studentsOf(session.connection); }
    static QStringList studentsOf(zelvo::db::Connection& connection)
    {
        QStringList numbers;
        for (const auto& row :
             connection.query(QStringLiteral("SELECT ogrencino FROM ogrenci ORDER BY 1")).rows)
            numbers << row.value(0).toString();
        return numbers;
    }
    // The students of another database file, opened the way the program opens it.
    static QStringList studentsIn(const QString& path)
    {
        zelvo::db::Connection other;
        other.openSqlite(path, zelvo::db::Connection::OpenMode::MustExist);
        return studentsOf(other);
    }
    // Every file of a folder, sorted; journals and partial copies included.
    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};
