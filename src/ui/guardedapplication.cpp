#include "ui/guardedapplication.h"

#include "db/dberror.h"
#include "ui/dialogservice.h"

#include <QDebug>
#include <exception>

namespace zelvo::ui {

QString GuardedApplication::currentExceptionText()
{
    try {
        throw;
    } catch (const db::DbError& e) {
        return db::errorBoxText(e.text());
    } catch (const std::exception& e) {
        return db::errorBoxText(QString::fromUtf8(e.what()));
    } catch (...) {
        return QStringLiteral("Beklenmeyen bir hata oluştu.");
    }
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        const QString text = currentExceptionText();
        qWarning().noquote() << "Yakalanan hata:" << text;
        // An error raised while its own box is up is logged only: one box, not a cascade.
        if (m_dialogs != nullptr && !m_reporting) {
            m_reporting = true;
            m_dialogs->error(nullptr, text);
            m_reporting = false;
        }
        return false;
    }
}

} // namespace zelvo::ui
