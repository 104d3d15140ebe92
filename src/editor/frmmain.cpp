#include "frmmain.h"

#include <QCloseEvent>
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lenientnumber.h"
#include "core/lifecycle.h"
#include "editor/asciifiles.h"
#include "editor/decorations.h"
#include "editor/docking.h"
#include "editor/editcommands.h"
#include "editor/frmrect.h"
#include "editor/mainmenus.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu7.h"
#include "editor/pageedit.h"
#include "editor/pageundo.h"
#include "help/frmhelp.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "shell/systrayicon.h"
#include "skin/captionstrip.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>

#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

namespace {
// Pointer positions shown as single-precision decimal text.
QString singleText(int twips) { return QString::number(double(float(twips)), 'g', 7); }
// The designed Top of the menu-bar labels, twips.
constexpr int kMenuBarTop = 15;
}

frmmain::frmmain()
{
    setObjectName("frmmain");
    setAccessibleName("quorl ascii shop");
    setWindowTitle("quorl ascii shop");
    setFocusPolicy(Qt::ClickFocus);
    resize(Twips::toPixels(3720), Twips::toPixels(2250));
    // The designed place: centred across, in the upper part of the screen.
    moveTwips((Twips::screenWidth() - Width()) / 2, Twips::screenHeight() / 5);

    Label1 = new MouseLabel(this);
    Label1->setAccessibleName("quorl ascii shop");
    place(Label1, 120, 0, 2895, 240);
    Label2 = new PushLabel("&Files", this, PushLabel::Role::MenuItem);
    Label3 = new PushLabel("&Options", this, PushLabel::Role::MenuItem);
    Label5 = new PushLabel("&Edit", this, PushLabel::Role::MenuItem);
    Label4 = new PushLabel("&Help", this, PushLabel::Role::MenuItem);
    place(Label2, 180, kMenuBarTop, 495, 225);
    place(Label3, 705, kMenuBarTop, 720, 225);
    place(Label5, 1500, kMenuBarTop, 420, 225);
    place(Label4, 1950, kMenuBarTop, 435, 225);
    Label8 = new PushLabel(QString(), this);
    Label8->setAccessibleName("help");
    place(Label8, 2920, 0, 210, 240);
    Label6 = new PushLabel(QString(), this);
    Label6->setAccessibleName("minimize");
    place(Label6, 3200, 0, 210, 240);
    Label7 = new PushLabel(QString(), this);
    Label7->setAccessibleName("close");
    place(Label7, 3400, 0, 210, 240);

    List1 = new StringList(this);
    List1->setAccessibleName("strings");
    List1->setFont(QFont("Arial", 9));
    List1->AddCharacterSet();
    connect(List1, &StringList::entryClicked, this, &frmmain::List1_Click);
    place(List1, 165, 700, 1095, 1380);
    const int tops[4] = {720, 1080, 1440, 1800};
    for (int i = 0; i < 4; ++i) {
        auto* p = new PageEdit(this);
        p->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        p->setAccessibleName(QStringLiteral("page %1").arg(i + 1));
        QFont font("Arial");
        font.setPointSizeF(9.75);
        p->setFont(font);
        place(p, 1320, tops[i], 2240, 270);
        pages_[i] = p;
        const int n = i + 1;
        connect(p, &PageEdit::pressed, this, [this, n] { Page_MouseDown(n); });
        connect(p, &QLineEdit::textChanged, this, [this, n] { Page_Change(n); });
        connect(p, &QLineEdit::cursorPositionChanged, this, [this, n] {
            if (pageTimer[n - 1])
                WriteIndicator(n);
        });
        connect(p, &PageEdit::hovered, this, [this, n] { Page_MouseMove(n); });
        connect(p, &PageEdit::keyPressed, this, [this, n](int code) { Page_KeyPress(n, code); });
        connect(p, &PageEdit::undoPastHistory, this, &frmmain::UndoPagePick);
    }
    Text1 = pages_[0];
    Text2 = pages_[1];
    Text3 = pages_[2];
    Text4 = pages_[3];
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (!now || now == this || now->window() != this)
            return;
        lastFocus_ = now;
    });

    strip_ = new CaptionStrip(this, Label1);
    connect(Label1, &MouseLabel::mousePressed, this, &frmmain::Label1_MouseDown);
    connect(Label1, &MouseLabel::mouseMoved, this, [this](Qt::MouseButtons, int x, int y) { Label1_MouseMove(x, y); });
    connect(Label1, &MouseLabel::mouseReleased, this, &frmmain::Label1_MouseUp);
    connect(Label1, &MouseLabel::doubleClicked, this, &frmmain::Label1_DblClick);
    CaptionStrip::Captions captions;
    captions.labels = {Label2, Label3, Label5, Label4};
    captions.menu = &MainMenus::Caption;
    // The Files, Options and Edit menus close each other; the Help label closes none.
    captions.closes = [](int i, int j) { return i != 3 && j != 3; };
    captions.before = [this](PopupMenuForm* menu) {
        StackOnTop();
        CommonKit::StayOnTop(menu);
    };
    captions.show = [this](int i, PopupMenuForm* menu) { ShowCaptionMenu(menu, MainMenus::CaptionOffset(i)); };
    strip_->setCaptions(std::move(captions));
    strip_->setWindowMenuKeys([this] { ShowWindowMenu(0, 0); });
    connect(Label6, &MouseLabel::mousePressed, this, &MainMenus::HideFilesAndOptions);
    connect(Label7, &MouseLabel::mousePressed, this, &MainMenus::HideFilesAndOptions);
    Label6->setPressAction([this] { Minimize(); });
    connect(Label6, &MouseLabel::mouseReleased, this, &frmmain::Label6_MouseUp);
    Label7->setPressAction([this] { QuitWithQuestion(); });
    connect(Label7, &MouseLabel::mouseReleased, this, &frmmain::Label7_MouseUp);
    Label8->setPressAction([] { Help::ShowHelp(); });
    connect(Label8, &MouseLabel::mouseReleased, this, [](Qt::MouseButton, int, int y) {
        if (y >= 0 && y <= 240)
            Help::ShowHelp();
    });

    // The focus watch: another application, or a window of this one that is neither the main
    // window nor one of its menus, takes the menus away.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &frmmain::FocusWatch);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            MainMenus::HideAll();
    });

    trackTick_ = new QTimer(this);
    trackTick_->setSingleShot(true);
    trackTick_->setInterval(50);
    connect(trackTick_, &QTimer::timeout, this, &frmmain::TrackingTick);

    Timer8 = new QTimer(this);
    Timer8->setSingleShot(true);
    Timer8->setInterval(1);
    connect(Timer8, &QTimer::timeout, this, &frmmain::Timer8_Timer);
}

