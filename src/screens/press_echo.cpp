// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/press_echo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QStyleHints>
#include <QWidget>

namespace {

qint64 steadyClock()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

PressEcho::Clock s_clock = steadyClock;

// A key, or minus a mouse button, for a press; 0 for anything else. A held key's repeats are no
// new press.
int pressCode(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        return key->isAutoRepeat() ? 0 : key->key();
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        return -static_cast<int>(static_cast<const QMouseEvent*>(event)->button());
    default:
        return 0;
    }
}

// Keys that press buttons: held down, they press once.
bool pressesButtons(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space;
}

// Keeps the latest press of the whole program, counted once at the controls it reaches. At the
// window, a screen reader's bridge may hold a key back and hand on a copy later, without its
// time stamp; counting at the controls counts whichever of the two arrives there. A press that a
// control leaves to its parent is offered to the parent as the same press.
//
// It also marks the repeats of a held key that arrive unmarked. X reports a held key as a release
// and a press at one instant; the toolkit takes the pair for a repeat only when both have reached
// it together, so on a busy machine some repeats come as fresh presses. Such a press is offered
// again as the repeat it is.
class PressWatch final : public QObject
{
public:
    PressEcho::Press latest;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override
    {
        if (!receiver->isWidgetType())
            return false;
        auto* control = static_cast<QWidget*>(receiver);
        switch (event->type()) {
        case QEvent::KeyRelease: {
            const auto* key = static_cast<const QKeyEvent*>(event);
            m_release = {key->key(), key->timestamp(), s_clock()};
            return false;
        }
        case QEvent::KeyPress: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (!key->isAutoRepeat() && isUnmarkedRepeat(*key)) {
                QKeyEvent repeat(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(),
                                 key->nativeVirtualKey(), key->nativeModifiers(), key->text(), true, key->count(),
                                 key->device());
                repeat.setTimestamp(key->timestamp());
                QCoreApplication::sendEvent(control, &repeat); // which goes on to the parents itself
                key->accept();
                return true;
            }
            if (key->isAutoRepeat() && pressesButtons(key->key())) {
                key->accept();
                return true;
            }
            if (!key->isAutoRepeat())
                note(control, key->key(), key->timestamp(), QPointF());
            return false;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: { // a double click's second press reaches controls only as this
            const auto* mouse = static_cast<const QMouseEvent*>(event);
            note(control, pressCode(event), mouse->timestamp(), mouse->globalPosition());
            return false;
        }
        default:
            return false;
        }
    }

private:
    struct Release
    {
        int code = 0;
        quint64 stamp = 0;
        qint64 arrival = 0;
    };

    // Copies handed on by a screen reader's bridge carry no time stamp: there the release and the
    // press of a repeat arrive one right after the other, on a busy machine some milliseconds
    // apart, still far closer than a finger lifts and strikes again.
    static constexpr qint64 SameInstant = 20;

    bool isUnmarkedRepeat(const QKeyEvent& key) const
    {
        if (key.key() != m_release.code)
            return false;
        if (key.timestamp() != 0 && m_release.stamp != 0)
            return key.timestamp() == m_release.stamp;
        return s_clock() - m_release.arrival <= SameInstant;
    }

    void note(QWidget* control, int code, quint64 stamp, QPointF at)
    {
        const bool goingUp = m_lastControl && control->isAncestorOf(m_lastControl) && code == latest.code &&
                             stamp == m_lastStamp && at == latest.at;
        m_lastControl = control;
        m_lastStamp = stamp;
        // The desktop's time stamp tells when the press was made, however long the program was busy
        // before it got to it (building the screen the first press brought, say). Copies handed on
        // by a screen reader's bridge have none: then the time the press reached the program.
        const qint64 made = stamp != 0 ? static_cast<qint64>(stamp) : s_clock();
        if (!goingUp)
            latest = {code, at, made, latest.serial + 1};
    }

    Release m_release;
    QPointer<QWidget> m_lastControl;
    quint64 m_lastStamp = 0;
};

PressWatch* s_watch = nullptr;

} // namespace

void PressEcho::Watch()
{
    if (s_watch)
        return;
    s_watch = new PressWatch;
    s_watch->setParent(qApp);
    qApp->installEventFilter(s_watch);
}

void PressEcho::UseClock(Clock clock)
{
    s_clock = clock ? clock : steadyClock;
}

void PressEcho::noteOpeningPress()
{
    m_opening = s_watch ? s_watch->latest : Press();
}

bool PressEcho::isEcho(const QEvent* event) const
{
    const int code = pressCode(event);
    if (!s_watch || code == 0 || code != m_opening.code)
        return false;
    // The watch has seen this press already: it is the latest.
    const Press& press = s_watch->latest;
    const QStyleHints* hints = QGuiApplication::styleHints();
    if (press.code != code || press.serial != m_opening.serial + 1)
        return false;
    if (code < 0 && (press.at - m_opening.at).manhattanLength() > hints->mouseDoubleClickDistance())
        return false;
    return press.made - m_opening.made < hints->mouseDoubleClickInterval();
}
