// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

// Answers the real message boxes that open from now on, noting how each looked. It keeps
// answering, so a box that opens twice cannot hang the test.
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
    };

    // Presses `press` in each box, or the box's default button for NoButton.
    void arm(QMessageBox::StandardButton press = QMessageBox::NoButton)
    {
        m_press = press;
        m_looks = 0;
        QTimer::singleShot(0, &m_context, [this] { look(); });
    }

    QList<Box> boxes;

private:
    void look()
    {
        // Not open yet, the box's own event loop runs this again.
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            if (++m_looks < 1000)
                QTimer::singleShot(0, &m_context, [this] { look(); });
            return;
        }
        QPushButton* def = box->defaultButton();
        boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                      def ? box->standardButton(def) : QMessageBox::NoButton});
        if (QAbstractButton* target =
                box->button(m_press != QMessageBox::NoButton ? m_press : boxes.last().defaultButton))
            target->click();
        else
            box->reject();
        arm(m_press);
    }

    QObject m_context; // no look outlives the answerer
    QMessageBox::StandardButton m_press = QMessageBox::NoButton;
    int m_looks = 0;
};
