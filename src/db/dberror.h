#pragma once

#include <QString>
#include <exception>

namespace db {

// The one error type of the database layer. It carries the text the provider (or the layer
// itself) gave, which the windows show in the system error box.
class DbError : public std::exception {
public:
    explicit DbError(QString text) : m_text(std::move(text)), m_utf8(m_text.toUtf8()) {}
    const QString& text() const noexcept { return m_text; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_text;
    QByteArray m_utf8;
};

// The text of the system error box: a full stop is added when the last character sorts after
// the full stop (a letter or a digit), so "no such table: x" becomes "no such table: x.".
QString errorBoxText(const QString& text);

} // namespace db
