// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/random_source.h"
#include "core/results_report.h"
#include "core/results_store.h"
#include "screens/press_echo.h"

#include <QByteArray>
#include <QWidget>
#include <array>
#include <memory>

class AnswerButton;
class PictureBox;
class QButtonGroup;
class QFrame;
class QLabel;
class QPushButton;
class QuizSession;
class ShellServices;

// The quiz screen: one question at a time with its four answers, the counters and the
// progress, Next (Result after the last question) and Home. One instance runs one quiz; it tells
// whoever owns the screens when the player has confirmed going home.
class QuizScreen : public QWidget
{
    Q_OBJECT

public:
    // Result writes the page into `store`; each quiz draws from a source `makeRandom` makes.
    QuizScreen(ShellServices& services, ResultsStore store, RandomSourceFactory makeRandom);
    ~QuizScreen() override;

    // The number of questions chosen on the welcome screen; written before the screen is shown.
    qint16 TotQues = 0;

    void Option1_Click(int Index);
    void Nextbtn_Click();
    void home_Click();

    const QuizSession* session() const { return m_session.get(); }

Q_SIGNALS:
    void homeConfirmed();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    QLabel* makeLabel(const char* name, const QString& text, int left, int top, const QColor& colour = QColor());
    void Form_Load();
    void ShowQuestion();
    void announceQuestion();
    void ResetOptions(bool value);
    void showCount(QLabel* label, int count, const QString& spokenName);

    ShellServices& m_services;
    ResultsStore m_store;
    RandomSourceFactory m_makeRandom;
    std::unique_ptr<RandomSource> m_random;
    std::unique_ptr<QuizSession> m_session;
    ResultsReport m_report;
    QByteArray m_logo;
    PressEcho m_echo;
    QWidget* m_answerGroup = nullptr;
    QWidget* m_verdict = nullptr;

    QLabel* Label2 = nullptr;
    std::array<AnswerButton*, 4> Option1{};
    QButtonGroup* m_answers = nullptr;
    QFrame* Frame1 = nullptr;
    QLabel* Label3 = nullptr;
    QFrame* Frame2 = nullptr;
    QLabel* Question = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    PictureBox* Picture3 = nullptr;
    QPushButton* Nextbtn = nullptr;
    QPushButton* home = nullptr;
};
