#include "frmmain.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "core/quit.h"
#include "core/startup.h"
#include "editor/frmrect.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu4.h"
#include "editor/mru.h"
#include "editor/pageedit.h"
#include "help/frmhelp.h"
#include "platform/clock.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"
#include "skin/reskin.h"
#include "skin/skinfolder.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFocusEvent>
#include <QListWidget>
#include <QTimer>

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
    place(Label2, 180, 15, 495, 225);
    place(Label3, 705, 15, 720, 225);
    place(Label5, 1500, 15, 420, 225);
    place(Label4, 1950, 15, 435, 225);
    Label8 = new PushLabel(QString(), this);
    Label8->setAccessibleName("help");
    place(Label8, 2920, 0, 210, 240);
    Label6 = new PushLabel(QString(), this);
    Label6->setAccessibleName("minimize");
    place(Label6, 3200, 0, 210, 240);
    Label7 = new PushLabel(QString(), this);
    Label7->setAccessibleName("close");
    place(Label7, 3400, 0, 210, 240);

    List1 = new QListWidget(this);
    List1->setAccessibleName("strings");
    List1->setFrameShape(QFrame::NoFrame);
    place(List1, 165, 700, 1095, 1380);
    const int tops[4] = {720, 1080, 1440, 1800};
    for (int i = 0; i < 4; ++i) {
        auto* p = new PageEdit(this);
        p->setObjectName(QStringLiteral("Text%1").arg(i + 1));
        p->setAccessibleName(QStringLiteral("page %1").arg(i + 1));
        p->setFont(QFont("Arial", 9));
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
    }
    Text1 = pages_[0];
    Text2 = pages_[1];
    Text3 = pages_[2];
    Text4 = pages_[3];
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        for (PageEdit* p : pages_)
            if (now == p)
                lastFocusedPage_ = p;
    });

    Label7->setPressAction([this] { QuitWithQuestion(); });
    connect(Label7, &MouseLabel::mouseReleased, this, &frmmain::Label7_MouseUp);
    Label8->setPressAction([] { Help::ShowHelp(); });
    connect(Label8, &MouseLabel::mouseReleased, this, [](Qt::MouseButton, int, int y) {
        if (y >= 0 && y <= 240)
            Help::ShowHelp();
    });
    connect(Label2, &PushLabel::clicked, this, [this] { ToggleMenu(&Forms::get<menu1>(), 60); });
    connect(Label3, &PushLabel::clicked, this, [this] { ToggleMenu(&Forms::get<menu2>(), 600); });
    connect(Label5, &PushLabel::clicked, this, [this] { ToggleMenu(&Forms::get<menu3>(), 1300); });
    connect(Label4, &PushLabel::clicked, this, [this] { ToggleMenu(&Forms::get<menu4>(), 1750); });

    Timer8 = new QTimer(this);
    Timer8->setSingleShot(true);
    Timer8->setInterval(1);
    connect(Timer8, &QTimer::timeout, this, &frmmain::Timer8_Timer);
}

