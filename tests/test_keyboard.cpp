// The shop as a keyboard-only user and a screen reader meet it: mnemonics that several labels
// share, the menus' keys, Esc and Enter in the dialogs, the fader's bars, and the accessible tree
// of every window.
#include "support/chatclientlauncher.h"
#include "support/helpers.h"
#include "support/shoptest.h"

#include "app/extract.h"
#include "app/frmart.h"
#include "app/frmwelcome.h"
#include "app/handle.h"
#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/addascii.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/frmsetascii.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu4.h"
#include "editor/menu5.h"
#include "editor/menu7.h"
#include "editor/pageedit.h"
#include "effects/applyfilter.h"
#include "effects/frmfader.h"
#include "help/frmhelp.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "macroshop/mnu4.h"
#include "macroshop/mnu5.h"
#include "macroshop/mnu6.h"
#include "mail/frmbug.h"
#include "mail/frmemail.h"
#include "mail/frmrelay.h"
#include "skin/frmloadskin.h"
#include "skin/mnemonics.h"
#include "skin/pushlabel.h"

#include <QAccessible>
#include <QCheckBox>
#include <QMessageBox>
#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace CommonKit;

namespace {

#define START(client) ASSERT_TRUE((client).start()) << (client).error().toStdString()

// The window that has the keys; a key goes to it as the window system delivers it.
QWidget* active()
{
    QApplication::processEvents();
    return QApplication::activeWindow();
}
void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = active();
    ASSERT_NE(w, nullptr) << "no window has the keys";
    QTest::keyClick(w->windowHandle(), k, mods);
    QApplication::processEvents();
}
void typeText(const QString& text)
{
    for (QChar c : text)
        QTest::keyClick(active()->windowHandle(), c.toLatin1());
}
void activate(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// A key held down: its press, then the window system's repeats (a release and a press each,
// both marked as repeats), then the release. Each goes to the window that has the keys at that
// moment, so a press that closes a window sends the rest on to the next one.
void hold(Qt::Key k, Qt::KeyboardModifiers mods, int repeats)
{
    ASSERT_NE(active(), nullptr) << "no window has the keys";
    const QString text = k == Qt::Key_Space ? QStringLiteral(" ")
                         : k == Qt::Key_Return ? QStringLiteral("\r")
                         : k == Qt::Key_Escape ? QStringLiteral("\x1b")
                         : k >= Qt::Key_A && k <= Qt::Key_Z ? QString(QChar(char('a' + (k - Qt::Key_A))))
                                                            : QString();
    const auto send = [&](bool press, bool repeat) {
        if (QWidget* w = active())
            QTest::simulateEvent(w->windowHandle(), press, k, mods, text, repeat, 1);
    };
    send(true, false);
    for (int i = 0; i < repeats; ++i) {
        send(false, true);
        send(true, true);
    }
    send(false, false);
    QApplication::processEvents();
}

// A key held down as a busy window reads it: the window system's repeats (a release and a press
// at one moment) come apart in the queue, so neither is marked as a repeat.
void holdUnmarked(Qt::Key k, int repeats)
{
    static ulong at = 1000000;
    at += 100000;
    const QString text = k == Qt::Key_Space ? QStringLiteral(" ")
                         : k == Qt::Key_Return ? QStringLiteral("\r")
                         : k >= Qt::Key_A && k <= Qt::Key_Z ? QString(QChar(char('a' + (k - Qt::Key_A))))
                                                            : QString();
    const auto send = [&](QEvent::Type type, ulong when) {
        QWidget* w = active() ? active()->focusWidget() : nullptr;
        if (!w)
            return;
        QKeyEvent e(type, k, Qt::NoModifier, text, false);
        e.setTimestamp(when);
        QApplication::sendEvent(w, &e);
        QApplication::processEvents();
    };
    send(QEvent::KeyPress, at);
    at += 500; // the window system's delay before it repeats
    for (int i = 0; i < repeats; ++i, at += 33) {
        send(QEvent::KeyRelease, at);
        send(QEvent::KeyPress, at);
    }
    send(QEvent::KeyRelease, at + 7);
}

QList<QByteArray> messages(const ChatClientLauncher& client, qsizetype skip = 0)
{
    QList<QByteArray> out;
    for (const auto& line : client.transcript())
        out << line.bytes;
    return out.mid(skip);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// One letter, several labels

class mnemonicCycle : public ShopTest {};

TEST_F(mnemonicCycle, ASharedLetterMovesTheFocusAndEnterPressesWhileALoneLetterPressesAtOnce)
{
    QWidget window;
    auto* scroll = new PushLabel("&scroll ascii", &window);
    auto* hidden = new PushLabel("&stop", &window);
    auto* set = new PushLabel("&set ascii", &window);
    auto* ok = new PushLabel("&Ok", &window);
    scroll->setGeometry(0, 0, 80, 20);
    set->setGeometry(0, 20, 80, 20);
    ok->setGeometry(0, 40, 80, 20);
    hidden->hide();
    ok->setFocus();
    QSignalSpy scrolls(scroll, &MouseLabel::clicked), sets(set, &MouseLabel::clicked), oks(ok, &MouseLabel::clicked);
    activate(&window);

    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), scroll);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), set) << "a hidden label is passed over";
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), scroll) << "round the end";
    EXPECT_EQ(scrolls.size() + sets.size(), 0) << "moving presses nothing";
    key(Qt::Key_Return);
    EXPECT_EQ(scrolls.size(), 1);
    key(Qt::Key_S, Qt::AltModifier);
    key(Qt::Key_Space);
    EXPECT_EQ(sets.size(), 1);

    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(oks.size(), 1) << "a letter of one label presses it";
    // A disabled label leaves its letter to the others: one left, it presses at once.
    set->setEnabled(false);
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(scrolls.size(), 2);
    EXPECT_EQ(Mnemonics::labelsWith(&window, u'S'), QList<MouseLabel*>{scroll}) << "either case";
}

