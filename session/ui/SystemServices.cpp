#include "session/ui/SystemServices.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QEventLoop>
#include <QTimer>
#include <QTranslator>
#include <QSocketNotifier>
#include <QUrl>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

QTime SystemClock::currentTime() const
{
    return QTime::currentTime();
}

void SystemClock::pause(int milliseconds)
{
    // Not a sleep: a sleeping window thread paints nothing, and Qt's sound
    // player, fed from it, starts a cue only after the sleep.
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

SoundEffectSink::SoundEffectSink()
{
    // A cue must be heard with the tutor's nod, not after it. Left to
    // itself, a PulseAudio (or PipeWire) stream of a sound effect is given
    // up to two seconds of buffering, which here delayed every cue by most
    // of a second. The sound library reads this variable when a stream is
    // opened and asks for a short buffer instead. (Playback also needs the
    // window thread's event loop, which is why the tutor's pauses run it.)
    // Nothing else reads it, and a value the user set is kept.
    if (!qEnvironmentVariableIsSet("PULSE_LATENCY_MSEC"))
        qputenv("PULSE_LATENCY_MSEC", "80");
}

void SoundEffectSink::play(const QString &wavPath)
{
    m_effect.stop();
    if (!QFileInfo::exists(wavPath))
        return;
    m_effect.setSource(QUrl::fromLocalFile(wavPath));
    m_effect.play();
}

bool loadQtRussian(QTranslator &translator, const QString &programFolder)
{
    const QString name = QStringLiteral("qtbase_ru");
    return translator.load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || translator.load(name, programFolder + QStringLiteral("translations"));
}

#ifdef Q_OS_UNIX
namespace {

// A signal handler may do next to nothing: it writes a byte, and the event
// loop, watching the other end, does the rest.
int signalSockets[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalSockets[0], &byte, 1);
}

} // namespace

QuitOnSignals::QuitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalSockets) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(signalSockets[1], QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(), [] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(signalSockets[1], &byte, 1);
        // exit(), not quit(): quit() would close the windows first, and the
        // main window asks before it closes during a test.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

QuitOnSignals::~QuitOnSignals()
{
    if (!m_notifier)
        return;
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    m_notifier.reset();
    ::close(signalSockets[0]);
    ::close(signalSockets[1]);
    signalSockets[0] = signalSockets[1] = -1;
}
#else
QuitOnSignals::QuitOnSignals() = default;
QuitOnSignals::~QuitOnSignals() = default;
#endif