void frmmain::Form_Load()
{
    CommonKit::StayOnTop(this);
    Forms::get<menu2>().ApplyStartupLinkSetting();
    systrayicon::AddTrayIcon();
    Lifecycle::SplashStatus("  Loading Skin...");
    const QString x = CommonKit::Setting("X");
    const QString y = CommonKit::Setting("Y");
    if (x != "none" && y != "none") {
        // Whatever the file holds ("nan", "1e30", a place on a screen since gone), the stack
        // comes up on this screen.
        frmrect& rect = Forms::get<frmrect>();
        const qint64 right = std::max(0, Twips::screenWidth() - Width());
        const qint64 bottom = std::max(0, Twips::screenHeight() - Height() - rect.Height());
        moveTwips(int(CommonKit::LenientWhole(x, 0, right)), int(CommonKit::LenientWhole(y, 0, bottom)));
        rect.moveTwips(Left(), Top() + Height());
        Clock::processEvents();
        CommonKit::StayOnTop(this);
        const QString strings = ProgramFolder::file("ascii/asc.asc");
        StringList::TellLoadProblem(strings, List1->AddLinesOfFile(strings));
    }
    UpdatePageEnabling();
}

void frmmain::ApplySkin()
{
    const QString s = SkinFolder::ResolveSkinFolder();
    setBackground(s + "iface.bmp");
    const QColor bg = SkinFolder::Colour(s, "textbg");
    const QColor fg = SkinFolder::Colour(s, "textfore");
    setBoxColours(List1, bg, fg);
    for (PageEdit* p : pages_)
        setBoxColours(p, bg, fg);
    const QColor menubar = SkinFolder::Colour(s, "menubar");
    const QString face = SkinFolder::Value(s, "menubarfont");
    // top is a strict number of twips; a skin without one keeps the designed place.
    const int top = SkinFolder::TwipsValue(s, "top").value_or(kMenuBarTop);
    for (PushLabel* l : {Label2, Label3, Label5, Label4}) {
        setTextColour(l, menubar);
        setFontFace(l, face);
        l->move(l->x(), Twips::toPixels(top));
    }
}

