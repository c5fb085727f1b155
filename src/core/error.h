#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace zelvo::core {

// The one error type the program throws for a failed step: a text for the system error box.
// The database layer knows it as db::DbError; the period rules throw it too, so every window
// catches the same thing whichever layer failed.
class Error : public std::exception {
public:
    explicit Error(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

} // namespace zelvo::core
