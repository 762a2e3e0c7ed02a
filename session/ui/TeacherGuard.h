// The teacher's password at the door of the journal window and of the
// chooser's editing commands. With no password set every door is open, as
// it always was. Otherwise the guard asks for it, three tries at most; the
// third wrong one plays the error cue and says so. Once given, the password
// holds until lock(): the main window locks again when the window it
// opened closes, so a student who sits down next finds the doors shut.
#pragma once

#include <QtGlobal>

struct AppContext;
class QWidget;

class TeacherGuard final
{
public:
    explicit TeacherGuard(AppContext &context) : m_context(context) {}
    Q_DISABLE_COPY_MOVE(TeacherGuard)

    // True when the command may go on: no password is set, it was given
    // earlier and still holds, or the teacher gives it now.
    bool allow(QWidget *parent);
    void lock() { m_unlocked = false; }

    // Sets, changes or removes the password ("Сервис → Пароль учителя...");
    // a password already set must be given first.
    void changePassword(QWidget *parent);

private:
    AppContext &m_context;
    bool m_unlocked = false;
};
