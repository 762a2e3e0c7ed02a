// Answering the program's modal windows and message boxes from a test, the
// way a user would: the test's step runs while the window's exec() does.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

// Answers modal windows while it lives: every few milliseconds it hands
// the active modal window to a handler, which answers it and returns true,
// or returns false to leave it open for now. Without a handler a message
// box is answered with OK and any other modal window is hidden, which ends
// its exec().
class ModalAnswerer
{
public:
    using Handler = std::function<bool(QWidget *)>;
    explicit ModalAnswerer(Handler handler = {}) : m_handler(std::move(handler))
    {
        ++live();
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start(5);
    }
    ~ModalAnswerer() { --live(); }
    Q_DISABLE_COPY_MOVE(ModalAnswerer)

    // How many answerers are at work now.
    static int &live()
    {
        static int count = 0;
        return count;
    }
    QStringList seen;   // class name, or "caption|text" for a message box

    static QString describe(QWidget *widget)
    {
        if (auto *box = qobject_cast<QMessageBox *>(widget))
            return box->windowTitle() + u'|' + box->text();
        return QString::fromLatin1(widget->metaObject()->className());
    }
    static void press(QWidget *widget, QMessageBox::StandardButton button)
    {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (box && box->button(button))
            box->button(button)->click();
        else
            widget->hide();
    }

private:
    // The window answered last while it stays on screen: a window that is
    // still modal when its answer is under way (a chooser whose open
    // command waits for a cue) is answered once a showing, as a user would.
    class Answered final : public QObject
    {
    public:
        QPointer<QWidget> widget;
        void watch(QWidget *shown)
        {
            widget = shown;
            shown->installEventFilter(this);
        }
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (watched == widget && event->type() == QEvent::Hide) {
                widget->removeEventFilter(this);
                widget = nullptr;
            }
            return false;
        }
    };

    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == m_busy || modal == m_answered.widget)
            return;
        m_busy = modal;
        const QString text = describe(modal);
        const bool answered = m_handler ? m_handler(modal) : (press(modal, QMessageBox::Ok), true);
        if (answered) {
            seen << text;
            if (modal->isVisible())
                m_answered.watch(modal);
        }
        m_busy = nullptr;
    }

    Handler m_handler;
    QTimer m_timer;
    QPointer<QWidget> m_busy;
    Answered m_answered;
};

// Runs `inside` as soon as `dialog` is the modal window on top, while the
// test's exec() of it (or of the window under it) is running. If the step
// leaves the dialog open (a failed check returns early), `close` ends it so
// the test cannot hang.
inline void whenModal(QWidget *dialog, std::function<void()> inside, std::function<void()> close = {})
{
    auto *timer = new QTimer(dialog);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, dialog, [=] {
        if (QApplication::activeModalWidget() != dialog)
            return;
        timer->stop();
        timer->deleteLater();
        inside();
        if (dialog->isVisible()) {
            if (close)
                close();
            else if (auto *d = qobject_cast<QDialog *>(dialog))
                d->done(QDialog::Rejected);
        }
    });
    timer->start();
}

// The same for a message box that is expected to appear next; returns it
// to the step, which must close it.
inline void whenMessageBox(QObject *context, std::function<void(QMessageBox *)> inside)
{
    auto *timer = new QTimer(context);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, context, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        timer->stop();
        timer->deleteLater();
        inside(box);
        if (box->isVisible())
            box->done(QMessageBox::Ok);
    });
    timer->start();
}

// Fails the running test on a message box that comes up while no answerer
// is at work: nobody expected it, and left alone it would hold the test up
// until it timed out. The box is closed, so the test goes on to report.
class UnexpectedBoxes
{
public:
    UnexpectedBoxes()
    {
        QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] { poll(); });
        m_timer.start(5);
    }

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || ModalAnswerer::live() > 0)
            return;
        const QString text = QStringLiteral("a message box nobody expected: ") + ModalAnswerer::describe(box);
        box->done(QMessageBox::Cancel);
        QTest::qFail(qPrintable(text), __FILE__, __LINE__);
    }

    QTimer m_timer;
};
