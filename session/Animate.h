// The tutor of the testing window: the head frames he shows, the sequences
// of frames with their waits (greeting, nod, head shake, looking towards the
// pointer), and the voice line he says after an answer. The window supplies
// the drawing of one frame; the waits block through the injected clock, so
// no input is handled while a sequence runs, and tests run them instantly.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>

class Clock;
class Cues;
struct SessionState;

class Animate final
{
public:
    // Head frames, in the order of the resource names below.
    enum Frame : int { Normal = 0, No1, No2, No3, No4, Yes1, Yes2, Yes3, Yes4, FrameCount };

    // One step of a sequence: draw a frame, then wait (0 for the last one).
    struct Step
    {
        int frame;
        int wait;
        bool operator==(const Step &) const = default;
    };

    using DrawFrame = std::function<void(int frame)>;

    Animate(SessionState &state, Cues &cues, Clock &clock, DrawFrame draw);

    // The bitmap resource name of a frame ("Hd_Normal", "Hd_No1" ...).
    static QString frameResource(int frame);

    static QList<Step> nod();
    static QList<Step> shake();
    static QList<Step> greeting();
    // The head turn from one pointer zone to another; empty when they agree
    // or a zone is out of range.
    static QList<Step> lookTransition(int from, int to);

    // After a right answer: the voice line (every fifth right answer in a
    // row gets the special one, never on the last question), then the nod.
    void AnimateRight();
    // After a wrong answer: the voice line (every third wrong answer in a row
    // gets a special one, never on the last question), then the shake.
    void AnimateWrong();
    // The first paint of the window: "Hello" and the greeting nod.
    void AnimateGreeting();
    // The pointer has moved into a zone: 1 question view, 2 the left part of
    // the window, 3 its right part.
    void LookAt(int zone);

private:
    void run(const QList<Step> &steps);
    // Either name with equal chance; the generator is reseeded from the clock.
    QString pick(const QString &first, const QString &second) const;

    SessionState &m_state;
    Cues &m_cues;
    Clock &m_clock;
    DrawFrame m_draw;
};
