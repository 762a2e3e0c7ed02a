#include "session/HoldingClock.h"

#include <QCoreApplication>
#include <QEvent>
#include <QMetaObject>

#include <algorithm>
#include <utility>

// Drops the user's input to the windows while a pause lasts. Events are
// dropped where they reach a widget, not the window: the window still
// routes them, so a press and its release keep the widgets' mouse grab
// consistent even when the release is the one dropped.
class HoldingClock::InputFilter final : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType())
            return false;
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
            return true;
        case QEvent::Close:
            // The window's close button; closing from the program goes on.
            return event->spontaneous();
        default:
            return false;
        }
    }
};

HoldingClock::HoldingClock(Clock &inner) : m_inner(inner), m_filter(std::make_unique<InputFilter>()) {}

HoldingClock::~HoldingClock() = default;

QTime HoldingClock::currentTime() const
{
    return m_inner.currentTime();
}

int HoldingClock::msecsOfDay() const
{
    return m_inner.msecsOfDay();
}

void HoldingClock::pause(int milliseconds)
{
    if (m_depth++ == 0 && QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(m_filter.get());
    m_inner.pause(std::max(0, milliseconds));
    if (--m_depth > 0)
        return;
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(m_filter.get());
    if (m_heldTick) {
        std::function<void()> tick = std::exchange(m_heldTick, {});
        if (QObject *context = m_tickContext.data())
            QMetaObject::invokeMethod(context, std::move(tick), Qt::QueuedConnection);
        m_tickContext = nullptr;
    }
}

void HoldingClock::holdTick(QObject *context, std::function<void()> tick)
{
    if (!holding()) {
        tick();
        return;
    }
    if (m_heldTick)
        return;
    m_tickContext = context;
    m_heldTick = std::move(tick);
}