// A ready shop, driven from the keys.
class keyboardShop : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        writeSettings();
        SetSetting("LOADED", "5"); // no welcome window takes the focus
    }
    // Every page in use with these texts, and the options panel open.
    ops& optionsPanel(frmmain& main, const Pages::Four& pages)
    {
        Forms::get<menu2>().checkAll();
        main.setPageTexts(pages);
        frmrect& rect = Forms::get<frmrect>();
        if (!rect.optionsOpen())
            rect.Label4->click();
        return Forms::get<ops>();
    }
    frmmain& ready()
    {
        frmmain& main = launch();
        QApplication::processEvents();
        main.Timer8->stop();
        activate(&main);
        return main;
    }
};

TEST_F(keyboardShop, TheKeysStartOnTheFirstPageInUseNotOnFiles)
{
    writeBytes("output/text2.gly", "kept\r\n");
    frmmain& main = launch();
    QApplication::processEvents();
    ASSERT_TRUE(Forms::get<menu2>().pageChecked(1)) << "a page file puts every page in use";
    EXPECT_EQ(QApplication::focusWidget(), main.Text1);
    typeText("ab");
    EXPECT_EQ(main.Text1->text(), "ab");
    EXPECT_EQ(main.Text2->text(), "kept");
}

TEST_F(keyboardShop, AltSTwiceThenEnterOnTheOptionsPanelScrollsTheArt)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = ready();
    ops& panel = optionsPanel(main, {"one", "", "three", ""});
    activate(&panel);
    const qsizetype before = client.transcript().size();
    clock.waits.clear();

    // The panel's keys start on "&scroll ascii"; "&set ascii" shares its letter.
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), panel.Label11) << "set ascii";
    key(Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), panel.Label1) << "scroll ascii";
    EXPECT_EQ(messages(client, before), QList<QByteArray>{}) << "moving sends nothing";
    key(Qt::Key_Return);
    EXPECT_EQ(messages(client, before), (QList<QByteArray>{"one", "three"}));
    EXPECT_EQ(clock.waits, (QList<double>{0.4, 0.4}));
    EXPECT_EQ(Forms::loaded<frmsetascii>(), nullptr) << "set ascii stays shut";
}

TEST_F(keyboardShop, UpDownAndEnterInTheFilesMenuRunOpenAscii)
{
    frmmain& main = ready();
    int asked = 0;
    prompts.whileAsking = [&] { ++asked; };
    key(Qt::Key_F, Qt::AltModifier);
    menu1& files = Forms::get<menu1>();
    ASSERT_TRUE(files.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), files.item("&new ascii")) << "the keys start on the first item";
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), files.item("&save ascii"));
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), files.item("&open ascii"));
    key(Qt::Key_Up);
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), files.item("&close")) << "Up from the first is the last";
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    EXPECT_FALSE(files.isVisible());
    EXPECT_EQ(asked, 1) << "open ascii asked for a file";
    EXPECT_TRUE(prompts.messages.isEmpty());
    EXPECT_TRUE(main.isVisible());
}

TEST_F(keyboardShop, APlainLetterInAMenuPressesItsItemOrMovesAmongThoseThatShareIt)
{
    frmmain& main = ready();
    key(Qt::Key_O, Qt::AltModifier);
    menu2& options = Forms::get<menu2>();
    ASSERT_TRUE(options.isVisible());
    // The keys start on "&text1"; T goes on from there, round the end.
    for (int n : {2, 3, 4, 1, 2}) {
        key(Qt::Key_T);
        EXPECT_EQ(QApplication::focusWidget(), options.item(QStringLiteral("&text%1").arg(n)));
    }
    const bool before = options.pageChecked(2);
    key(Qt::Key_Space);
    EXPECT_NE(options.pageChecked(2), before) << "text2 picked";
    EXPECT_FALSE(options.isVisible());

    // A letter of one item presses it: "&html fader".
    activate(&main);
    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_H);
    EXPECT_NE(Forms::loaded<frmfader>(), nullptr);
    EXPECT_FALSE(options.isVisible());
}

