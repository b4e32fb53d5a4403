// SPDX-License-Identifier: GPL-3.0-or-later
// Answers the real message boxes that open while a test drives the screens, and notes what
// each one looked like. Every box is answered, so a box that opens twice cannot hang the test.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>
#include <QTimer>

class ModalBoxAnswerer
{
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
        QMessageBox::StandardButton pressed = QMessageBox::NoButton;
    };

    // The buttons to press, box after box; with none left the box's default is pressed.
    void answerWith(const QList<QMessageBox::StandardButton>& presses) { m_presses += presses; }

    // Looks for a box as soon as the event loop of the next box runs.
    void arm()
    {
        QTimer::singleShot(0, &m_context, [this] { look(); });
    }

    QList<Box> boxes;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            // Not open yet: the box's own event loop will run this again.
            if (m_looks++ < 1000)
                arm();
            return;
        }
        m_looks = 0;
        Box seen;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        seen.buttons = box->standardButtons();
        if (QAbstractButton* def = box->defaultButton())
            seen.defaultButton = box->standardButton(def);
        seen.pressed = m_presses.isEmpty() ? seen.defaultButton : m_presses.dequeue();
        boxes.append(seen);
        QAbstractButton* target = box->button(seen.pressed);
        if (target)
            target->click();
        else
            box->reject();
        // Look out for a further box.
        arm();
    }

    QObject m_context; // no look outlives the answerer
    QQueue<QMessageBox::StandardButton> m_presses;
    int m_looks = 0;
};
