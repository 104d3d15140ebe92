#include "frmrect.h"

#include <QCloseEvent>
#include "core/lifecycle.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lenientnumber.h"
#include "editor/docking.h"
#include "editor/frmmain.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QLocale>
#include <QTimer>
#include <cmath>

namespace {
// The program folder whose start this run has counted: the panel counts once per run.
QString& countedFolder()
{
    static QString folder;
    return folder;
}
}

frmrect::frmrect()
{
    setObjectName("frmrect");
    // A panel of the main window: no task-bar entry, no place in the window switcher.
    setToolWindowOf([]() -> QWidget* { return Forms::loaded<frmmain>(); });
    setAccessibleName("indicator");
    // Docked under the main window, the panel appears with it without taking the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(Twips::toPixels(3720), Twips::toPixels(330));
    Label1 = new MouseLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    QFont small("Tahoma");
    small.setPointSizeF(6.75);
    Label1->setFont(small);
    Label1->setAccessibleName("position");
    place(Label1, 90, 45, 1800, 240);
    Label2 = new MouseLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(QFont("Tahoma", 7));
    Label2->setAccessibleName("clock");
    place(Label2, 1920, 45, 900, 240);
    // The start counter keeps its value as caption, shown as rich text like every caption.
    Label5 = new MouseLabel(this);
    Label5->setFont(QFont("Tahoma", 7));
    Label5->setAccessibleName("starts");
    place(Label5, 2850, 45, 420, 240);
    // The larger copy of the toggle glyph sits behind it in the skin's colour; presses go
    // through to the toggle.
    Label3 = new MouseLabel(this);
    Label3->setAttribute(Qt::WA_TransparentForMouseEvents);
    Label3->setAlignment(Qt::AlignCenter);
    QFont large = Label3->font();
    large.setPointSizeF(large.pointSizeF() * 1.5);
    Label3->setFont(large);
    place(Label3, 3330, 0, 360, 310);
    Label4 = new PushLabel("6", this);
    Label4->setSymbol(true);
    Label3->setSymbol(true);
    Label4->setAccessibleName("options panel");
    Label4->setAlignment(Qt::AlignCenter);
    place(Label4, 3360, 20, 300, 270);
    Label3->setCaption("6");
    connect(Label4, &PushLabel::clicked, this, &frmrect::Label4_Click);
    for (MouseLabel* l : {static_cast<MouseLabel*>(Label1), static_cast<MouseLabel*>(Label2),
                          static_cast<MouseLabel*>(Label4), static_cast<MouseLabel*>(Label5)})
        connect(l, &MouseLabel::mousePressed, this, &frmrect::BringStackOnTop);
    // The clock shows whole seconds: one tick just after each second turns, only while shown.
    clock_ = new QTimer(this);
    clock_->setSingleShot(true);
    connect(clock_, &QTimer::timeout, this, &frmrect::refreshClock);
}

void frmrect::Form_Load()
{
    CommonKit::StayOnTop(this);
    if (countedFolder() != ProgramFolder::path()) {
        countedFolder() = ProgramFolder::path();
        Label5->setCaption(CommonKit::Setting("LOADED"));
        // The number at the start of the text, plus 1: "7x" counts on to 8, "2.5" to 3.5.
        Label5->setCaption(CommonKit::NumberText(CommonKit::LenientNumber(Label5->caption()) + 1));
        CommonKit::SetSetting("LOADED", Label5->caption());
    } else {
        Label5->setCaption(CommonKit::Setting("LOADED"));
    }
    ApplySkin();
    if (auto* main = Forms::loaded<frmmain>())
        setIndicatorText(main->IndicatorText(0));
}

void frmrect::ApplySkin()
{
    const QString s = SkinFolder::ResolveSkinFolder();
    setBackground(s + "frmrect.bmp");
    setTextColour(Label3, SkinFolder::Colour(s, "restfontclr"));
    const QColor fore = SkinFolder::Colour(s, "frmrectfore");
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label2)})
        setTextColour(w, fore);
}

void frmrect::setIndicatorText(const QString& text) { Label1->setText(text); }

QString frmrect::indicatorText() const { return Label1->text(); }

bool frmrect::optionsOpen() const { return Label4->caption() == "5"; }

void frmrect::BringStackOnTop()
{
    CommonKit::StayOnTop(&Forms::get<frmmain>());
    CommonKit::StayOnTop(this);
    if (auto* o = Forms::loaded<ops>())
        CommonKit::StayOnTop(o);
}

void frmrect::Label4_Click()
{
    ops& panel = Forms::get<ops>();
    if (!optionsOpen()) {
        Label4->setCaption("5");
        Label3->setCaption("5");
        Label4->move(Label4->x(), 0);
        Docking::Stack s = Docking::Read();
        Docking::OpenOptions(s, Twips::screenHeight());
        Docking::Apply(s);
        panel.show();
    } else {
        Label4->move(Label4->x(), Twips::toPixels(20));
        Label4->setCaption("6");
        Label3->setCaption("6");
        panel.hide();
    }
}

QString frmrect::ClockText(const QTime& time)
{
    // The system's long time format without its time-zone part.
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString plain;
    bool quoted = false;
    for (QChar c : format) {
        if (c == '\'')
            quoted = !quoted;
        if (quoted || c != 't')
            plain += c;
    }
    return QLocale::system().toString(time, plain.trimmed());
}

void frmrect::refreshClock()
{
    const double now = Clock::secondsSinceMidnight();
    const int ms = int(std::fmod(now, 86400.0) * 1000);
    Label2->setText(ClockText(QTime::fromMSecsSinceStartOfDay(ms)));
    if (isVisible())
        clock_->start(1000 - ms % 1000 + 5);
}

void frmrect::mousePressEvent(QMouseEvent* e)
{
    BringStackOnTop();
    SkinnedForm::mousePressEvent(e);
}

void frmrect::showEvent(QShowEvent* e)
{
    SkinnedForm::showEvent(e);
    refreshClock();
}

void frmrect::hideEvent(QHideEvent* e)
{
    clock_->stop();
    SkinnedForm::hideEvent(e);
}

// The window manager's close (Alt+F4, its title button) is the skin's close button: the shop
// asks and saves, and never goes on without a window.
void frmrect::closeEvent(QCloseEvent* e)
{
    e->ignore();
    QTimer::singleShot(0, this, [] { Lifecycle::Quit(Lifecycle::QuitCommand::CloseButton); });
}
