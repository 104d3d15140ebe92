#include "frmdraw.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmasc.h"
#include "effects/applyfilter.h"
#include "effects/filtertarget.h"
#include "help/frmhelp.h"
#include "macroshop/charmapfollow.h"
#include "macroshop/macroedit.h"
#include "macroshop/macromenus.h"
#include "macroshop/macroshop.h"
#include "macroshop/mnu3.h"
#include "macroshop/mnu6.h"
#include "macroshop/storedstrings.h"
#include "platform/clock.h"
#include "platform/twips.h"
#include "skin/captionstrip.h"
#include "skin/popupmenuform.h"
#include "skin/accessiblenames.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

const QString frmdraw::kTitle = QString::fromUtf8("   &quorl ascii shop \u00b9\u00b7\u00b9 : macro shop");

namespace {
constexpr int kNormalWidth = 5430;
constexpr int kHeight = 6000;
constexpr int kMenuTop = 300;
}

frmdraw::frmdraw()
{
    setObjectName("frmdraw");
    setWindowTitle("macro shop");
    setAccessibleName("macro shop");
    resize(Twips::toPixels(kNormalWidth), Twips::toPixels(kHeight));

    Label1 = new MouseLabel(kTitle, this);
    Label1->setAccessibleName("macro shop");
    Label8 = new PushLabel("?", this);
    Label8->setAccessibleName("help");
    Label9 = new PushLabel("0", this);
    Label9->setSymbol(true);
    Label9->setAccessibleName("minimize");
    Label7 = new PushLabel("r", this);
    Label7->setSymbol(true);
    Label7->setAccessibleName("close");
    for (PushLabel* b : {Label7, Label8, Label9})
        b->setAlignment(Qt::AlignCenter);

    const char* const captions[5] = {"&Files", "&Options", "&Strings", "&Edit", "&Help"};
    const int lefts[5] = {150, 690, 1530, 2340, 2850};
    const int widths[5] = {480, 780, 750, 450, 450};
    for (int i = 0; i < 5; ++i) {
        auto* label = new PushLabel(captions[i], this, PushLabel::Role::MenuItem);
        place(label, lefts[i], kMenuTop, widths[i], 225);
        captionLabels_[i] = label;
    }
    Label2 = captionLabels_[0];
    Label3 = captionLabels_[1];
    Label4 = captionLabels_[2];
    Label5 = captionLabels_[3];
    Label6 = captionLabels_[4];
    Label10 = new PushLabel("&Filters", this, PushLabel::Role::MenuItem);
    place(Label10, 3360, kMenuTop, 660, 225);
    connect(Label10, &PushLabel::clicked, this, &frmdraw::Label10_Click);

    Text1 = new MacroEdit(this);
    Text1->setAccessibleName("macro");
    AccessibleNames::nameScrollBars(Text1, "macro");
    Text1->setFont(QFont("DejaVu Sans Mono", 9));
    SetWide(false);

    new CharMapFollow(this);
    strip_ = new CaptionStrip(this, Label1);
    connect(Label1, &MouseLabel::mousePressed, this, &frmdraw::Label1_MouseDown);
    connect(Label1, &MouseLabel::mouseMoved, this, [this](Qt::MouseButtons, int x, int y) {
        if (strip_->follow(x, y))
            Clock::processEvents();
    });
    connect(Label1, &MouseLabel::doubleClicked, this, [this] { filling_ ? RestoreSize() : Maximize(); });
    connect(Label1, &MouseLabel::mouseReleased, this, [this] {
        strip_->release();
        pullOntoScreen();
        DockCharMap();
    });
    CaptionStrip::Captions menus;
    menus.labels = {captionLabels_.begin(), captionLabels_.end()};
    menus.menu = &MacroMenus::Caption;
    menus.show = [this](int i, PopupMenuForm* menu) {
        const QWidget* label = captionLabels_[i];
        menu->showAt(Left() + Twips::fromPixels(label->x()), Top() + Twips::fromPixels(label->y() + label->height()));
    };
    strip_->setCaptions(std::move(menus));
    strip_->setWindowMenuKeys([this] { Label1_MouseDown(Qt::RightButton, 0, 0); });
    connect(Label7, &MouseLabel::mouseReleased, this, [this](Qt::MouseButton b, int, int) { Label7_MouseUp(b); });
    Label7->setPressAction([this] { Label7_MouseUp(Qt::LeftButton); });
    connect(Label9, &MouseLabel::mouseReleased, this, [this](Qt::MouseButton b, int, int) { Label9_MouseUp(b); });
    Label9->setPressAction([this] { Label9_MouseUp(Qt::LeftButton); });
    connect(Label8, &PushLabel::clicked, this, [] { Help::ShowHelp(); });
    connect(Text1, &MacroEdit::slotKey, this, &frmdraw::Text1_SlotKey);
    connect(Text1, &MacroEdit::pressed, this, &frmdraw::Text1_MouseDown);

    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmdraw::FocusWatch);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            MacroMenus::HideAll();
    });
}

