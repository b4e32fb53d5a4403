// SPDX-License-Identifier: GPL-3.0-or-later
// Run with QT_SCALE_FACTOR set: at that scale every caption still fits its control, every
// control lies inside its container, every question and answer of the bank fits where it is
// shown, and the pictures come in their double-size variants where the assets have them.
#include "fake_services.h"

#include "quiz/answer_button.h"
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
#include <memory>

namespace {

// Draws bank index 1, 2, 3 ... in turn, so that a quiz of 140 shows the whole bank.
class InOrderRandom final : public RandomSource
{
public:
    void Reseed() override {}
    float NextValue() override { return static_cast<float>(m_next++) / 140.0f; }

private:
    int m_next = 1;
};

QString describe(const QWidget* widget)
{
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// The room the style leaves for a button's caption.
QRect captionRoom(const QAbstractButton* button)
{
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    if (qobject_cast<const QRadioButton*>(button))
        return button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button);
    if (qobject_cast<const QPushButton*>(button)) {
        const QRect contents = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        // The style draws the caption inside the button's frame margin too.
        const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        return contents.adjusted(margin / 2, 0, -margin / 2, 0);
    }
    return button->contentsRect();
}

// Empty when the text fits; otherwise what does not.
QString captionOverflow(const QAbstractButton* button)
{
    const QRect room = captionRoom(button);
    const QSize needed = button->fontMetrics().size(Qt::TextShowMnemonic, button->text());
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return QStringLiteral("%1 %2: %3 needs %4x%5, has %6x%7")
        .arg(QString::fromLatin1(button->metaObject()->className()), describe(button), button->text())
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

QString labelOverflow(const QLabel* label)
{
    const QRect room =
        label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(), -label->margin());
    const QFontMetrics metrics = label->fontMetrics();
    QSize needed;
    if (label->wordWrap()) {
        const QRect bounds = metrics.boundingRect(QRect(0, 0, room.width(), std::numeric_limits<int>::max() / 2),
                                                  Qt::TextWordWrap | int(label->alignment()), label->text());
        needed = bounds.size();
    } else {
        needed = metrics.size(Qt::TextSingleLine, label->text());
    }
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return {};
    return QStringLiteral("label %1 \"%2\" needs %3x%4, has %5x%6")
        .arg(describe(label), label->text())
        .arg(needed.width())
        .arg(needed.height())
        .arg(room.width())
        .arg(room.height());
}

// Controls that the designs place past their screen's edge, to be cut off there: the quiz
// screen's two frames show only their top and bottom edges, and the banner starts one pixel in
// and is as wide as the screen.
bool overhangsByDesign(const QWidget* control)
{
    static const QStringList names = {QStringLiteral("Frame1"), QStringLiteral("Frame2"), QStringLiteral("Picture1")};
    return names.contains(control->objectName());
}

// Every caption on a screen that is on view, and every control inside its container.
QStringList problemsOn(QWidget* screen)
{
    QStringList problems;
    for (QLabel* label : screen->findChildren<QLabel*>()) {
        if (label->isVisibleTo(screen) && !label->text().isEmpty())
            if (const QString p = labelOverflow(label); !p.isEmpty())
                problems << p;
    }
    for (QAbstractButton* button : screen->findChildren<QAbstractButton*>()) {
        if (button->isVisibleTo(screen) && !button->text().isEmpty())
            if (const QString p = captionOverflow(button); !p.isEmpty())
                problems << p;
    }
    for (QWidget* child : screen->findChildren<QWidget*>()) {
        if (!child->isVisibleTo(screen) || child->isWindow() || overhangsByDesign(child))
            continue;
        const QWidget* container = child->parentWidget();
        if (!container->rect().contains(child->geometry()))
            problems << QStringLiteral("%1 (%2,%3 %4x%5) sticks out of %6 (%7x%8)")
                            .arg(describe(child))
                            .arg(child->x())
                            .arg(child->y())
                            .arg(child->width())
                            .arg(child->height())
                            .arg(describe(container))
                            .arg(container->width())
                            .arg(container->height());
    }
    return problems;
}

// The picture a control shows and the asset it comes from.
struct PictureUse
{
    const char* control;
    const char* asset;
};

QString doubleSizeAsset(const QString& asset)
{
    const QFileInfo info(QStringLiteral(":/assets/") + asset);
    for (const QString& suffix : {info.suffix(), QStringLiteral("png")}) {
        const QString candidate = info.path() + u'/' + info.completeBaseName() + QStringLiteral("@2x.") + suffix;
        if (QFile::exists(candidate))
            return candidate;
    }
    return {};
}

} // namespace

class ScreenFitTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void welcomeCaptionsFit();
    void countBoxFits();
    void quizCaptionsFit();
    void everyBankTextFits();
    void picturesAreSharp_data();
    void picturesAreSharp();
    void pointerIsSharp();

private:
    QWidget* startQuiz(qint16 count);

    QTemporaryDir m_folders;
    std::unique_ptr<FakeServices> m_services;
    std::unique_ptr<ScreenFlow> m_flow;
    InOrderRandom m_random;
    qreal m_scale = 1.0;
};

void ScreenFitTest::initTestCase()
{
    bool ok = false;
    m_scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    QVERIFY2(ok && m_scale > 1.0, "run with QT_SCALE_FACTOR set above 1");
    QCOMPARE(qApp->devicePixelRatio(), m_scale);
    QVERIFY(m_folders.isValid());
    ScreenFonts::InstallTahoma();
    qInfo("Scale %g; the screens' Tahoma is %s", m_scale, qPrintable(ScreenFonts::ResolvedTahomaFamily()));
}

void ScreenFitTest::init()
{
    m_services = std::make_unique<FakeServices>(m_folders.filePath(QStringLiteral("program")),
                                                m_folders.filePath(QStringLiteral("user")));
    m_services->useRandomSource(&m_random);
    m_random = InOrderRandom();
    m_flow = std::make_unique<ScreenFlow>(*m_services);
    m_flow->ShowWelcome();
    QVERIFY(QTest::qWaitForWindowExposed(m_flow->Welcome));
}

void ScreenFitTest::cleanup()
{
    // The screens close as a player closes them, and are gone before the flow is.
    for (QWidget* screen : {static_cast<QWidget*>(m_flow->Quiz), static_cast<QWidget*>(m_flow->Welcome)}) {
        if (screen)
            screen->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!m_flow->Quiz && !m_flow->Welcome);
    m_flow.reset();
    m_services.reset();
}

QWidget* ScreenFitTest::startQuiz(qint16 count)
{
    m_flow->StartQuiz(count);
    if (!m_flow->Quiz || !QTest::qWaitForWindowExposed(m_flow->Quiz))
        return nullptr;
    return m_flow->Quiz;
}

void ScreenFitTest::welcomeCaptionsFit()
{
    QWidget* welcome = m_flow->Welcome;
    QCOMPARE(welcome->devicePixelRatioF(), m_scale);
    const QStringList problems = problemsOn(welcome);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void ScreenFitTest::countBoxFits()
{
    auto* box = m_flow->Welcome->findChild<QLineEdit*>(QStringLiteral("Text1"));
    QVERIFY(box);
    QCOMPARE(box->maxLength(), 3);
    QStyleOptionFrame option;
    option.initFrom(box);
    option.rect = box->rect();
    option.lineWidth = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, box);
    const QRect room = box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box);
    // The widest count the box takes; every digit of the font is as wide as every other.
    for (const QString& count : {QStringLiteral("140"), QStringLiteral("888")}) {
        const int needed = box->fontMetrics().horizontalAdvance(count);
        QVERIFY2(
            needed <= room.width(),
            qPrintable(
                QStringLiteral("\"%1\" needs %2 pixels, the box has %3").arg(count).arg(needed).arg(room.width())));
    }
    QVERIFY(box->fontMetrics().height() <= room.height());
}