Pages::Four frmmain::pageTexts() const
{
    return {Text1->text(), Text2->text(), Text3->text(), Text4->text()};
}

void frmmain::setPageTexts(const Pages::Four& texts)
{
    for (int i = 0; i < 4; ++i)
        pages_[i]->setText(texts[i]);
}

void frmmain::clearPages() { setPageTexts({}); }

void frmmain::UndoPagePick()
{
    if (const auto before = PageUndo::Take(pageTexts()))
        setPageTexts(*before);
}

bool frmmain::readAsciiText(const QString& content)
{
    const Pages::Four pages = Pages::ReadAsciiFile(content, Text5);
    setPageTexts(pages);
    bool cut = false;
    for (int i = 0; i < 4; ++i)
        cut = cut || pages_[i]->text().size() < pages[i].size();
    return cut;
}

void frmmain::readAsciiFile(const QString& path) { AsciiFiles::Read(*this, path); }

void frmmain::OpenAscii() { AsciiFiles::Open(*this); }

void frmmain::OpenRecent(const QString& path) { AsciiFiles::OpenRecent(*this, path); }

void frmmain::SaveAscii() { AsciiFiles::Save(*this); }

void frmmain::SendEditKey(EditKey key) { EditCommands::SendKey(*this, lastFocus_.data(), key); }
void frmmain::DeleteSelection() { EditCommands::DeleteSelection(*this); }
void frmmain::SelectAllActive(bool moveFocus) { EditCommands::SelectAllActive(*this, moveFocus); }
void frmmain::CopyAllFields() { Text5 = EditCommands::CopyAllFields(*this); }

void frmmain::Page_MouseDown(int n)
{
    SetActivePage(n);
    WriteIndicator(n);
    MainMenus::HideFilesAndOptions();
}

void frmmain::Page_Change(int n) { WriteIndicator(n); }

void frmmain::Page_MouseMove(int n)
{
    const QString s = SkinFolder::ResolveSkinFolder();
    const QColor over = SkinFolder::Colour(s, "overbox");
    const QColor off = SkinFolder::Colour(s, "offbox");
    for (int i = 0; i < 4; ++i) {
        QPalette p = pages_[i]->palette();
        p.setColor(QPalette::Base, i == n - 1 ? over : off);
        pages_[i]->setPalette(p);
    }
}

void frmmain::FocusPageInUse(int picked)
{
    const auto usable = [this](int n) { return page(n)->isEnabled() && page(n)->isVisible(); };
    int n = picked > 0 && usable(picked) ? picked : 0;
    for (int i = 1; n == 0 && i <= 4; ++i)
        if (usable(i))
            n = i;
    if (n == 0)
        return;
    activateWindow();
    page(n)->setFocus();
}

void frmmain::Page_KeyPress(int n, int code)
{
    if (code == 1 && pageTimer[n - 1]) {
        page(n)->setSelection(0, int(page(n)->text().size()));
        page(n)->setFocus();
    }
    if (code == 2)
        Decorations::DecorateAllPages();
}

void frmmain::List1_Click(const QString& entry)
{
    if (const int n = activePage())
        CommonKit::InsertAtCursor(entry, page(n));
}

QString frmmain::IndicatorText(int n) const
{
    const QPoint p = pos();
    const int caret = (n >= 1 && n <= 4 ? pages_[n - 1] : pages_[0])->cursorPosition();
    return QStringLiteral("%1 . %2  :  %3 . %4").arg(p.x()).arg(p.y()).arg(caret).arg(n);
}

void frmmain::WriteIndicator(int n)
{
    Forms::get<frmrect>().setIndicatorText(IndicatorText(n));
    // A running page timer writes its own page again on its next tick.
    if (!(n >= 1 && n <= 4 && pageTimer[n - 1]) && activePage() != 0)
        trackTick_->start();
}

