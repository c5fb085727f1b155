#include "db/passwordhash.h"

#include "db/dberror.h"

#include <QRegularExpression>
#include <sodium.h>

namespace zelvo::db {

namespace {

constexpr unsigned long long opsLimit = crypto_pwhash_OPSLIMIT_INTERACTIVE;
constexpr size_t memLimit = crypto_pwhash_MEMLIMIT_INTERACTIVE;

static_assert(passwordHashWidth + 1 == crypto_pwhash_STRBYTES);

// The hash of a random text nobody knows, at the standard cost: a user name that does not
// exist is checked against it, so that it costs as much time as a wrong password.
constexpr char standInHash[] = "$argon2id$v=19$m=65536,t=2,p=1$d1ZJbIoRx9jvP7XTuV78Mw$"
                               "lRmbeMZc/K/E2oQ+lG+J1VQe4tubxEWyu5DG20hyVsI";

void requireSodium()
{
    static const bool ready = sodium_init() >= 0;
    if (!ready)
        throw DbError(QStringLiteral("Şifre kitaplığı (libsodium) başlatılamadı"));
}

// The password's bytes, wiped when they go out of scope.
class SecretBytes {
public:
    explicit SecretBytes(const QString& text) : m_bytes(text.toUtf8()) {}
    ~SecretBytes() { sodium_memzero(m_bytes.data(), size_t(m_bytes.size())); }
    SecretBytes(const SecretBytes&) = delete;
    SecretBytes& operator=(const SecretBytes&) = delete;
    const char* data() const { return m_bytes.constData(); }
    unsigned long long size() const { return static_cast<unsigned long long>(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

} // namespace

QString hashPassword(const QString& password)
{
    requireSodium();
    const SecretBytes secret(password);
    char hash[crypto_pwhash_STRBYTES] = {};
    if (crypto_pwhash_str(hash, secret.data(), secret.size(), opsLimit, memLimit) != 0)
        throw DbError(QStringLiteral("Şifre saklanacak biçime getirilemedi: bellek yetersiz"));
    return QString::fromLatin1(hash);
}

bool verifyPassword(const QString& stored, const QString& password)
{
    requireSodium();
    const SecretBytes secret(password);
    const bool known = isPasswordHash(stored);
    const QByteArray hash = known ? stored.toLatin1() : QByteArray(standInHash);
    const bool matches =
        crypto_pwhash_str_verify(hash.constData(), secret.data(), secret.size()) == 0;
    return known && matches;
}

bool isPasswordHash(const QString& stored)
{
    // The whole shape, not just the prefix: a ten-character password may well be "$argon2id$".
    static const QRegularExpression shape(QStringLiteral(
        "^\\$argon2id?\\$v=\\d+\\$m=\\d+,t=\\d+,p=\\d+\\$[A-Za-z0-9+/]+\\$[A-Za-z0-9+/]+$"));
    return stored.size() <= passwordHashWidth && shape.match(stored).hasMatch();
}

bool hasStandardCost(const QString& stored)
{
    requireSodium();
    return isPasswordHash(stored) &&
           crypto_pwhash_str_needs_rehash(stored.toLatin1().constData(), opsLimit, memLimit) == 0;
}

} // namespace zelvo::db
