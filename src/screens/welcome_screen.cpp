// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/welcome_screen.h"

#include "core/build_config.h"
#include "core/count_check.h"
#include "core/results_store.h"
#include "screens/caption_label.h"
#include "screens/lined_label.h"
#include "screens/picture_box.h"
#include "screens/screen_accessibility.h"
#include "screens/screen_fonts.h"
#include "screens/screen_look.h"
#include "screens/screen_setup.h"
#include "screens/shell_services.h"
#include "screens/twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace {

const QColor CaptionColour(255, 255, 192);
const QColor InfoColour(64, 64, 64);
const QColor CountColour(192, 255, 192);

} // namespace

WelcomeScreen::WelcomeScreen(ShellServices& services, ResultsStore store)
    : m_services(services), m_store(std::move(store))
{
    // The captions and the count box use the screen's default font; the two information labels
    // are drawn in Tahoma 8.25 pt.
    SetUpScreen(this, QStringLiteral("Welcome"), QStringLiteral("Tevrinic Quiz"), ScreenFonts::WelcomeDefault(),
                QRect(Twips::Point(2415, 1260), Twips::Rect(0, 0, 7170, 3990).size()), [this] { buildControls(); });
    connect(qApp, &QApplication::focusChanged, this, &WelcomeScreen::onFocusChanged);
}

WelcomeScreen::~WelcomeScreen()
{
    // Hiding the window while it is destroyed moves the focus; this screen must not hear of it then.
    disconnect(qApp, &QApplication::focusChanged, this, &WelcomeScreen::onFocusChanged);
}

void WelcomeScreen::buildControls()
{
    const qreal ratio = devicePixelRatioF();

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Twips::Rect(15, 15, 7170, 2805));
    Picture1->setPicture(LoadAssetPicture(QStringLiteral("banner.ppm"), ratio));
    Picture1->setAccessibleName(QStringLiteral("Tevrinic Quiz banner"));

    Label4 = new QLabel(QStringLiteral("Total Question :"), Picture1);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(Twips::Point(5310, 2370));
    ScreenLook::SetTextColour(Label4, CountColour);
    Label4->adjustSize();

    // Text given to the constructor is laid out once in the application's font, which this screen
    // never shows: that font's loading and shaping cost a tenth of the start-up.
    Text1 = new QLineEdit(this);
    Text1->setText(QStringLiteral("30"));
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(Twips::Rect(6540, 2370, 555, 315));
    Text1->setMaxLength(3);
    Text1->setAlignment(Qt::AlignCenter);
    ScreenLook::SetTextColour(Text1, CountColour);
    QPalette countPalette = Text1->palette();
    countPalette.setColor(QPalette::Base, QColor(0, 64, 0));
    countPalette.setColor(QPalette::Highlight, CountColour);
    countPalette.setColor(QPalette::HighlightedText, QColor(0, 64, 0));
    Text1->setPalette(countPalette);
    Text1->setAccessibleName(QStringLiteral("Number of questions, 2 to 140"));
    Label4->setBuddy(Text1);
    connect(Text1, &QLineEdit::returnPressed, this, &WelcomeScreen::Start_Click);

    // The three buttons share one face and one pointer, each read once.
    const QPixmap face = LoadAssetPicture(QStringLiteral("button.bmp"), ratio);
    const QPixmap hand = LoadAssetPicture(QStringLiteral("hand.png"), ratio);
    const QCursor pointer = hand.isNull() ? QCursor() : QCursor(hand, 12, 1);
    Start = makePictureButton("Start", 2880, face, pointer);
    Label3 = makeCaption(Start, "Label3", QStringLiteral("Start Quiz"), 435, 30);
    About = makePictureButton("About", 3225, face, pointer);
    About2 = makeCaption(About, "About2", QStringLiteral("Previous Results"), 195, 30);
    Exit = makePictureButton("Exit", 3570, face, pointer);
    Label5 = makeCaption(Exit, "Label5", QStringLiteral("Exit"), 645, 45);
    connect(Start, &PictureBox::clicked, this, &WelcomeScreen::Start_Click);
    connect(Label3, &CaptionLabel::clicked, this, &WelcomeScreen::Label3_Click);
    connect(About, &PictureBox::clicked, this, &WelcomeScreen::About_Click);
    connect(About2, &CaptionLabel::clicked, this, &WelcomeScreen::About2_Click);
    connect(Exit, &PictureBox::clicked, this, &WelcomeScreen::Exit_Click);
    connect(Label5, &CaptionLabel::clicked, this, &WelcomeScreen::Label5_Click);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::Rect(45, 2925, 4320, 450));
    Label1->setFont(ScreenFonts::Tahoma());
    Label1->setWordWrap(true);
    ScreenLook::SetTextColour(Label1, InfoColour);
    // The label holds no text, so it is kept out of sight, where a screen reader skips it too.
    Label1->hide();

    Label2 = new LinedLabel(ScreenFonts::TahomaLineHeight, this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips::Rect(45, 3450, 4890, 435));
    Label2->setFont(ScreenFonts::Tahoma());
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScreenLook::SetTextColour(Label2, InfoColour);
    Label2->setText(QStringLiteral("If you have any questions and doubt in any answers so please email us at ") +
                    QString::fromUtf8(BuildConfig::ContactEmail) + QStringLiteral(" or visit at ") +
                    QString::fromUtf8(BuildConfig::ContactWebShown));

    // The count box lies over the banner.
    Text1->raise();

    // Focus order: the banner, the three buttons, then the count box.
    setTabOrder(Picture1, Start);
    setTabOrder(Start, About);
    setTabOrder(About, Exit);
    setTabOrder(Exit, Text1);

    // A click on the banner or on Start moves the focus out of the count box only once the
    // count has passed; the other buttons work whatever the box holds.
    Picture1->installEventFilter(this);
    Start->installEventFilter(this);
}