void frmmain::TrackingTick()
{
    // Ticks only refresh a loaded indicator; loading it is start-up's business.
    if (!Forms::loaded<frmrect>())
        return;
    for (int i = 0; i < 4; ++i)
        if (pageTimer[i])
            WriteIndicator(i + 1);
}

void frmmain::UpdatePageEnabling()
{
    // Showing the page checks below comes back here; one pass is enough.
    if (enabling_)
        return;
    enabling_ = true;
    menu2& options = Forms::get<menu2>();
    bool any = false;
    for (int i = 0; i < 4; ++i) {
        const bool on = options.allChecked() || options.pageChecked(i + 1);
        pages_[i]->setEnabled(on);
        any = any || on;
    }
    if (options.allChecked())
        for (int i = 1; i <= 4; ++i)
            options.setPageChecked(i, true);
    // Rolled up, the pages and the list lie below the window's edge: hidden, so neither the
    // focus nor a typed key reaches them; a focus there goes to the first caption.
    QList<QWidget*> below{List1};
    for (PageEdit* p : pages_)
        below << p;
    setControlsShown(below, any && Forms::get<menu1>().rollCaption() != "&roll down", Label2);
    enabling_ = false;
}

void frmmain::SetActivePage(int n)
{
    for (int i = 0; i < 4; ++i)
        pageTimer[i] = (i == n - 1);
    TrackingTick();
}

int frmmain::activePage() const
{
    for (int i = 0; i < 4; ++i)
        if (pageTimer[i])
            return i + 1;
    return 0;
}

void frmmain::RollUpDown()
{
    menu1& files = Forms::get<menu1>();
    if (files.rollCaption() == "&roll up") {
        files.setRollCaption("&roll down");
        setHeight(550);
    } else {
        files.setRollCaption("&roll up");
        setHeight(2250);
    }
    UpdatePageEnabling();
    Dock();
}

void frmmain::Dock()
{
    Docking::Stack s = Docking::Read();
    Docking::Dock(s);
    Docking::Apply(s);
}

void frmmain::KeepOnScreen()
{
    Docking::Stack s = Docking::Read();
    Docking::KeepOnScreen(s, Twips::screenWidth(), Twips::screenHeight());
    Docking::Apply(s);
}

void frmmain::StackOnTop()
{
    if (auto* o = Forms::loaded<ops>())
        CommonKit::StayOnTop(o);
    CommonKit::StayOnTop(&Forms::get<frmrect>());
    CommonKit::StayOnTop(this);
}

void frmmain::Minimize()
{
    restoreWatch_ = true;
    if (auto* o = Forms::loaded<ops>())
        o->hide();
    showMinimized();
    if (auto* rect = Forms::loaded<frmrect>())
        rect->hide();
}

bool frmmain::StartMove() { return strip_->startMove(); }

std::optional<QPoint> frmmain::pressPoint() const { return strip_->pressPoint(); }

void frmmain::Label1_MouseDown(Qt::MouseButton button, int x, int y)
{
    if (strip_->manualMove())
        return;
    StackOnTop();
    MainMenus::HideFilesAndOptions();
    if (button == Qt::RightButton) {
        Dock();
        return;
    }
    strip_->press(x, y);
}

void frmmain::Label1_MouseMove(int x, int y)
{
    if (!strip_->pressPoint())
        return;
    if (auto* m = Forms::loaded<menu7>(); m && m->isVisible())
        return;
    WriteIndicator(0);
    TrackingTick();
    strip_->follow(x, y);
    Dock();
}

void frmmain::Label1_MouseUp(Qt::MouseButton button, int x, int y)
{
    strip_->release();
    KeepOnScreen();
    WriteIndicator(0);
    Dock();
    if (button == Qt::RightButton && Docking::InWindowMenuZone(x, y))
        ShowWindowMenu(x, y);
}

void frmmain::Label1_DblClick()
{
    if (auto* m = Forms::loaded<menu7>(); m && m->isVisible())
        return;
    RollUpDown();
}

void frmmain::ShowWindowMenu(int x, int y)
{
    const QPoint at = Docking::WindowMenuPlace(QRect(Left(), Top(), Width(), Height()), x, y);
    Forms::get<menu7>().showAt(at.x(), at.y());
}

void frmmain::Label6_MouseUp(Qt::MouseButton button, int, int y)
{
    if (button == Qt::RightButton || y < 0 || y > 240)
        return;
    Minimize();
}

