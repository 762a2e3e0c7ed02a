// The teacher's password file: a salted PBKDF2 key that says nothing of the
// password, and a damaged file refused with its name.
#include "library/TeacherPassword.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestTeacherPassword : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keptAsSaltedKey();
    void damagedFileRefused();
};

void TestTeacherPassword::keptAsSaltedKey()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("teacher.key"));
    QVERIFY(!TeacherPassword::load(path).value().has_value());   // no file: no password
    QVERIFY(TeacherPassword::remove(path));

    const QString secret = QStringLiteral("Учитель-7");
    QVERIFY(TeacherPassword::make(secret).save(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.startsWith("pbkdf2-sha256:100000:"), text.constData());
    QVERIFY(!text.contains(secret.toUtf8()));
    // The same password gets another salt, and so another key, each time.
    QVERIFY(TeacherPassword::make(secret).text() != text);

    const TeacherPassword stored = TeacherPassword::load(path).value().value();
    QVERIFY(stored.matches(secret));
    QVERIFY(!stored.matches(QStringLiteral("учитель-7")));
    QVERIFY(TeacherPassword::remove(path));
    QVERIFY(!QFile::exists(path));
}

void TestTeacherPassword::damagedFileRefused()
{
    const QString path = QStringLiteral("/школа/Baza/teacher.key");
    const QByteArray salt = QByteArray(16, 's').toBase64();
    const QByteArray key = QByteArray(32, 'k').toBase64();
    for (const QByteArray &damaged :
         {QByteArray(), "pbkdf2-sha256:100000:" + salt, "md5:100000:" + salt + ':' + key,
          "pbkdf2-sha256:0:" + salt + ':' + key, "pbkdf2-sha256:999999999:" + salt + ':' + key,
          "pbkdf2-sha256:100000:" + salt + ":*" + key, "pbkdf2-sha256:100000:" + salt + ':' + salt}) {
        const Expected<TeacherPassword> read = TeacherPassword::parse(damaged, path);
        QVERIFY2(!read, damaged.constData());
        QVERIFY2(read.error().contains(QDir::toNativeSeparators(path)), qPrintable(read.error()));
    }
    QVERIFY(TeacherPassword::parse("pbkdf2-sha256:1:" + salt + ':' + key + "\r\n", path));
}

QTEST_GUILESS_MAIN(TestTeacherPassword)
#include "tst_teacherpassword.moc"
