// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/results_store.h"

#include <QWidget>

class CaptionLabel;
class PictureBox;
class QCursor;
class QLabel;
class QLineEdit;
class QPixmap;
class ShellServices;

// The start-up screen: the banner, the question-count box and the buttons Start Quiz,
// Previous Results and Exit. It tells whoever owns the screens when the player starts a quiz.
class WelcomeScreen : public QWidget
{
    Q_OBJECT

public:
    // Previous Results opens the latest page of `store`.
    WelcomeScreen(ShellServices& services, ResultsStore store);
    ~WelcomeScreen() override;

    // The count check, run whenever the focus is about to leave the count box for a control
    // that validates; sets Cancel when the count is refused.
    void Text1_Validate(bool& Cancel);

    void Start_Click();
    void Label3_Click() { Start_Click(); }
    void About_Click();
    void About2_Click() { About_Click(); }
    void Exit_Click();
    void Label5_Click() { Exit_Click(); }

Q_SIGNALS:
    // A start with a count that has passed the count check.
    void startRequested(qint16 totQues);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    PictureBox* makePictureButton(const char* name, int top, const QPixmap& face, const QCursor& pointer);
    CaptionLabel* makeCaption(PictureBox* button, const char* name, const QString& text, int left, int top);
    // Runs the count check; on refusal the focus is put back into the count box.
    bool countAccepted();
    void onFocusChanged(QWidget* old, QWidget* now);

    ShellServices& m_services;
    ResultsStore m_store;
    bool m_validating = false;
    bool m_shownOnce = false;

    PictureBox* Picture1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Text1 = nullptr;
    PictureBox* Start = nullptr;
    CaptionLabel* Label3 = nullptr;
    PictureBox* About = nullptr;
    CaptionLabel* About2 = nullptr;
    PictureBox* Exit = nullptr;
    CaptionLabel* Label5 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};