TEST_F(keyboardShop, EscClosesEveryPopupMenuAndGivesTheKeysBackToItsCaption)
{
    frmmain& main = ready();
    const std::pair<Qt::Key, PopupMenuForm*> menus[] = {{Qt::Key_F, &Forms::get<menu1>()},
                                                        {Qt::Key_O, &Forms::get<menu2>()},
                                                        {Qt::Key_E, &Forms::get<menu3>()},
                                                        {Qt::Key_H, &Forms::get<menu4>()}};
    const PushLabel* captions[] = {main.Label2, main.Label3, main.Label5, main.Label4};
    for (int i = 0; i < 4; ++i) {
        key(menus[i].first, Qt::AltModifier);
        ASSERT_TRUE(menus[i].second->isVisible()) << i;
        key(Qt::Key_Escape);
        EXPECT_FALSE(menus[i].second->isVisible()) << i;
        EXPECT_EQ(QApplication::focusWidget(), captions[i]) << i;
    }
    // The submenu, from its item by keys.
    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_O);
    menu5& other = Forms::get<menu5>();
    ASSERT_TRUE(other.isVisible());
    activate(&other);
    key(Qt::Key_Escape);
    EXPECT_FALSE(other.isVisible());

    // The window menu from the keys, on the title strip.
    activate(&main);
    key(Qt::Key_F10, Qt::ShiftModifier);
    menu7& window = Forms::get<menu7>();
    ASSERT_TRUE(window.isVisible()) << "Shift+F10 opens the window menu";
    key(Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    key(Qt::Key_Menu);
    EXPECT_TRUE(window.isVisible()) << "so does the Menu key";
    key(Qt::Key_Escape);

    // The macro shop's menus and its window menu.
    frmdraw& shop = Forms::get<frmdraw>();
    activate(&shop);
    const std::pair<PushLabel*, PopupMenuForm*> shopMenus[] = {
        {shop.Label2, &Forms::get<mnu1>()}, {shop.Label3, &Forms::get<mnu2>()}, {shop.Label4, &Forms::get<mnu3>()},
        {shop.Label5, &Forms::get<mnu4>()}, {shop.Label6, &Forms::get<mnu5>()}};
    for (const auto& [caption, menu] : shopMenus) {
        caption->setFocus();
        key(Qt::Key_Space);
        ASSERT_TRUE(menu->isVisible()) << menu->objectName().toStdString();
        key(Qt::Key_Escape);
        EXPECT_FALSE(menu->isVisible()) << menu->objectName().toStdString();
        EXPECT_EQ(QApplication::focusWidget(), caption);
    }
    key(Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_TRUE(Forms::get<mnu6>().isVisible());
    key(Qt::Key_Escape);
    EXPECT_FALSE(Forms::get<mnu6>().isVisible());
}

TEST_F(keyboardShop, EscClosesEveryDialogAndEnterPressesItsDefault)
{
    ready();
    const std::pair<const char*, std::function<void()>> helps[] = {
        {"help", Help::ShowHelp},       {"about", Help::ShowAbout},     {"credits", Help::ShowCredits},
        {"greets", Help::ShowGreets},   {"intro art", Help::ShowIntroArt}, {"beta testers", Help::ShowBetaTesters}};
    for (const auto& [name, show] : helps) {
        show();
        activate(Forms::loaded<frmhelp>());
        key(Qt::Key_Escape);
        EXPECT_EQ(Forms::loaded<frmhelp>(), nullptr) << name;
    }
    Help::ShowCredits();
    activate(Forms::loaded<frmhelp>());
    key(Qt::Key_Return);
    EXPECT_EQ(Forms::loaded<frmhelp>(), nullptr) << "Enter is its Ok";

    activate(&frmfader::Open());
    key(Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<frmfader>(), nullptr) << "fader";

    for (int which = 0; which < 2; ++which) {
        SkinnedForm* mail = which == 0 ? static_cast<SkinnedForm*>(&Forms::get<frmemail>())
                                       : static_cast<SkinnedForm*>(&Forms::get<frmbug>());
        activate(mail);
        key(Qt::Key_Escape);
        EXPECT_EQ(which == 0 ? static_cast<QWidget*>(Forms::loaded<frmemail>())
                             : static_cast<QWidget*>(Forms::loaded<frmbug>()),
                  nullptr)
            << which;
    }

    // The relay dialog: "p&ort" leads to its box and shares its letter with "&Ok".
    frmrelay& relay = Forms::get<frmrelay>();
    activate(&relay);
    relay.Text1->setFocus();
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), relay.Text2) << "port";
    key(Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), relay.Label3) << "Ok";
    key(Qt::Key_H, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), relay.Text1) << "a letter of one caption leads to its box";
    key(Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<frmrelay>(), nullptr) << "relay";

    frmdraw& shop = Forms::get<frmdraw>();
    activate(&shop);
    // "&Filters" shares its letter with "&Files": from "&Files", Alt+F reaches it.
    shop.Label2->setFocus();
    key(Qt::Key_F, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), shop.Label10);
    key(Qt::Key_Return);
    applyfilter* chooser = Forms::loaded<applyfilter>();
    ASSERT_NE(chooser, nullptr);
    activate(chooser);
    key(Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<applyfilter>(), nullptr) << "filter chooser";
}