void frmmain::Form_Load()
{
    CommonKit::StayOnTop(this);
    Startup::ApplyStartupLinkSetting();
    Startup::SplashStatus("  Loading Skin...");
    const QString x = CommonKit::Setting("X");
    const QString y = CommonKit::Setting("Y");
    if (x != "none" && y != "none") {
        moveTwips(qRound(x.toFloat()), qRound(y.toFloat()));
        frmrect& rect = Forms::get<frmrect>();
        rect.moveTwips(Left(), Top() + Height());
        Clock::processEvents();
        CommonKit::StayOnTop(this);
        CommonKit::LoadListFromFile(List1, ProgramFolder::file("ascii/asc.asc"));
        for (int i = List1->count() - 1; i >= 0; --i) {
            if (List1->item(i)->text().isEmpty())
                delete List1->takeItem(i);
        }
    }
    UpdatePageEnabling();
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

void frmmain::readAsciiText(const QString& content) { setPageTexts(Pages::ReadAsciiFile(content, Text5)); }

void frmmain::OpenAscii()
{
    const QString name = Prompts::openFileName();
    if (name.isEmpty())
        return;
    OpenRecent(name);
}

void frmmain::OpenRecent(const QString& path)
{
    if (path.isEmpty())
        return;
    Forms::get<menu1>().ShowMru(Mru::Update("MRU2", path));
    readAsciiText(CommonKit::ReadFileText(path));
}

void frmmain::SaveAscii()
{
    const QString name = Prompts::saveFileName();
    if (name.isEmpty())
        return;
    Forms::get<menu1>().ShowMru(Mru::Update("MRU2", name));
    QString error;
    if (!CommonKit::SaveString(Pages::AsciiFileText(pageTexts()), name, &error))
        Prompts::messageBox("Could not save " + name + ":\n" + error, "Save ascii", Prompts::Buttons::Ok,
                            Prompts::Icon::Exclamation);
}

void frmmain::SendEditKey(EditKey key)
{
    PageEdit* p = lastFocusedPage_;
    if (!p)
        return;
    switch (key) {
    case EditKey::Undo: p->undo(); break;
    case EditKey::Cut: p->cut(); break;
    case EditKey::Copy: p->copy(); break;
    case EditKey::Paste: p->paste(); break;
    }
}

void frmmain::DeleteSelection()
{
    for (int i = 0; i < 4; ++i)
        if (pageTimer[i] && pages_[i]->hasSelectedText())
            pages_[i]->del();
}

void frmmain::SelectAllActive(bool moveFocus)
{
    for (int i = 0; i < 4; ++i) {
        if (!pageTimer[i])
            continue;
        pages_[i]->setSelection(0, int(pages_[i]->text().size()));
        if (moveFocus)
            pages_[i]->setFocus();
    }
}

void frmmain::CopyAllFields()
{
    Text5 = Pages::CopyAllFieldsText(pageTexts());
    QApplication::clipboard()->setText(Text5);
}

void frmmain::Page_MouseDown(int n)
{
    SetActivePage(n);
    WriteIndicator(n);
    if (auto* m = Forms::loaded<menu1>())
        m->hide();
    if (auto* m = Forms::loaded<menu2>())
        m->hide();
}

void frmmain::Page_Change(int n) { WriteIndicator(n); }

void frmmain::Page_MouseMove(int n)
{
    const QString s = SkinFolder::ResolveSkinFolder();
    const QColor over = SkinFolder::ColourFromValue(SkinFolder::Value(s, "overbox"));
    const QColor off = SkinFolder::ColourFromValue(SkinFolder::Value(s, "offbox"));
    for (int i = 0; i < 4; ++i) {
        QPalette p = pages_[i]->palette();
        p.setColor(QPalette::Base, i == n - 1 ? over : off);
        pages_[i]->setPalette(p);
    }
}

void frmmain::Page_KeyPress(int n, int code)
{
    if (code == 1) {
        if (pageTimer[n - 1]) {
            page(n)->setSelection(0, int(page(n)->text().size()));
            page(n)->setFocus();
        }
    }
}

QString frmmain::IndicatorText(int n) const
{
    const QPoint p = pos();
    const int caret = (n >= 1 && n <= 4 ? pages_[n - 1] : pages_[0])->cursorPosition();
    return QStringLiteral("%1 . %2  :  %3 . %4").arg(p.x()).arg(p.y()).arg(caret).arg(n);
}

void frmmain::WriteIndicator(int n) { Forms::get<frmrect>().setIndicatorText(IndicatorText(n)); }

void frmmain::UpdatePageEnabling()
{
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
    for (PageEdit* p : pages_)
        p->setVisible(any);
    List1->setVisible(any);
}

void frmmain::SetActivePage(int n)
{
    for (int i = 0; i < 4; ++i)
        pageTimer[i] = (i == n - 1);
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
    Dock();
}

void frmmain::Dock()
{
    frmrect& rect = Forms::get<frmrect>();
    rect.moveTwips(Left(), Top() + Height());
    if (ops* o = Forms::loaded<ops>(); o && o->isVisible())
        o->moveTwips(Left(), Top() + Height() + rect.Height());
}

void frmmain::Timer8_Timer()
{
    Timer8->stop();
    hide();
    Startup::StagedStartup(*this);
}

void frmmain::Label7_MouseUp(Qt::MouseButton button, int, int y)
{
    if (button == Qt::RightButton || y < 0 || y > 240)
        return;
    QuitWithQuestion();
}

void frmmain::QuitWithQuestion() { Quit::CloseButton(); }

void frmmain::focusInEvent(QFocusEvent* e)
{
    SkinnedForm::focusInEvent(e);
    Startup::WelcomeCheck();
}

void frmmain::changeEvent(QEvent* e)
{
    SkinnedForm::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        Startup::WelcomeCheck();
}

void frmmain::ToggleMenu(PopupMenuForm* menu, int leftOffset)
{
    if (auto* o = Forms::loaded<ops>())
        CommonKit::StayOnTop(o);
    CommonKit::StayOnTop(&Forms::get<frmrect>());
    CommonKit::StayOnTop(this);
    CommonKit::StayOnTop(menu);
    if (menu->isVisible()) {
        menu->hide();
        return;
    }
    // The Files, Options and Edit menus close each other; the Help label closes none.
    PopupMenuForm* exclusive[] = {Forms::loaded<menu1>(), Forms::loaded<menu2>(), Forms::loaded<menu3>()};
    if (menu != Forms::loaded<menu4>())
        for (PopupMenuForm* other : exclusive)
            if (other && other != menu)
                other->hide();
    activateWindow();
    menu->moveTwips(Left() + leftOffset, Top() + 550);
    menu->show();
    menu->raise();
    menu->activateWindow();
    // A menu that would reach below the screen moves up, and the main window with it.
    if (Twips::screenHeight() - menu->Height() < menu->Top()) {
        menu->setTop(Twips::screenHeight() - menu->Height());
        setTop(CommonKit::IsRolledUp() ? menu->Top() - Height() : menu->Top() - Height() + 1695);
        Dock();
    }
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
