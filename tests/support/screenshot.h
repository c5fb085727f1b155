// With ZELVO_SCREENSHOT_DIR set, a suite keeps a picture of a window there to look at.
#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

inline void keepScreenshot(QWidget& window, const QString& name)
{
    const QString dir = qEnvironmentVariable("ZELVO_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        window.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
}