void ScreenFitTest::quizCaptionsFit()
{
    // 140 questions: the widest progress the screen ever shows, 140/140, is reached at the end.
    QWidget* quiz = startQuiz(Questions::BankSize);
    QVERIFY(quiz);
    auto* next = quiz->findChild<QPushButton*>(QStringLiteral("Nextbtn"));
    QVERIFY(next);
    QStringList problems = problemsOn(quiz);
    for (int shown = 1; shown < Questions::BankSize; ++shown)
        m_flow->Quiz->Nextbtn_Click();
    QCOMPARE(next->text(), QStringLiteral("Result"));
    problems += problemsOn(quiz);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void ScreenFitTest::everyBankTextFits()
{
    QWidget* quiz = startQuiz(Questions::BankSize);
    QVERIFY(quiz);
    auto* question = quiz->findChild<QLabel*>(QStringLiteral("Question"));
    QVERIFY(question);
    std::array<AnswerButton*, 4> options{};
    for (int i = 0; i < 4; ++i) {
        options[static_cast<std::size_t>(i)] = quiz->findChild<AnswerButton*>(QStringLiteral("Option1_%1").arg(i));
        QVERIFY(options[static_cast<std::size_t>(i)]);
    }

    // Each Next shows the next entry of the bank, through the screen's own path.
    QStringList problems;
    int tightest = std::numeric_limits<int>::max();
    QString tightestText;
    for (int index = 1; index <= Questions::BankSize; ++index) {
        const QuestionEntry& entry = *Questions::QuesBank[static_cast<std::size_t>(index)];
        QCOMPARE(question->text(), entry.question());
        if (const QString p = labelOverflow(question); !p.isEmpty())
            problems << QStringLiteral("question %1: %2").arg(index).arg(p);
        for (AnswerButton* option : options) {
            if (const QString p = captionOverflow(option); !p.isEmpty())
                problems << QStringLiteral("question %1: %2").arg(index).arg(p);
            const int slack =
                captionRoom(option).width() - option->fontMetrics().size(Qt::TextShowMnemonic, option->text()).width();
            if (slack < tightest) {
                tightest = slack;
                tightestText = option->text();
            }
        }
        // Nextbtn_Click goes by the caption alone, so no answer is needed to move on from here.
        if (index < Questions::BankSize)
            m_flow->Quiz->Nextbtn_Click();
    }
    qInfo("The longest answer, \"%s\", leaves %d pixels", qPrintable(tightestText), tightest);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(u'\n')));
}

void ScreenFitTest::picturesAreSharp_data()
{
    QTest::addColumn<bool>("onQuiz");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("asset");

    const PictureUse welcome[] = {
        {"Picture1", "banner.jpg"}, {"Start", "button.bmp"}, {"About", "button.bmp"}, {"Exit", "button.bmp"}};
    for (const PictureUse& use : welcome)
        QTest::newRow(use.control) << false << QString::fromLatin1(use.control) << QString::fromLatin1(use.asset);
    QTest::newRow("Picture3") << true << QStringLiteral("Picture3") << QStringLiteral("logo.gif");
}

void ScreenFitTest::picturesAreSharp()
{
    QFETCH(bool, onQuiz);
    QFETCH(QString, control);
    QFETCH(QString, asset);

    QWidget* screen = onQuiz ? startQuiz(10) : static_cast<QWidget*>(m_flow->Welcome);
    QVERIFY(screen);
    auto* box = screen->findChild<PictureBox*>(control);
    QVERIFY(box);
    const QPixmap normal(QStringLiteral(":/assets/") + asset);
    QVERIFY2(!normal.isNull(), qPrintable(asset));
    const QPixmap& shown = box->picture();
    QVERIFY(!shown.isNull());

    if (doubleSizeAsset(asset).isEmpty()) {
        // Only the plain picture exists: it is shown as it is.
        QCOMPARE(shown.devicePixelRatio(), 1.0);
        return;
    }
    QCOMPARE(shown.devicePixelRatio(), 2.0);
    // Drawn at double size, it covers the same logical area as the plain picture.
    QCOMPARE(shown.deviceIndependentSize().toSize(), normal.size());
}

void ScreenFitTest::pointerIsSharp()
{
    auto* start = m_flow->Welcome->findChild<PictureBox*>(QStringLiteral("Start"));
    QVERIFY(start);
    const QCursor pointer = start->cursor();
    QCOMPARE(pointer.shape(), Qt::BitmapCursor);
    const QPixmap normal(QStringLiteral(":/assets/hand.png"));
    if (doubleSizeAsset(QStringLiteral("hand.png")).isEmpty()) {
        QCOMPARE(pointer.pixmap().devicePixelRatio(), 1.0);
        return;
    }
    QCOMPARE(pointer.pixmap().devicePixelRatio(), 2.0);
    QCOMPARE(pointer.pixmap().deviceIndependentSize().toSize(), normal.size());
}

QTEST_MAIN(ScreenFitTest)
#include "screen_fit_test.moc"