TEST_F(keyboardShop, TheFaderDrivenByKeysAloneReachesTheThreeColourExampleInTheRoom)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = ready();
    Forms::get<menu2>().checkAll();
    main.clearPages();
    main.Text1->setFocus();
    typeText("abcd");
    ASSERT_EQ(main.Text1->text(), "abcd");

    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_H); // "&html fader"
    frmfader* f = Forms::loaded<frmfader>();
    ASSERT_NE(f, nullptr);
    activate(f);
    EXPECT_EQ(QApplication::focusWidget(), f->VScroll[0]) << "the keys start on the first bar";
    // red, green, blue: End is 255, Home is 0; Tab goes on to the next bar.
    const Qt::Key ends[9] = {Qt::Key_End,  Qt::Key_Home, Qt::Key_Home, Qt::Key_Home, Qt::Key_End,
                             Qt::Key_Home, Qt::Key_Home, Qt::Key_Home, Qt::Key_End};
    for (int i = 0; i < 9; ++i) {
        ASSERT_EQ(QApplication::focusWidget(), f->VScroll[i]) << i;
        key(ends[i]);
        key(Qt::Key_Tab);
    }
    EXPECT_EQ(f->colour(1), QColor(255, 0, 0));
    EXPECT_EQ(f->colour(2), QColor(0, 255, 0));
    EXPECT_EQ(f->colour(3), QColor(0, 0, 255));
    // Each bar shows its value on its swatch.
    EXPECT_EQ(f->ValueLabel[0]->text(), "255");
    EXPECT_EQ(f->ValueLabel[1]->text(), "0");
    EXPECT_EQ(f->ValueLabel[4]->text(), "255");
    // Arrows and Page keys step a bar, and back.
    f->VScroll[3]->setFocus();
    key(Qt::Key_Down);
    EXPECT_EQ(f->VScroll[3]->value(), 1);
    EXPECT_EQ(f->ValueLabel[3]->text(), "1");
    key(Qt::Key_PageDown);
    EXPECT_EQ(f->VScroll[3]->value(), 17);
    key(Qt::Key_PageUp);
    key(Qt::Key_Up);
    EXPECT_EQ(f->VScroll[3]->value(), 0);
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(f->VScroll[4]);
    ASSERT_NE(bar, nullptr);
    ASSERT_NE(bar->valueInterface(), nullptr);
    EXPECT_EQ(bar->valueInterface()->currentValue().toInt(), 255) << "a reader hears the value";

    key(Qt::Key_Return); // Ok
    EXPECT_EQ(main.Text1->text(), "<Font Color=#808000>a<Font Color=#00FF00>b<Font Color=#008080>c<Font Color=#0000FF>d");
    key(Qt::Key_Escape);
    EXPECT_EQ(Forms::loaded<frmfader>(), nullptr);

    activate(&main);
    const qsizetype before = client.transcript().size();
    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_S); // "&scroll"
    ASSERT_TRUE(TestHelpers::eventually([&] { return client.transcript().size() > before; }));
    EXPECT_EQ(messages(client, before),
              QList<QByteArray>{"<Font Color=#808000>a<Font Color=#00FF00>b<Font Color=#008080>c<Font Color=#0000FF>d"});
}

// ---------------------------------------------------------------------------------------------
// What a screen reader finds

namespace {

bool acting(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::Button: case QAccessible::MenuItem: case QAccessible::CheckBox:
    case QAccessible::RadioButton: case QAccessible::ComboBox: case QAccessible::ScrollBar:
    case QAccessible::Slider: case QAccessible::SpinBox: case QAccessible::EditableText:
    case QAccessible::List: case QAccessible::Tree: case QAccessible::PageTab:
        return true;
    default:
        return false;
    }
}
bool pressable(QAccessible::Role role)
{
    return role == QAccessible::Button || role == QAccessible::MenuItem || role == QAccessible::CheckBox ||
           role == QAccessible::RadioButton;
}
bool controlOnly(const QString& name)
{
    for (QChar c : name)
        if (c.category() != QChar::Other_Control && !c.isSpace())
            return false;
    return true;
}