void frmdraw::Form_Load()
{
    DialogSkin skin;
    // The picture follows the size (see layout).
    skin.title = Label1;
    skin.titleKey = "frmdraw";
    skin.textBoxes = {Text1};
    skin.colours = {{"menubar", {Label2, Label3, Label4, Label5, Label6, Label10, Label7, Label8, Label9}}};
    ApplyDialogSkin(skin);
    skinned_ = true;
    layout(Width(), Height());
}

void frmdraw::ApplySkin()
{
    SkinnedForm::ApplySkin();
    layout(Width(), Height());
}

void frmdraw::SetWide(bool wide)
{
    if (filling_)
        RestoreSize();
    wide_ = wide;
    int width = kNormalWidth;
    if (wide) {
        const QPixmap p = SkinFolder::Picture(SkinFolder::ResolveSkinFolder() + "frmdraw.bmp");
        width = p.isNull() ? 7500 : Twips::fromPixels(p.width());
    }
    resize(Twips::toPixels(width), Twips::toPixels(kHeight));
    layout(width, kHeight);
}

void frmdraw::layout(int width, int height)
{
    // The designed places at the normal width; wider (the skin's picture, a filled screen) the
    // designed wide margins hold, so the buttons sit at the right end of the title strip.
    int editor = width - 315, title = width - 945;
    int buttons[3] = {width - 840, width - 480, width - 240};
    if (!filling_ && !wide_) {
        editor = 4875;
        title = 4455;
        buttons[0] = 4500, buttons[1] = 4780, buttons[2] = 5000;
    }
    place(Label1, 0, 0, title, 240);
    place(Label8, buttons[0], 0, 210, 240);
    place(Label9, buttons[1], 0, 210, 240);
    place(Label7, buttons[2], 0, 210, 240);
    place(Text1, 270, 600, editor, height - 780);
    if (!skinned_)
        return;
    // The frame, the caption strip and the house mark keep their look at every size.
    const QPixmap picture = SkinFolder::Picture(SkinFolder::ResolveSkinFolder() + "frmdraw.bmp");
    setBackgroundPicture(fitted(picture, size(), QMargins(4, 20, 24, 4)));
}

void frmdraw::Maximize()
{
    if (filling_)
        return;
    before_ = geometry();
    filling_ = true;
    // Room at the left for the docked character map.
    QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    area.setLeft(area.left() + Twips::toPixels(1440));
    resize(area.size());
    move(area.topLeft());
    layout(Twips::fromPixels(area.width()), Twips::fromPixels(area.height()));
    DockCharMap();
}

void frmdraw::RestoreSize()
{
    if (!filling_)
        return;
    filling_ = false;
    resize(before_.size());
    move(before_.topLeft());
    layout(Twips::fromPixels(before_.width()), Twips::fromPixels(before_.height()));
    DockCharMap();
}

void frmdraw::CaptionLabel_MouseDown(int i, Qt::MouseButton button)
{
    if (button == Qt::LeftButton)
        strip_->toggle(i);
}

bool frmdraw::StartMove() { return strip_->startMove(); }

void frmdraw::Label10_Click()
{
    // The chooser outlives this window: it filters whichever macro shop is open when Ok is pressed.
    applyfilter::Open(FilterTarget::forBox([]() -> QPlainTextEdit* {
        frmdraw* open = Forms::loaded<frmdraw>();
        return open ? open->Text1 : nullptr;
    }));
}

void frmdraw::Label1_MouseDown(Qt::MouseButton button, int x, int y)
{
    if (button == Qt::RightButton) {
        const QPoint at = Label1->mapToGlobal(QPoint(Twips::toPixels(x), Twips::toPixels(y)));
        Forms::get<mnu6>().showAt(Twips::fromPixels(at.x()), Twips::fromPixels(at.y()));
        return;
    }
    strip_->press(x, y);
}

void frmdraw::Label7_MouseUp(Qt::MouseButton button)
{
    if (button == Qt::RightButton || !isVisible())
        return;
    MacroShop::Close();
}

void frmdraw::Label9_MouseUp(Qt::MouseButton button)
{
    if (button != Qt::LeftButton)
        return;
    // The docked map follows (CharMapFollow).
    showMinimized();
}

void frmdraw::Text1_SlotKey(int slot)
{
    const QString s = Forms::get<mnu3>().slotString(slot);
    if (StoredStrings::Inserts(s))
        CommonKit::InsertAtCursor(s, Text1);
}

void frmdraw::Text1_MouseDown()
{
    if (auto* map = Forms::loaded<frmasc>())
        CommonKit::StayOnTop(map);
    CommonKit::StayOnTop(this);
}

void frmdraw::FocusWatch(QWindow* focusWindow)
{
    if (!MacroMenus::IsOwnWindow(focusWindow))
        MacroMenus::HideAll();
}

void frmdraw::DockCharMap()
{
    if (auto* map = Forms::loaded<frmasc>())
        map->DockBeside(*this);
}

void frmdraw::ShowAgain()
{
    if (isMinimized())
        showNormal();
    show();
    raise();
}

void frmdraw::moveEvent(QMoveEvent* e)
{
    SkinnedForm::moveEvent(e);
    DockCharMap();
}
