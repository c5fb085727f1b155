#pragma once

#include "testsession.h"

#include <QAbstractButton>
#include <QDir>
#include <QTest>

// Small helpers shared by the administration window tests.
namespace adminwindowtest {

// The named control of a window; fails the test loudly when it is missing.
template <typename T> T* control(const QWidget& window, const char* name)
{
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no control %s", qPrintable(window.objectName()), name);
    return found;
}

inline void click(const QWidget& window, const char* buttonName)
{
    QTest::mouseClick(control<QAbstractButton>(window, buttonName), Qt::LeftButton);
}

// Types text as key presses, one character at a time; unlike QTest::keyClicks it takes any
// letter, Turkish ones included.
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

inline void addUnit(TestSession& session, const QString& code, const QString& name)
{
    session.setup().insertRow(QStringLiteral("birim"), {{QStringLiteral("birimkodu"), code},
                                                        {QStringLiteral("birimadi"), name}});
}

// Makes the server refuse every change to a table, as a locked or failing server would.
inline void refuseUpdates(TestSession& session, const QString& table, const QString& text)
{
    session.refuseChanges(TestSession::Change::Update, table, text);
}

// Counts the rows the server updates in a table, in the table `writes`.
inline void countWrites(TestSession& session, const QString& table)
{
    session.countUpdates(table);
}

inline void acceptUpdates(TestSession& session, const QString& table)
{
    session.stopRefusing(TestSession::Change::Update, table);
}

// Grabs the window as it is drawn; with ZELVO_SCREENSHOT_DIR set, keeps the picture there.
inline QImage screenshot(QWidget& window, const QString& name)
{
    const QImage image = window.grab().toImage();
    const QString dir = qEnvironmentVariable("ZELVO_SCREENSHOT_DIR");
    if (!dir.isEmpty() && QDir().mkpath(dir))
        image.save(QDir(dir).filePath(name + QStringLiteral(".png")));
    return image;
}

} // namespace adminwindowtest
