#pragma once

// Helpers shared by the report tests: reading PDF files back with poppler's tools.

#include <QProcess>
#include <QRegularExpression>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace reporttest {

inline QString runTool(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Text of one page (1-based) as pdftotext extracts it.
inline QString pdfPageText(const QString& pdf, int page)
{
    const QString n = QString::number(page);
    return runTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), n, QStringLiteral("-l"), n, QStringLiteral("-layout"),
                    pdf, QStringLiteral("-")});
}

inline QString pdfInfo(const QString& pdf, const QString& key)
{
    const QString info = runTool(QStringLiteral("pdfinfo"), {pdf});
    const QRegularExpression re(QStringLiteral("^%1:\\s*(.*)$").arg(key),
                                QRegularExpression::MultilineOption);
    return re.match(info).captured(1).trimmed();
}

inline int pdfPageCount(const QString& pdf)
{
    return pdfInfo(pdf, QStringLiteral("Pages")).toInt();
}

// Page size in points, e.g. 595 x 842 for A4 portrait.
inline QSizeF pdfPageSize(const QString& pdf)
{
    const QRegularExpression re(QStringLiteral("([\\d.]+) x ([\\d.]+) pts"));
    const auto m = re.match(pdfInfo(pdf, QStringLiteral("Page size")));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

// Kuruş as Turkish text with grouped thousands: 123456789 -> "1.234.567,89".
inline QString turkishMoney(qint64 kurus)
{
    const bool negative = kurus < 0;
    QString liras = QString::number((negative ? -kurus : kurus) / 100);
    for (qsizetype pos = liras.size() - 3; pos > 0; pos -= 3)
        liras.insert(pos, QLatin1Char('.'));
    const qint64 rest = (negative ? -kurus : kurus) % 100;
    return (negative ? QStringLiteral("-") : QString()) + liras + QLatin1Char(',') +
           QStringLiteral("%1").arg(rest, 2, 10, QLatin1Char('0'));
}

} // namespace reporttest