void frmmain::FocusWatch(QWindow* focusWindow)
{
    if (!MainMenus::IsOwnWindow(focusWindow))
        MainMenus::HideAll();
}

void frmmain::Timer8_Timer()
{
    Timer8->stop();
    hide();
    Lifecycle::StagedStartup();
}

void frmmain::Label7_MouseUp(Qt::MouseButton button, int, int y)
{
    if (button == Qt::RightButton || y < 0 || y > 240)
        return;
    QuitWithQuestion();
}

void frmmain::QuitWithQuestion() { Lifecycle::Quit(Lifecycle::QuitCommand::CloseButton); }

void frmmain::focusInEvent(QFocusEvent* e)
{
    SkinnedForm::focusInEvent(e);
    GreetOnFocus();
}

void frmmain::GreetOnFocus()
{
    // Closing the welcome hands the focus back here; it greets once per run, not in a loop.
    if (welcomed_)
        return;
    welcomed_ = Lifecycle::WelcomeCheck();
}

void frmmain::changeEvent(QEvent* e)
{
    SkinnedForm::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        GreetOnFocus();
    if (e->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized))
        wasMinimized_ = true;
    // The restore watch: back from the minimize, the panels return.
    if (e->type() == QEvent::WindowStateChange && restoreWatch_ && !(windowState() & Qt::WindowMinimized)) {
        restoreWatch_ = false;
        frmrect& rect = Forms::get<frmrect>();
        if (rect.optionsOpen())
            Forms::get<ops>().show();
        rect.show();
        Dock();
    }
}

void frmmain::ShowCaptionMenu(PopupMenuForm* menu, int leftOffset)
{
    const int top = Top() + 550;
    const bool belowScreen = Twips::screenHeight() - menu->Height() < top;
    menu->showAt(Left() + leftOffset, top);
    // A menu that had to move up takes the main window with it.
    if (belowScreen) {
        setTop(Docking::MainTopForMenu(menu->Top(), Height(), Height() == 550));
        Dock();
    }
}

void frmmain::hideEvent(QHideEvent* e)
{
    SkinnedForm::hideEvent(e);
    // A minimize that the window manager ended stays in the native window's hints, so the next
    // showing would come up minimized; a fresh native window starts clean.
    if (wasMinimized_ && !e->spontaneous() && windowState() == Qt::WindowNoState) {
        wasMinimized_ = false;
        if (QWindow* w = windowHandle())
            w->destroy();
    }
}

void frmmain::moveEvent(QMoveEvent* e)
{
    SkinnedForm::moveEvent(e);
    // Whoever moved the window (a drag, the window manager), the panels follow and the running
    // page timer shows the new place.
    if (!isVisible() || isMinimized() || !Forms::loaded<frmrect>())
        return;
    Dock();
    TrackingTick();
}

void frmmain::mousePressEvent(QMouseEvent* e)
{
    Forms::get<frmrect>().BringStackOnTop();
    MainMenus::HideFilesAndOptions();
    if (auto* m = Forms::loaded<menu7>())
        m->hide();
    const QPoint p = e->position().toPoint();
    if (activePage() == 0)
        press_ = QPoint(Twips::fromPixels(p.x()), Twips::fromPixels(p.y()));
}

void frmmain::mouseMoveEvent(QMouseEvent* e)
{
    if (!press_ || press_->x() <= 1)
        return;
    const QPoint p = e->position().toPoint();
    Forms::get<frmrect>().setIndicatorText(singleText(Twips::fromPixels(p.x())) + " . "
                                           + singleText(Twips::fromPixels(p.y())));
}

void frmmain::mouseReleaseEvent(QMouseEvent*)
{
    press_.reset();
    WriteIndicator(0);
}

void frmmain::showEvent(QShowEvent* e)
{
    SkinnedForm::showEvent(e);
    // The first showing starts the staged start-up, once.
    if (!staged_) {
        staged_ = true;
        Timer8->start();
    }
}

// The window manager's close (Alt+F4, its title button) is the skin's close button: the shop
// asks and saves, and never goes on without a window.
void frmmain::closeEvent(QCloseEvent* e)
{
    e->ignore();
    QTimer::singleShot(0, this, [] { Lifecycle::Quit(Lifecycle::QuitCommand::CloseButton); });
}