// Every fault of the tree below node, one line each.
void walk(QAccessibleInterface* node, const QString& path, QStringList& faults, QStringList& names, int depth = 0)
{
    if (!node || !node->isValid() || depth > 12)
        return;
    const QString name = node->text(QAccessible::Name);
    names << name;
    const QString here = path + "/" + (name.isEmpty() ? QStringLiteral("(%1)").arg(int(node->role())) : name);
    for (QChar c : name)
        if (c.category() == QChar::Other_Control && c != u'\n' && c != u'\r' && c != u'\t') {
            faults << here + ": a control character in the name";
            break;
        }
    if (acting(node->role())) {
        if (name.trimmed().isEmpty() || controlOnly(name))
            faults << here + ": no name";
        if (pressable(node->role()) && (!node->actionInterface() || node->actionInterface()->actionNames().isEmpty()))
            faults << here + ": no action";
    }
    for (int i = 0; i < node->childCount(); ++i)
        walk(node->child(i), here, faults, names, depth + 1);
}

} // namespace

class accessibleTree : public keyboardShop {};

TEST_F(accessibleTree, EveryWindowNamesEveryActingControlAndGivesItAnAction)
{
    ready();
    Forms::get<frmrect>();
    Forms::get<ops>();
    Forms::get<frmchr>();
    Forms::get<frmasc>();
    Forms::get<frmhandle>();
    Forms::get<frmsetascii>();
    Forms::get<addascii>();
    for (auto* m : std::initializer_list<PopupMenuForm*>{&Forms::get<menu1>(), &Forms::get<menu2>(), &Forms::get<menu3>(),
                                                         &Forms::get<menu4>(), &Forms::get<menu5>(), &Forms::get<menu7>()})
        (void)m;
    Forms::get<frmdraw>();
    for (auto* m : std::initializer_list<PopupMenuForm*>{&Forms::get<mnu1>(), &Forms::get<mnu2>(), &Forms::get<mnu3>(),
                                                         &Forms::get<mnu4>(), &Forms::get<mnu5>(), &Forms::get<mnu6>(),
                                                         &Forms::get<mnu18>()})
        (void)m;
    frmfader::Open();
    Forms::get<frmemail>();
    Forms::get<frmbug>();
    Forms::get<frmrelay>();
    Forms::get<frmlink>();
    Forms::get<frmloadskin>();
    Help::ShowHelp();
    Forms::get<frmwelcome>();
    Forms::get<frmart>();

    QStringList faults, windowNames, names;
    for (QWidget* w : Forms::loadedWindows()) {
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(root, nullptr) << w->objectName().toStdString();
        const QString name = root->text(QAccessible::Name);
        if (name.isEmpty())
            faults << w->objectName() + ": the window has no name";
        else if (windowNames.contains(name, Qt::CaseInsensitive))
            faults << w->objectName() + ": another window has the name " + name;
        windowNames << name;
        walk(root, w->objectName(), faults, names);
    }
    EXPECT_GE(windowNames.size(), 30);
    // The walk reaches the entries of the character maps, told by their code.
    EXPECT_GE(names.count("character 127"), 2);
    EXPECT_GE(names.count("character 141"), 2);
    EXPECT_TRUE(faults.isEmpty()) << faults.join("\n").toStdString();
}

TEST_F(accessibleTree, TwoStateItemsTellTheirMarkAndHintsAreTheirItemsShortcut)
{
    frmmain& main = ready();
    menu2& options = Forms::get<menu2>();
    for (int n = 1; n <= 4; ++n)
        options.setPageChecked(n, n == 1);
    PushLabel* text2 = options.item("&text2");
    QAccessibleInterface* item = QAccessible::queryAccessibleInterface(text2);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->role(), QAccessible::MenuItem);
    EXPECT_EQ(item->text(QAccessible::Name), "text2");
    EXPECT_TRUE(item->state().checkable);
    EXPECT_FALSE(item->state().checked);

    activate(&main);
    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_T);
    key(Qt::Key_Return);
    EXPECT_TRUE(options.pageChecked(2));
    EXPECT_TRUE(item->state().checked) << "checked while its mark shows";
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(options.item("&text1"))->state().checked);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(options.item("&text3"))->state().checked);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(options.item("&load on startup"))->state().checkable);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(options.item("&gen ascii"))->state().checkable);

    // The marks and the hints are no items a reader presses; the hint is its item's shortcut.
    QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(&options);
    ASSERT_EQ(menu->childCount(), int(options.items().size()));
    for (int i = 0; i < menu->childCount(); ++i) {
        QAccessibleInterface* c = menu->child(i);
        EXPECT_EQ(c->role(), QAccessible::MenuItem);
        EXPECT_EQ(menu->indexOfChild(c), i);
        EXPECT_NE(c->text(QAccessible::Name), "a");
        EXPECT_FALSE(c->text(QAccessible::Name).contains("Ctrl")) << c->text(QAccessible::Name).toStdString();
    }
    QAccessibleInterface* gen = QAccessible::queryAccessibleInterface(options.Label8);
    EXPECT_EQ(gen->text(QAccessible::Accelerator), "Ctrl + B");
    EXPECT_EQ(gen->actionInterface()->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
              (QStringList{"Alt+G", "Ctrl+B"}));
}