PictureBox* WelcomeScreen::makePictureButton(const char* name, int top, const QPixmap& face, const QCursor& pointer)
{
    auto* button = new PictureBox(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Twips::Rect(5550, top, 1590, 360));
    button->setPicture(face);
    button->setPressable(true);
    if (pointer.shape() == Qt::BitmapCursor)
        button->setCursor(pointer);
    return button;
}

CaptionLabel* WelcomeScreen::makeCaption(PictureBox* button, const char* name, const QString& text, int left, int top)
{
    auto* caption = new CaptionLabel(text, button);
    caption->setObjectName(QString::fromLatin1(name));
    caption->move(Twips::Point(left, top));
    ScreenLook::SetTextColour(caption, CaptionColour);
    caption->adjustSize();
    // The button carries the caption as its name; read again, the caption would only repeat it.
    button->setAccessibleName(text);
    ScreenAccessibility::MarkDecoration(caption);
    return caption;
}

void WelcomeScreen::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        Picture1->setFocus(Qt::OtherFocusReason);
    }
}

void WelcomeScreen::Text1_Validate(bool& Cancel)
{
    if (CountCheck::CountIsValid(Text1->text()))
        return;
    m_services.showMessage(this, QString::fromLatin1(CountCheck::MessageTitle),
                           QString::fromLatin1(CountCheck::Message));
    Cancel = true;
}

bool WelcomeScreen::countAccepted()
{
    if (m_validating)
        return false;
    m_validating = true;
    bool cancel = false;
    Text1_Validate(cancel);
    m_validating = false;
    if (cancel)
        Text1->setFocus(Qt::OtherFocusReason);
    return !cancel;
}

bool WelcomeScreen::eventFilter(QObject* watched, QEvent* event)
{
    // Only the left button clicks; other buttons neither move the focus nor press anything.
    // A double click's second press is no click either.
    const bool press =
        event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (press && Text1->hasFocus() && (watched == Picture1 || watched == Start)) {
        if (!countAccepted())
            return true; // refused: the click does not happen
        static_cast<QWidget*>(watched)->setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

void WelcomeScreen::onFocusChanged(QWidget* old, QWidget* now)
{
    // Any other move out of the count box to a control of this screen (Tab, say) is checked
    // too. Focus lost to another window, a message box included, is no move.
    if (old != Text1 || !now || now->window() != this || now == About || now == Exit || m_validating)
        return;
    countAccepted();
}

void WelcomeScreen::Start_Click()
{
    // Every way of starting checks the count first: a caption label never takes the focus,
    // so the check on leaving the box alone would not cover it.
    if (!countAccepted())
        return;
    const auto count = CountCheck::ToCount(Text1->text());
    if (count)
        Q_EMIT startRequested(*count);
}

void WelcomeScreen::About_Click()
{
    const QString page = m_store.previousPage();
    if (!page.isEmpty())
        m_services.openPage(page);
}

void WelcomeScreen::Exit_Click()
{
    m_services.exitProgram();
}
