// SPDX-License-Identifier: GPL-3.0-or-later
// Run with QT_SCALE_FACTOR set: at that scale every caption still fits its control, every
// control lies inside its container, every question and answer of the bank fits where it is
// shown, and the pictures come in their double-size variants where the assets have them.
#include "fake_services.h"

#include "quiz/questions.h"
#include "quiz/quiz_screen.h"
#include "shell/picture_box.h"
#include "shell/screen_flow.h"
#include "shell/screen_fonts.h"
#include "shell/welcome_screen.h"

#include <QAbstractButton>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTemporaryDir>
#include <QTest>
#include <limits>

namespace {

// Draws bank index 1, 2, 3 ... in turn, so that a quiz of 140 shows the whole bank.
struct InOrderRandom final : RandomSource
{
    void Reseed() override {}
    float NextValue() override { return static_cast<float>(next++) / 140.0f; }
    int next = 1;
};

// The room the style leaves for a control's text, and the size that text needs there.
std::pair<QRect, QSize> roomAndNeed(const QWidget* widget)
{
    const QString text = widget->property("text").toString();
    const QFontMetrics metrics = widget->fontMetrics();
    if (const auto* box = qobject_cast<const QLineEdit*>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
        // The widest count the box takes; every digit is as wide as every other.
        return {box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box),
                metrics.size(Qt::TextSingleLine, u"888"_qs)};
    }
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        const int m = label->margin();
        const QRect room = label->contentsRect().adjusted(m, m, -m, -m);
        const QRect tall(0, 0, room.width(), std::numeric_limits<int>::max() / 2);
        return {room, label->wordWrap()
                          ? metrics.boundingRect(tall, Qt::TextWordWrap | int(label->alignment()), text).size()
                          : metrics.size(Qt::TextSingleLine, text)};
    }
    const auto* button = static_cast<const QAbstractButton*>(widget);
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = text;
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QRect room = button->contentsRect();
    if (qobject_cast<const QRadioButton*>(button)) {
        room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    } else if (qobject_cast<const QPushButton*>(button)) {
        // The style draws the caption inside the button's frame margin too.
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button) / 2;
        room = button->style()
                   ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
                   .adjusted(margin, 0, -margin, 0);
    }
    return {room, metrics.size(Qt::TextShowMnemonic, text)};
}

// Every text on a screen that fits nowhere, and every control outside its container. The quiz
// screen's two frames and the banner overhang their screen by design.
QStringList problemsOn(const QWidget* screen)
{
    QStringList problems;
    for (const QWidget* child : screen->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(screen) || child->isWindow())
            continue;
        const bool hasText = qobject_cast<const QLabel*>(child) || qobject_cast<const QAbstractButton*>(child) ||
                             qobject_cast<const QLineEdit*>(child);
        if (hasText && !child->property("text").toString().isEmpty()) {
            const auto [room, need] = roomAndNeed(child);
            if (need.width() > room.width() || need.height() > room.height())
                problems << u"%1 \"%2\" needs %3x%4, has %5x%6"_qs
                                .arg(child->objectName(), child->property("text").toString())
                                .arg(need.width())
                                .arg(need.height())
                                .arg(room.width())
                                .arg(room.height());
        }
        if (!QStringList{u"Frame1"_qs, u"Frame2"_qs, u"Picture1"_qs}.contains(child->objectName()) &&
            !child->parentWidget()->rect().contains(child->geometry()))
            problems << u"%1 sticks out of %2"_qs.arg(child->objectName(), child->parentWidget()->objectName());
    }
    return problems;
}

} // namespace

class ScreenFitTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_folders;
    FakeServices m_services{m_folders.filePath(u"program"_qs), m_folders.filePath(u"user"_qs)};
    InOrderRandom m_random;
    ScreenFlow m_flow{m_services};

private Q_SLOTS:
    void initTestCase();
    void welcomeTextsFit();
    void picturesAreSharp_data();
    void picturesAreSharp();
    void quizTextsAndEveryBankTextFit();
};

void ScreenFitTest::initTestCase()
{
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
    QVERIFY2(scale > 1.0, "run with QT_SCALE_FACTOR set above 1");
    ScreenFonts::InstallTahoma();
    m_services.useRandomSource(&m_random);
    m_flow.ShowWelcome();
    QVERIFY(QTest::qWaitForWindowExposed(m_flow.Welcome));
    QCOMPARE(m_flow.Welcome->devicePixelRatioF(), scale);
}

void ScreenFitTest::welcomeTextsFit()
{
    const QStringList problems = problemsOn(m_flow.Welcome);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

// 140 questions in bank order: each Next shows the next entry through the screen's own path,
// up to the widest progress, 140/140.
void ScreenFitTest::quizTextsAndEveryBankTextFit()
{
    if (m_flow.Quiz)
        m_flow.ReturnHome();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_random = InOrderRandom();
    m_flow.StartQuiz(Questions::BankSize);
    QVERIFY(QTest::qWaitForWindowExposed(m_flow.Quiz));
    QStringList problems;
    for (int index = 1; index <= Questions::BankSize; ++index) {
        QCOMPARE(m_flow.Quiz->findChild<QLabel*>(u"Question"_qs)->text(),
                 Questions::QuesBank[std::size_t(index)]->question());
        for (const QString& problem : problemsOn(m_flow.Quiz))
            problems << u"question %1: %2"_qs.arg(index).arg(problem);
        if (index < Questions::BankSize)
            m_flow.Quiz->Nextbtn_Click(); // goes by the caption alone, no answer needed
    }
    QCOMPARE(m_flow.Quiz->findChild<QPushButton*>(u"Nextbtn"_qs)->text(), u"Result"_qs);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void ScreenFitTest::picturesAreSharp_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("asset");
    for (const char* control : {"Start", "About", "Exit"})
        QTest::newRow(control) << QString::fromLatin1(control) << u"button.bmp"_qs;
    QTest::newRow("Picture1") << u"Picture1"_qs << u"banner.jpg"_qs;
    QTest::newRow("pointer over Start") << u"Start"_qs << u"hand.png"_qs;
    QTest::newRow("Picture3 on the quiz") << u"Picture3"_qs << u"logo.gif"_qs;
}

// A picture with a double-size variant shows that, covering the plain one's logical area.
void ScreenFitTest::picturesAreSharp()
{
    QFETCH(QString, control);
    QFETCH(QString, asset);
    if (control == u"Picture3" && !m_flow.Quiz)
        m_flow.StartQuiz(10);
    const QWidget* screen = m_flow.Quiz ? static_cast<QWidget*>(m_flow.Quiz) : m_flow.Welcome;
    auto* box = screen->findChild<PictureBox*>(control);
    QVERIFY(box);
    const QPixmap shown = asset == u"hand.png" ? box->cursor().pixmap() : box->picture();
    const QFileInfo info(u":/assets/"_qs + asset);
    bool doubled = false;
    for (const QString& suffix : {info.suffix(), u"png"_qs})
        doubled |= QFile::exists(info.path() + u'/' + info.completeBaseName() + u"@2x."_qs + suffix);
    QCOMPARE(shown.devicePixelRatio(), doubled ? 2.0 : 1.0);
    QCOMPARE(shown.deviceIndependentSize().toSize(), QPixmap(info.filePath()).size());
}

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