// ---------------------------------------------------------------------------------------------
// A held key, a rolled-up window, a box that blocks

TEST_F(keyboardShop, AHeldKeyPressesOncePerKeyDownAsAButtonDoes)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = ready();
    ops& panel = optionsPanel(main, {"one", "", "three", ""});
    activate(&panel);
    panel.Label1->setFocus();
    qsizetype before = client.transcript().size();
    hold(Qt::Key_Space, Qt::NoModifier, 24);
    EXPECT_EQ(messages(client, before), (QList<QByteArray>{"one", "three"})) << "Space held on scroll ascii";
    before = client.transcript().size();
    hold(Qt::Key_Return, Qt::NoModifier, 24);
    EXPECT_EQ(messages(client, before), (QList<QByteArray>{"one", "three"})) << "Enter held on scroll ascii";

    // Alt+A, "&advertize": one banner for one key-down, however long it is held.
    before = client.transcript().size();
    hold(Qt::Key_A, Qt::AltModifier, 0);
    const qsizetype once = client.transcript().size() - before;
    ASSERT_GT(once, 0) << "Alt+A advertizes";
    before = client.transcript().size();
    hold(Qt::Key_A, Qt::AltModifier, 14);
    EXPECT_EQ(client.transcript().size() - before, once) << "Alt+A held";

    // A menu item under a held Enter: text2 picked once, not picked and taken back again.
    activate(&main);
    key(Qt::Key_O, Qt::AltModifier);
    menu2& options = Forms::get<menu2>();
    ASSERT_TRUE(options.isVisible());
    options.setAllChecked(false);
    for (int n = 1; n <= 4; ++n)
        options.setPageChecked(n, n == 1);
    key(Qt::Key_T);
    ASSERT_EQ(QApplication::focusWidget(), options.item("&text2"));
    hold(Qt::Key_Return, Qt::NoModifier, 3);
    EXPECT_TRUE(options.pageChecked(2)) << "four presses would leave it as it was";

    // The fader's Ok, the default button, under a held Enter.
    activate(&main);
    key(Qt::Key_O, Qt::AltModifier);
    key(Qt::Key_H);
    frmfader* f = Forms::loaded<frmfader>();
    ASSERT_NE(f, nullptr);
    activate(f);
    ASSERT_EQ(QApplication::focusWidget(), f->VScroll[0]);
    QSignalSpy oks(f->Label3, &MouseLabel::clicked);
    hold(Qt::Key_Return, Qt::NoModifier, 9);
    EXPECT_EQ(oks.size(), 1) << "page 1 faded once";
    // A held Esc cancels once; its repeats go on to whatever window has the keys next.
    QSignalSpy cancels(f->Label4, &MouseLabel::clicked);
    activate(f);
    hold(Qt::Key_Escape, Qt::NoModifier, 6);
    EXPECT_EQ(cancels.size(), 1);
    EXPECT_EQ(Forms::loaded<frmfader>(), nullptr);
}

TEST_F(keyboardShop, RolledUpThePagesTakeNeitherTheFocusNorTypedKeys)
{
    frmmain& main = ready();
    Forms::get<menu2>().checkAll();
    main.clearPages();
    main.Text1->setFocus();
    typeText("ab");
    ASSERT_EQ(main.Text1->text(), "ab");
    menu1& files = Forms::get<menu1>();
    key(Qt::Key_F, Qt::AltModifier);
    ASSERT_TRUE(files.isVisible());
    files.rollItem->setFocus();
    key(Qt::Key_Return);
    ASSERT_EQ(files.rollCaption(), "&roll down");
    activate(&main);
    EXPECT_EQ(QApplication::focusWidget(), main.Label2) << "the focus leaves the hidden page for Files";
    typeText("xy");
    for (int n = 1; n <= 4; ++n)
        EXPECT_EQ(main.page(n)->text(), n == 1 ? "ab" : "") << n;
    // Round the tab chain: never onto a page or the list.
    for (int i = 0; i < 12; ++i) {
        key(Qt::Key_Tab);
        QWidget* at = QApplication::focusWidget();
        ASSERT_NE(at, nullptr);
        EXPECT_TRUE(at->isVisible()) << i;
        EXPECT_NE(at, main.List1) << i;
        for (int n = 1; n <= 4; ++n)
            EXPECT_NE(at, main.page(n)) << i;
    }
    typeText("zz");
    EXPECT_EQ(main.Text1->text(), "ab");

    // Rolled down the pages take the keys again.
    activate(&main);
    key(Qt::Key_F, Qt::AltModifier);
    files.rollItem->setFocus();
    key(Qt::Key_Return);
    ASSERT_EQ(files.rollCaption(), "&roll up");
    EXPECT_TRUE(main.Text1->isVisible());
    EXPECT_TRUE(main.List1->isVisible());
    activate(&main);
    main.Text1->setFocus();
    main.Text1->end(false);
    typeText("c");
    EXPECT_EQ(main.Text1->text(), "abc");
}

