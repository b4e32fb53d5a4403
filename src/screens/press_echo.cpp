// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/press_echo.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>

namespace {

// What a press event is, as far as telling echoes goes; code 0 for anything else. A held key's
// repeats are no new press.
PressEcho::Press pressOf(const QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (key->isAutoRepeat())
            return {};
        return {key->key(), key->timestamp()};
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        return {-static_cast<int>(mouse->button()), mouse->timestamp()};
    }
    default:
        return {};
    }
}

// Keeps the latest press of the whole program. An event passes through here once per object it
// is offered to (the window, then the control): the same press each time.
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
        if (event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            m_release = {key->key(), key->timestamp()};
            return false;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<const QKeyEvent*>(event);
            if (!key->isAutoRepeat() && key->timestamp() != 0 && key->key() == m_release.code &&
                key->timestamp() == m_release.time) {
                QKeyEvent repeat(QEvent::KeyPress, key->key(), key->modifiers(), key->nativeScanCode(),
                                 key->nativeVirtualKey(), key->nativeModifiers(), key->text(), true, key->count(),
                                 key->device());
                repeat.setTimestamp(key->timestamp());
                QCoreApplication::sendEvent(receiver, &repeat);
                event->setAccepted(repeat.isAccepted());
                return true;
            }
        }
        if (const PressEcho::Press press = pressOf(event); press.code != 0)
            latest = press;
        return false;
    }

private:
    PressEcho::Press m_release;
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

void PressEcho::noteOpeningPress()
{
    m_opening = s_watch ? s_watch->latest : Press();
}

bool PressEcho::isEcho(const QEvent* event) const
{
    const Press press = pressOf(event);
    if (press.code == 0 || press.code != m_opening.code || press.time < m_opening.time)
        return false;
    return press.time - m_opening.time <
           static_cast<quint64>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
}
