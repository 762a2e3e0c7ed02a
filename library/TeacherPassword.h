// The teacher's password, which, once set, guards the journal window and the
// chooser's editing commands. It is kept in the library (Baza/teacher.key)
// as a salted PBKDF2-SHA256 key, never as the password itself; with no file
// there is no password and everything is open, as before there was one.
//
// The file is one line, "pbkdf2-sha256:<iterations>:<salt>:<key>", salt and
// key in Base64. Like every file of the library it is read as untrusted: a
// damaged one is refused with a message naming it, which keeps the guarded
// commands closed (a student must not open them by spoiling the file; the
// teacher removes it to start again).
#pragma once

#include "library/Expected.h"

#include <QByteArray>
#include <QString>

#include <optional>

class TeacherPassword final
{
public:
    // Key derivation rounds for a new password: about a fifth of a second
    // on a school computer, which a wrong guess then costs.
    static constexpr int Iterations = 100000;

    // A new key for a password, with a fresh random salt.
    static TeacherPassword make(const QString &password);

    // The password of a library: nothing when the file is missing.
    static Expected<std::optional<TeacherPassword>> load(const QString &path);
    static Expected<TeacherPassword> parse(const QByteArray &text, const QString &path);
    QByteArray text() const;
    Status save(const QString &path) const;
    // Removes the password (and its file); no file is no failure.
    static Status remove(const QString &path);

    bool matches(const QString &password) const;

private:
    TeacherPassword() = default;

    int m_iterations = 0;
    QByteArray m_salt;
    QByteArray m_key;
};
