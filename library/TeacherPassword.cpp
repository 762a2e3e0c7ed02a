#include "library/TeacherPassword.h"

#include "library/FileErrors.h"
#include "library/LineList.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>

namespace {

constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
constexpr qint64 kMaxFileBytes = 4096;
// A damaged file must not make one check take minutes.
constexpr int kMostIterations = 10'000'000;

const QByteArray kScheme = QByteArrayLiteral("pbkdf2-sha256");

QByteArray derive(const QString &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password.toUtf8(), salt, iterations,
                                              kKeyBytes);
}

} // namespace

TeacherPassword TeacherPassword::make(const QString &password)
{
    TeacherPassword made;
    made.m_iterations = Iterations;
    made.m_salt.resize(kSaltBytes);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(made.m_salt.data()), kSaltBytes / 4);
    made.m_key = derive(password, made.m_salt, made.m_iterations);
    return made;
}

Expected<std::optional<TeacherPassword>> TeacherPassword::load(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return std::optional<TeacherPassword>();
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("Файл пароля учителя %1 не прочитан: %2")
                         .arg(QDir::toNativeSeparators(path), FileErrors::reason(file))};
    Expected<TeacherPassword> parsed = parse(file.read(kMaxFileBytes + 1), path);
    if (!parsed)
        return Error{parsed.error()};
    return std::optional<TeacherPassword>(*parsed);
}

Expected<TeacherPassword> TeacherPassword::parse(const QByteArray &text, const QString &path)
{
    const Error damaged{QStringLiteral("Файл пароля учителя %1 повреждён. Пока он такой, журнал и правка тем"
                                       " закрыты; удалите этот файл и задайте пароль заново.")
                            .arg(QDir::toNativeSeparators(path))};
    if (text.size() > kMaxFileBytes)
        return damaged;
    const QList<QByteArray> parts = text.trimmed().split(':');
    if (parts.size() != 4 || parts.at(0) != kScheme)
        return damaged;
    bool ok = false;
    const int iterations = parts.at(1).toInt(&ok);
    if (!ok || iterations < 1 || iterations > kMostIterations)
        return damaged;
    const auto salt = QByteArray::fromBase64Encoding(parts.at(2), QByteArray::AbortOnBase64DecodingErrors);
    const auto key = QByteArray::fromBase64Encoding(parts.at(3), QByteArray::AbortOnBase64DecodingErrors);
    if (!salt || !key || (*salt).size() < 8 || (*salt).size() > 64 || (*key).size() != kKeyBytes)
        return damaged;
    TeacherPassword password;
    password.m_iterations = iterations;
    password.m_salt = *salt;
    password.m_key = *key;
    return password;
}

QByteArray TeacherPassword::text() const
{
    return kScheme + ':' + QByteArray::number(m_iterations) + ':' + m_salt.toBase64() + ':' + m_key.toBase64()
           + "\r\n";
}

Status TeacherPassword::save(const QString &path) const
{
    return LineLists::writeBytes(path, text());
}

Status TeacherPassword::remove(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.remove())
        return {};
    return Error{QStringLiteral("Файл пароля учителя %1 не удалён: %2")
                     .arg(QDir::toNativeSeparators(path), FileErrors::reason(file))};
}

bool TeacherPassword::matches(const QString &password) const
{
    const QByteArray key = derive(password, m_salt, m_iterations);
    if (key.size() != m_key.size())
        return false;
    // Every byte compared, whatever the first difference.
    char difference = 0;
    for (qsizetype i = 0; i < key.size(); ++i)
        difference |= char(key.at(i) ^ m_key.at(i));
    return difference == 0;
}
