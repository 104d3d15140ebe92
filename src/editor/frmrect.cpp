#include "frmrect.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QLocale>
#include <QTime>
#include <QTimer>

frmrect::frmrect()
{
    setObjectName("frmrect");
    setAccessibleName("indicator");
    resize(Twips::toPixels(3720), Twips::toPixels(330));
    Label1 = new MouseLabel(this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setFont(QFont("Tahoma", 7));
    Label1->setAccessibleName("position");
    place(Label1, 90, 45, 1800, 240);
    Label2 = new MouseLabel(this);
    Label2->setTextFormat(Qt::PlainText);
    Label2->setFont(QFont("Tahoma", 7));
    Label2->setAccessibleName("clock");
    place(Label2, 1920, 45, 900, 240);
    Label5 = new MouseLabel(this);
    Label5->setTextFormat(Qt::PlainText);
    Label5->setFont(QFont("Tahoma", 7));
    Label5->setAccessibleName("starts");
    place(Label5, 2850, 45, 420, 240);
    Label3 = new MouseLabel(this);
    Label3->hide(); // kept equal to Label4; the skin's panel has room for one glyph
    Label4 = new PushLabel("6", this);
    Label4->setSymbol(true);
    Label3->setSymbol(true);
    Label4->setAccessibleName("options panel");
    place(Label4, 3360, 20, 300, 270);
    Label3->setCaption("6");
    connect(Label4, &PushLabel::clicked, this, &frmrect::Label4_Click);
    for (MouseLabel* l : {Label1, Label2, Label5})
        connect(l, &MouseLabel::mousePressed, this, [this] {
            CommonKit::StayOnTop(&Forms::get<frmmain>());
            CommonKit::StayOnTop(this);
            if (auto* o = Forms::loaded<ops>())
                CommonKit::StayOnTop(o);
        });
    // The clock needs no finer tick than a second; it runs only while the panel shows.
    clock_ = new QTimer(this);
    clock_->setInterval(1000);
    connect(clock_, &QTimer::timeout, this, &frmrect::refreshClock);
}

void frmrect::Form_Load()
{
    CommonKit::StayOnTop(this);
    Label5->setCaption(CommonKit::Setting("LOADED"));
    Label5->setCaption(QString::number(qRound(Label5->caption().toDouble()) + 1));
    CommonKit::SetSetting("LOADED", Label5->caption());
    ApplySkin();
    if (auto* main = Forms::loaded<frmmain>())
        setIndicatorText(main->IndicatorText(0));
}

void frmrect::ApplySkin()
{
    const QString s = SkinFolder::ResolveSkinFolder();
    setBackground(s + "frmrect.bmp");
    setTextColour(Label3, SkinFolder::ColourFromValue(SkinFolder::Value(s, "restfontclr")));
    const QColor fore = SkinFolder::ColourFromValue(SkinFolder::Value(s, "frmrectfore"));
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label2),
                       static_cast<QWidget*>(Label4)})
        setTextColour(w, fore);
}

void frmrect::setIndicatorText(const QString& text) { Label1->setText(text); }

QString frmrect::indicatorText() const { return Label1->text(); }

bool frmrect::optionsOpen() const { return Label4->caption() == "5"; }

void frmrect::Label4_Click()
{
    ops& panel = Forms::get<ops>();
    if (!optionsOpen()) {
        Label4->setCaption("5");
        Label3->setCaption("5");
        Label4->move(Label4->x(), 0);
        frmmain& main = Forms::get<frmmain>();
        panel.moveTwips(main.Left(), main.Top() + main.Height() + Height());
        if (panel.Top() > Twips::screenHeight() - panel.Height()) {
            main.setTop(Twips::screenHeight() - main.Height() - panel.Height() - Height());
            moveTwips(main.Left(), main.Top() + main.Height());
            panel.moveTwips(main.Left(), Top() + Height());
        }
        panel.show();
    } else {
        Label4->move(Label4->x(), Twips::toPixels(20));
        Label4->setCaption("6");
        Label3->setCaption("6");
        panel.hide();
    }
}

void frmrect::refreshClock() { Label2->setText(QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat)); }

void frmrect::mousePressEvent(QMouseEvent* e)
{
    CommonKit::StayOnTop(&Forms::get<frmmain>());
    CommonKit::StayOnTop(this);
    if (auto* o = Forms::loaded<ops>())
        CommonKit::StayOnTop(o);
    SkinnedForm::mousePressEvent(e);
}

void frmrect::showEvent(QShowEvent* e)
{
    refreshClock();
    clock_->start();
    SkinnedForm::showEvent(e);
}

void frmrect::hideEvent(QHideEvent* e)
{
    clock_->stop();
    SkinnedForm::hideEvent(e);
}