TEST_F(keyboardShop, AReadersPressIsBlockedBehindAModalBoxAsAClickIs)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = ready();
    ops& panel = optionsPanel(main, {"one", "", "", ""});
    auto press = [](QWidget* w) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
        ASSERT_NE(a, nullptr);
        ASSERT_NE(a->actionInterface(), nullptr);
        a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QApplication::processEvents();
        QApplication::processEvents();
    };

    auto* box = new QMessageBox(QMessageBox::Warning, "GLY", "blocking");
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
    ASSERT_EQ(QApplication::activeModalWidget(), box);
    const qsizetype before = client.transcript().size();
    press(panel.Label1);
    EXPECT_EQ(messages(client, before), QList<QByteArray>{}) << "scroll ascii behind the box";
    press(main.Label3);
    EXPECT_FALSE(Forms::get<menu2>().isVisible()) << "Options behind the box";

    // A modal window's own labels, and those of the windows it owns, still press.
    QWidget modal;
    modal.setWindowModality(Qt::ApplicationModal);
    auto* own = new PushLabel("&yes", &modal);
    QWidget owned(&modal, Qt::Window);
    auto* inOwned = new PushLabel("&no", &owned);
    QSignalSpy owns(own, &MouseLabel::clicked), owneds(inOwned, &MouseLabel::clicked);
    modal.show();
    owned.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &modal);
    press(own);
    press(inOwned);
    EXPECT_EQ(owns.size(), 1);
    EXPECT_EQ(owneds.size(), 1);
    owned.hide();
    modal.hide();
    box->close();
    QApplication::processEvents();

    // With the box gone the same press sends.
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
    press(panel.Label1);
    EXPECT_EQ(messages(client, before), QList<QByteArray>{"one"});
}

namespace {
// Pixels of the colour on the outer edge of the control's picture.
int edgePixels(QWidget* w, const QColor& colour)
{
    const QImage image = w->grab().toImage();
    int n = 0;
    for (int x = 0; x < image.width(); ++x)
        n += (image.pixelColor(x, 0) == colour) + (image.pixelColor(x, image.height() - 1) == colour);
    for (int y = 1; y + 1 < image.height(); ++y)
        n += (image.pixelColor(0, y) == colour) + (image.pixelColor(image.width() - 1, y) == colour);
    return n;
}
}

TEST_F(keyboardShop, TheFadersBarsAndBoxesShowTheFocusInTheSkinsColour)
{
    ready();
    frmfader& f = frmfader::Open();
    activate(&f);
    ASSERT_EQ(QApplication::focusWidget(), f.VScroll[0]);
    const QColor skin = f.Label11->palette().color(QPalette::WindowText);
    const int focused = edgePixels(f.VScroll[0], skin);
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), f.VScroll[1]);
    const int left = edgePixels(f.VScroll[0], skin);
    EXPECT_GT(focused, left + f.VScroll[0]->height() / 2) << "a dotted frame on the focused bar";
    EXPECT_GT(edgePixels(f.VScroll[1], skin), left + f.VScroll[1]->height() / 2) << "the frame moves with the focus";

    // Tab on to the three-colour box.
    for (int i = 0; i < 20 && QApplication::focusWidget() != f.Check5; ++i)
        key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), f.Check5);
    const int boxFocused = edgePixels(f.Check5, skin);
    EXPECT_EQ(f.Check5->palette().color(QPalette::Highlight), skin) << "the box's own focus look in the skin's colour";
    key(Qt::Key_Tab);
    EXPECT_GT(boxFocused, edgePixels(f.Check5, skin) + f.Check5->height() / 2);
}

TEST_F(keyboardShop, TheShopOpensOnItsEditorAndAReaderHearsEmptySlotsAndPicturesByName)
{
    ready();
    ops& panel = Forms::get<ops>();
    activate(&panel);
    // "&macro shop" shares its letter with "&mail ascii": Alt+M moves to it, Enter presses it.
    key(Qt::Key_M, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), panel.Label3);
    key(Qt::Key_Return);
    frmdraw* shop = Forms::loaded<frmdraw>();
    ASSERT_NE(shop, nullptr);
    ASSERT_TRUE(shop->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), static_cast<QWidget*>(shop->Text1)) << "not the title bar's ?";

    mnu3& strings = Forms::get<mnu3>();
    QStringList entries = strings.slotStrings();
    entries[2] = "kept";
    strings.setSlotStrings(entries);
    for (int i = 0; i < 13; ++i) {
        const QString name = QAccessible::queryAccessibleInterface(strings.Label1[i])->text(QAccessible::Name);
        EXPECT_EQ(name, i == 2 ? QStringLiteral("kept") : QStringLiteral("string %1, empty").arg(i + 1)) << i;
    }

    // Every picture of these windows has a name.
    Help::ShowAbout();
    QStringList unnamed;
    auto pictures = [&](QWidget* w, const QString& where) {
        ASSERT_NE(w, nullptr) << where.toStdString();
        std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* node) {
            if (node->role() == QAccessible::Graphic && node->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << where;
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i));
        };
        walk(QAccessible::queryAccessibleInterface(w));
    };
    pictures(Forms::loaded<frmhelp>(), "about");
    Forms::unload<frmhelp>();
    Help::ShowCredits();
    pictures(Forms::loaded<frmhelp>(), "credits");
    pictures(&frmfader::Open(), "fader");
    pictures(&Forms::get<frmemail>(), "email");
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(", ").toStdString();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(Forms::get<frmfader>().Image1)->text(QAccessible::Name),
              "Ok button face");
}

TEST_F(keyboardShop, AHiddenStringListHasNoFocusedEntry)
{
    frmmain& main = ready();
    Forms::get<menu2>().checkAll();
    main.UpdatePageEnabling();
    ASSERT_TRUE(main.List1->isVisible());
    // The user clicks an entry: it becomes the list's current one.
    const QModelIndex current = main.List1->model()->index(3, 0);
    QTest::mouseClick(main.List1->viewport(), Qt::LeftButton, {}, main.List1->visualRect(current).center());
    ASSERT_EQ(main.List1->currentIndex(), current);
    auto focusedEntries = [&] {
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(main.List1);
        int n = 0;
        for (int i = 0; i < list->childCount(); ++i)
            n += list->child(i)->state().focused;
        return n;
    };
    ASSERT_EQ(focusedEntries(), 1);
    // No page in use hides the list.
    menu2& options = Forms::get<menu2>();
    options.setAllChecked(false);
    for (int n = 1; n <= 4; ++n)
        options.setPageChecked(n, false);
    main.UpdatePageEnabling();
    ASSERT_FALSE(main.List1->isVisible());
    EXPECT_EQ(focusedEntries(), 0);
    options.setPageChecked(1, true);
    main.UpdatePageEnabling();
    ASSERT_TRUE(main.List1->isVisible());
    EXPECT_EQ(main.List1->currentIndex(), current) << "shown again, its entry is current again";
}

// Repeats the window system sends while the shop is busy reach it unmarked: a held Space still
// scrolls once; a held Enter that opens a window does not go on to press that window's default;
// a held letter still types on in its page.
TEST_F(keyboardShop, AHeldKeyReadLateStillPressesOnceAndStaysInItsControl)
{
    ChatClientLauncher client;
    START(client);
    frmmain& main = ready();
    ops& panel = optionsPanel(main, {"one", "", "three", ""});
    activate(&panel);
    panel.Label1->setFocus();
    const qsizetype before = client.transcript().size();
    holdUnmarked(Qt::Key_Space, 20);
    EXPECT_EQ(messages(client, before), (QList<QByteArray>{"one", "three"})) << "Space held on scroll ascii";

    // Enter held on "&html fader": the fader opens, and page 1 is not faded by the repeats.
    activate(&main);
    key(Qt::Key_O, Qt::AltModifier);
    menu2& options = Forms::get<menu2>();
    ASSERT_TRUE(options.isVisible());
    options.item("&html fader")->setFocus();
    holdUnmarked(Qt::Key_Return, 12);
    frmfader* f = Forms::loaded<frmfader>();
    ASSERT_NE(f, nullptr) << "the held Enter opens the fader";
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(main.page(1)->text(), "one") << "the repeats pressed the fader's Ok";
    Forms::unload<frmfader>();

    // Typing goes on while the key is held.
    activate(&main);
    main.page(2)->setFocus();
    holdUnmarked(Qt::Key_X, 9);
    EXPECT_EQ(main.page(2)->text(), QString(10, QLatin1Char('x')));
}

// In a skin whose buttons have a border of the text's own colour, the focus frame still shows:
// its gaps are drawn in a colour far from the text.
TEST_F(keyboardShop, TheFocusFrameShowsOnAButtonBorderOfTheTextsColour)
{
    TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/signal"), path("skins/signal"));
    CommonKit::SetSetting("SKIN", path("skins/signal/"));
    ready();
    frmrect& rect = Forms::get<frmrect>();
    if (!rect.optionsOpen())
        rect.Label4->click();
    ops& panel = Forms::get<ops>();
    activate(&panel);
    QApplication::setActiveWindow(&panel);
    PushLabel* label = panel.Label1;
    const QColor text = label->palette().color(label->foregroundRole());
    const QColor gaps = qGray(text.rgb()) > 127 ? QColor(Qt::black) : QColor(Qt::white);
    panel.Label2->setFocus();
    const int unfocused = edgePixels(label, gaps);
    label->setFocus();
    ASSERT_TRUE(label->hasFocus());
    const int perimeter = 2 * (label->width() + label->height());
    EXPECT_GT(edgePixels(label, gaps), unfocused + perimeter / 4) << "the frame's gaps show on the border";
    EXPECT_GT(edgePixels(label, text), perimeter / 4) << "its dots are the skin's text colour";
}
