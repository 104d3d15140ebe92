// The windows as a user sees them in every shipped skin: what a skin change repaints, captions
// that fit their menus, button texts that read on their pictures, cells and rows shown whole.
#include "support/helpers.h"
#include "support/shoptest.h"

#include "app/frmwelcome.h"
#include "chat/frmlink.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmasc.h"
#include "editor/frmchr.h"
#include "editor/frmhandle.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/pageedit.h"
#include "editor/menu1.h"
#include "editor/menu2.h"
#include "editor/menu3.h"
#include "editor/menu4.h"
#include "editor/menu5.h"
#include "editor/menu7.h"
#include "editor/mru.h"
#include "editor/mintotray.h"
#include "effects/applyfilter.h"
#include "effects/frmfader.h"
#include "help/frmhelp.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/macroshop.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "macroshop/mnu4.h"
#include "macroshop/mnu5.h"
#include "macroshop/mnu6.h"
#include "platform/twips.h"
#include "shell/systrayicon.h"
#include "skin/dirlist.h"
#include "skin/frmloadskin.h"
#include "skin/popupmenuform.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QScreen>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <iostream>

namespace {

const char* const kSkins[3] = {"default", "linen", "signal"};

void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center()); }

// A press on a caption label, as a user opens a menu.
void press(QWidget* w)
{
    QTest::mousePress(w, Qt::LeftButton, {}, w->rect().center());
    QTest::mouseRelease(w, Qt::LeftButton, {}, w->rect().center());
}

QString imageSum(const QImage& image)
{
    if (image.isNull())
        return "none";
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    return QCryptographicHash::hash(QByteArrayView(rgb.constBits(), rgb.sizeInBytes()), QCryptographicHash::Md5)
        .toHex()
        .left(12);
}

// Everything of a window that a skin gives it, one line per control: colours, font, pictures and
// places, and the window as drawn.
QStringList skinLook(QWidget* window)
{
    QStringList lines;
    QList<QWidget*> widgets{window};
    widgets += window->findChildren<QWidget*>();
    int n = 0;
    for (QWidget* w : widgets) {
        const QPalette& p = w->palette();
        QString line = QStringLiteral("%1 %2 %3").arg(n++).arg(w->metaObject()->className(), w->objectName());
        if (w != window)
            line += QStringLiteral(" at %1,%2 %3x%4").arg(w->x()).arg(w->y()).arg(w->width()).arg(w->height());
        else
            line += QStringLiteral(" %1x%2").arg(w->width()).arg(w->height());
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::Base,
                                         QPalette::Window, QPalette::Highlight})
            line += " " + p.color(role).name();
        line += " " + w->font().family();
        if (auto* label = qobject_cast<QLabel*>(w))
            line += " picture " + imageSum(label->pixmap().toImage());
        lines << line;
    }
    lines << "drawn " + imageSum(window->grab().toImage());
    return lines;
}

// The lines of two looks that differ, for the message.
std::string lookDifference(const QStringList& a, const QStringList& b)
{
    std::string out;
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
        const QString x = i < a.size() ? a[i] : "-", y = i < b.size() ? b[i] : "-";
        if (x != y)
            out += "\n  re-skinned: " + x.toStdString() + "\n  fresh:      " + y.toStdString();
    }
    return out;
}

double luminance(const QColor& c)
{
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The colour behind a label's text: the window drawn without the label, averaged over the middle
// of the label.
QColor behind(QWidget* window, QWidget* label)
{
    label->hide();
    const QImage drawn = window->grab().toImage();
    label->show();
    const QRect r = QRect(label->mapTo(window, QPoint(0, 0)), label->size())
                        .adjusted(2, label->height() / 4, -2, -label->height() / 4)
                        .intersected(drawn.rect());
    double red = 0, green = 0, blue = 0;
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = drawn.pixelColor(x, y);
            red += c.redF(), green += c.greenF(), blue += c.blueF();
            ++count;
        }
    if (count == 0)
        return QColor();
    return QColor::fromRgbF(float(red / count), float(green / count), float(blue / count));
}

} // namespace

class LookTest : public ShopTest {
protected:
    void SetUp() override
    {
        ShopTest::SetUp();
        for (const char* skin : {"linen", "signal"})
            TestHelpers::copyTree(QStringLiteral(QUORL_SOURCE_DIR "/data/skins/") + skin, path("skins/") + skin);
        writeSettings();
        CommonKit::SetSetting("LOADED", "5");
    }

    frmmain& main() { return Forms::get<frmmain>(); }

    // The main window with its indicator and options panel, as after start-up.
    frmmain& shown()
    {
        frmmain& m = main();
        m.show();
        m.Timer8->stop();
        m.moveTwips(1500, 1500);
        Forms::get<frmrect>().show();
        m.Dock();
        Forms::get<frmrect>().Label4_Click();
        QCoreApplication::processEvents();
        return m;
    }

    // The main window as the start-up shows it, painted from the stored skin.
    frmmain& started()
    {
        frmmain& m = launch();
        m.show();
        m.moveTwips(1500, 1500);
        m.Dock();
        QCoreApplication::processEvents();
        return m;
    }

    // "&load skin" in the Files menu, to skins/<name> by double clicks, "&Ok" and "Yes".
    void reskin(const QString& name)
    {
        press(main().Label2);
        click(Forms::get<menu1>().item("&load skin"));
        frmloadskin* dialog = Forms::loaded<frmloadskin>();
        ASSERT_TRUE(dialog && dialog->isVisible());
        TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
        TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/" + name));
        ASSERT_EQ(dialog->Dir1->path(), path("skins/" + name));
        prompts.answers = {Prompts::Answer::Yes};
        click(dialog->Label3);
        QCoreApplication::processEvents();
        ASSERT_EQ(Forms::loaded<frmloadskin>(), nullptr);
    }

    void useSkin(const QString& name) { CommonKit::SetSetting("SKIN", path("skins/" + name + "/")); }

    void unloadAll()
    {
        Forms::unloadAll();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static bool withKeys(QWidget* w)
    {
        w->activateWindow();
        return QTest::qWaitForWindowActive(w);
    }

    // The macro shop as the panel opens it, and the fader over it.
    frmdraw& openShop()
    {
        frmdraw& d = Forms::get<frmdraw>();
        d.show();
        return d;
    }
};

// ---- a skin change repaints whole ----

TEST_F(LookTest, MainWindowMacroShopAndFaderReskinnedWhileOpenLookAsLoadedFreshInTheSkin)
{
    for (const char* skin : {"linen", "signal", "default"}) {
        SCOPED_TRACE(skin);
        // Open in another skin first, so whatever a change leaves behind shows.
        useSkin(QString(skin) == "linen" ? "signal" : "linen");
        started();
        openShop();
        frmfader::Open();
        // The macro shop's menus were opened once in the old skin.
        press(Forms::get<frmdraw>().Label3);
        press(Forms::get<frmdraw>().Label3);
        reskin(skin);
        const QStringList mainAfter = skinLook(&main());
        const QStringList shopAfter = skinLook(&Forms::get<frmdraw>());
        // The fader with the keys both times: its focused bar wears the focus frame.
        ASSERT_TRUE(withKeys(&Forms::get<frmfader>()));
        const QStringList faderAfter = skinLook(&Forms::get<frmfader>());
        const QStringList optionsAfter = skinLook(&Forms::get<mnu2>());

        unloadAll();
        // Loaded fresh in the skin: the start-up paints the main window and its panels.
        started();
        openShop();
        frmfader::Open();
        const QStringList mainFresh = skinLook(&main());
        EXPECT_TRUE(mainAfter == mainFresh) << "main window" << lookDifference(mainAfter, mainFresh);
        const QStringList shopFresh = skinLook(&Forms::get<frmdraw>());
        EXPECT_TRUE(shopAfter == shopFresh) << "macro shop" << lookDifference(shopAfter, shopFresh);
        ASSERT_TRUE(withKeys(&Forms::get<frmfader>()));
        const QStringList faderFresh = skinLook(&Forms::get<frmfader>());
        EXPECT_TRUE(faderAfter == faderFresh) << "fader" << lookDifference(faderAfter, faderFresh);
        press(Forms::get<frmdraw>().Label3);
        press(Forms::get<frmdraw>().Label3);
        const QStringList optionsFresh = skinLook(&Forms::get<mnu2>());
        EXPECT_TRUE(optionsAfter == optionsFresh) << "Options menu" << lookDifference(optionsAfter, optionsFresh);
        unloadAll();
    }
}

TEST_F(LookTest, TheMacroShopCaptionsAndTheFaderLabelsTakeTheNewSkinsColours)
{
    shown();
    frmdraw& shop = openShop();
    frmfader& fader = frmfader::Open();
    reskin("linen");
    const QString s = path("skins/linen/");
    const QColor menubar = SkinFolder::Colour(s, "menubar");
    const QColor rest = SkinFolder::Colour(s, "restfontclr");
    ASSERT_NE(menubar, SkinFolder::Colour(path("skins/default/"), "menubar"));
    for (PushLabel* l : {shop.Label2, shop.Label3, shop.Label4, shop.Label5, shop.Label6, shop.Label10, shop.Label7})
        EXPECT_EQ(l->palette().color(QPalette::WindowText), menubar) << l->caption().toStdString();
    EXPECT_EQ(fader.Label11->palette().color(QPalette::WindowText), rest);
    for (MouseLabel* l : fader.PageLabel)
        EXPECT_EQ(l->palette().color(QPalette::WindowText), rest) << l->caption().toStdString();
}

// ---- every window and menu in every shipped skin ----

class EveryWindow : public LookTest {
protected:
    // Loads every window a user can open, with its menus opened by presses where a caption opens one.
    QList<QWidget*> loadAll()
    {
        shown();
        frmdraw& shop = openShop();
        shop.Text1->setPlainText("(\\/)  -|>  <|-  v^");
        for (PushLabel* caption : {main().Label2, main().Label3, main().Label4, main().Label5}) {
            press(caption);
            press(caption);
        }
        for (PushLabel* caption : {shop.Label2, shop.Label3, shop.Label4, shop.Label5, shop.Label6}) {
            press(caption);
            press(caption);
        }
        Forms::get<menu7>();
        Forms::get<mnu6>();
        Forms::get<mnu18>();
        Forms::get<frmasc>().show();
        Forms::get<frmchr>().show();
        frmfader::Open();
        applyfilter::Open(FilterTarget::forBox(shop.Text1));
        Forms::get<frmlink>().show();
        Forms::get<frmhelp>().showText("&greets", "x");
        Forms::get<frmwelcome>();
        QList<QWidget*> windows;
        for (QWidget* w : Forms::loadedWindows())
            if (qobject_cast<SkinnedForm*>(w))
                windows << w;
        return windows;
    }
};

TEST_F(EveryWindow, NoMenuCaptionIsWiderThanItsRowOrItsMenuInAnyShippedSkin)
{
    for (const char* skin : kSkins) {
        SCOPED_TRACE(skin);
        useSkin(skin);
        int menus = 0;
        for (QWidget* w : loadAll()) {
            auto* menu = qobject_cast<PopupMenuForm*>(w);
            if (!menu)
                continue;
            ++menus;
            for (PushLabel* item : menu->findChildren<PushLabel*>()) {
                if (item->caption().isEmpty() || !item->isVisibleTo(menu) || item->property("symbol").toBool())
                    continue;
                const QString plain = PushLabel::plainCaption(item->caption());
                const int text = item->fontMetrics().horizontalAdvance(plain);
                EXPECT_LE(text, item->width()) << menu->objectName().toStdString() << " \"" << plain.toStdString() << "\"";
                EXPECT_TRUE(menu->rect().contains(item->geometry()))
                    << menu->objectName().toStdString() << " \"" << plain.toStdString() << "\" runs out of its menu";
                EXPECT_FALSE(plain.startsWith(' ')) << menu->objectName().toStdString() << " \"" << plain.toStdString() << "\"";
            }
        }
        EXPECT_GE(menus, 12);
        unloadAll();
    }
}

TEST_F(EveryWindow, EveryButtonTextReadsOnItsPictureInAnyShippedSkin)
{
    for (const char* skin : kSkins) {
        SCOPED_TRACE(skin);
        useSkin(skin);
        int buttons = 0;
        for (QWidget* w : loadAll()) {
            for (PushLabel* label : w->findChildren<PushLabel*>()) {
                if (label->caption().isEmpty() || !label->isVisibleTo(w) || label->window() != w)
                    continue;
                // A glyph drawn over a larger copy of itself reads by the copy (the indicator's toggle).
                MouseLabel* shown = label;
                for (MouseLabel* copy : w->findChildren<MouseLabel*>())
                    if (copy != label && copy->testAttribute(Qt::WA_TransparentForMouseEvents)
                        && copy->caption() == label->caption() && copy->geometry().intersects(label->geometry()))
                        shown = copy;
                if (shown != label)
                    label->hide();
                const QColor back = behind(w, shown);
                label->show();
                const QColor text = shown->palette().color(QPalette::WindowText);
                const double ratio = contrast(text, back);
                EXPECT_GE(ratio, 3.0) << w->objectName().toStdString() << " \""
                                      << PushLabel::plainCaption(label->caption()).toStdString() << "\" "
                                      << text.name().toStdString() << " on " << back.name().toStdString();
                ++buttons;
            }
        }
        EXPECT_GE(buttons, 100);
        unloadAll();
    }
}

TEST_F(EveryWindow, EveryCharacterMapCellShowsItsEntryWhole)
{
    for (const char* skin : kSkins) {
        SCOPED_TRACE(skin);
        useSkin(skin);
        frmchr& map = Forms::get<frmchr>();
        map.show();
        StringList* list = map.List1;
        int checked = 0;
        for (const QString entry : {"(\\/)", "-|>", "<|-", "v^"}) {
            const auto found = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, entry, 1,
                                                    Qt::MatchExactly);
            ASSERT_FALSE(found.isEmpty()) << entry.toStdString();
            list->scrollTo(found.first());
            const QRect cell = list->visualRect(found.first());
            EXPECT_GE(cell.width(), list->fontMetrics().horizontalAdvance(entry) + 4) << entry.toStdString();
            EXPECT_GE(cell.height(), list->fontMetrics().height()) << entry.toStdString();
            ++checked;
        }
        EXPECT_EQ(checked, 4);
        unloadAll();
    }
}

// ---- a skin that lacks values ----

TEST_F(LookTest, ASkinWithoutSkinIniTakesTheDefaultSkinsColoursAndStaysLegible)
{
    TestHelpers::copyTree(path("skins/linen"), path("skins/bare"));
    QFile::remove(path("skins/bare/skin.ini"));
    TestHelpers::copyTree(path("skins/linen"), path("skins/half"));
    // Only the pages' colours, the rest missing or empty.
    writeBytes("skins/half/skin.ini", "[skin]\r\ntextbg=255\r\ntextfore=\r\n");
    const QString d = path("skins/default/");
    shown();
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Yes};
    press(main().Label2);
    click(Forms::get<menu1>().item("&load skin"));
    frmloadskin* dialog = Forms::loaded<frmloadskin>();
    ASSERT_NE(dialog, nullptr);
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/bare"));
    click(dialog->Label3);
    QCoreApplication::processEvents();
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_EQ(prompts.messages[0].title, "Missing ini");
    EXPECT_TRUE(prompts.messages[0].text.contains("no skin.ini")) << prompts.messages[0].text.toStdString();
    EXPECT_EQ(main().Label2->palette().color(QPalette::WindowText), SkinFolder::Colour(d, "menubar"));
    EXPECT_EQ(main().Text1->palette().color(QPalette::Base), SkinFolder::Colour(d, "textbg"));
    EXPECT_EQ(main().Text1->palette().color(QPalette::Text), SkinFolder::Colour(d, "textfore"));
    EXPECT_GE(contrast(main().Text1->palette().color(QPalette::Text), main().Text1->palette().color(QPalette::Base)), 3.0);

    reskin("half");
    EXPECT_EQ(main().Text1->palette().color(QPalette::Base), QColor(255, 0, 0)) << "a value the skin has is kept";
    EXPECT_EQ(main().Text1->palette().color(QPalette::Text), SkinFolder::Colour(d, "textfore"));
    EXPECT_EQ(main().Label2->palette().color(QPalette::WindowText), SkinFolder::Colour(d, "menubar"));
}

// ---- the macro shop's sizes ----

TEST_F(LookTest, NormalSizeAndMaximizePaintTheSkinAndRestoreBringsTheShopBack)
{
    shown();
    frmdraw& shop = openShop();
    const QImage picture(path("skins/default/frmdraw.bmp"));
    const QSize designed = shop.size();
    auto shownAt = [&](int x, int y) { return shop.grab().toImage().pixelColor(x, y); };
    // The frame and caption strip as the skin draws them, at the left and the right edge.
    EXPECT_EQ(shownAt(1, 1), picture.pixelColor(1, 1));
    EXPECT_EQ(shownAt(shop.width() - 2, 200), picture.pixelColor(picture.width() - 2, 200));

    press(shop.Label3);
    click(Forms::get<mnu2>().Label1[1]);
    ASSERT_TRUE(shop.isWide());
    EXPECT_EQ(shop.width(), picture.width());
    press(shop.Label3);
    click(Forms::get<mnu2>().Label1[1]);
    ASSERT_FALSE(shop.isWide());
    EXPECT_EQ(shop.size(), designed);
    EXPECT_EQ(shownAt(1, 1), picture.pixelColor(1, 1)) << "normal size keeps the skin";
    EXPECT_EQ(shownAt(shop.width() - 2, 200), picture.pixelColor(picture.width() - 2, 200));
    EXPECT_EQ(shownAt(300, 30), picture.pixelColor(300, 30)) << "the body beside the captions";

    // The window menu: a right press on the title.
    QTest::mousePress(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
    QTest::mouseRelease(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
    mnu6& window = Forms::get<mnu6>();
    ASSERT_TRUE(window.isVisible());
    const QPoint place = shop.pos();
    click(window.item("&maximize"));
    ASSERT_TRUE(shop.isFilling());
    const QRect screen = shop.screen()->availableGeometry();
    EXPECT_EQ(shop.geometry().right(), screen.right());
    EXPECT_EQ(shop.height(), screen.height());
    EXPECT_GT(shop.Text1->width(), shop.width() - 40) << "the editor grows with the window";
    EXPECT_GT(shop.Text1->height(), shop.height() - 60);
    EXPECT_LE(shop.Label7->geometry().right(), shop.width());
    EXPECT_EQ(shownAt(shop.width() - 2, shop.height() / 2), picture.pixelColor(picture.width() - 2, 200))
        << "the frame at the far edge";
    EXPECT_EQ(shownAt(shop.width() - 10, 5), picture.pixelColor(picture.width() - 10, 5)) << "the house mark";

    QTest::mousePress(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
    QTest::mouseRelease(shop.Label1, Qt::RightButton, {}, QPoint(20, 5));
    click(Forms::get<mnu6>().item("&restore"));
    EXPECT_FALSE(shop.isFilling());
    EXPECT_EQ(shop.size(), designed);
    EXPECT_EQ(shop.pos(), place);
    EXPECT_EQ(shop.Text1->width(), Twips::toPixels(4875));

    // A double-click on the title fills the screen and brings the shop back.
    QTest::mouseDClick(shop.Label1, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_TRUE(shop.isFilling());
    QTest::mouseDClick(shop.Label1, Qt::LeftButton, {}, QPoint(40, 5));
    EXPECT_FALSE(shop.isFilling());
    EXPECT_EQ(shop.size(), designed);
}

TEST_F(LookTest, SkinnedWindowsKeepAFixedSize)
{
    shown();
    frmdraw& shop = openShop();
    for (QWidget* w : QList<QWidget*>{&main(), &Forms::get<frmrect>(), Forms::loaded<ops>(), &shop,
                                      &frmfader::Open(), &Forms::get<menu1>()}) {
        SCOPED_TRACE(w->objectName().toStdString());
        // The smallest and the largest size a window manager is told are the size itself.
        EXPECT_EQ(w->minimumSize(), w->size());
        EXPECT_EQ(w->maximumSize(), w->size());
    }
    // The shop's own sizes still change it.
    press(shop.Label3);
    click(Forms::get<mnu2>().Label1[1]);
    EXPECT_EQ(shop.maximumWidth(), shop.width());
    EXPECT_GT(shop.width(), 400);
}

// ---- lists shown whole ----

TEST_F(LookTest, TheSkinFolderListShowsWholeRowsAndEveryShippedSkin)
{
    shown();
    press(main().Label2);
    click(Forms::get<menu1>().item("&load skin"));
    frmloadskin* dialog = Forms::loaded<frmloadskin>();
    ASSERT_NE(dialog, nullptr);
    DirList* list = dialog->Dir1;
    TestHelpers::doubleClickFolder(list, path("skins"));
    const int row = list->sizeHintForRow(0);
    ASSERT_GT(row, 0);
    EXPECT_EQ((list->viewport()->height()) % row, 0) << "no row is shown cut";
    for (const char* skin : kSkins) {
        const int r = TestHelpers::rowOf(list, path(QString("skins/") + skin));
        ASSERT_GE(r, 0) << skin;
        EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(r)))) << skin << " shown whole";
    }
    // A click on the last skin picks that skin.
    const int last = TestHelpers::rowOf(list, path("skins/signal"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(last)).center());
    EXPECT_EQ(list->selectedFolder(), path("skins/signal"));
}

TEST_F(LookTest, AFolderThatIsNoSkinSaysWhatItLacks)
{
    TestHelpers::copyTree(path("skins/default"), path("skins/partial"));
    QFile::remove(path("skins/partial/iface.bmp"));
    QFile::remove(path("skins/partial/skin.ini"));
    QDir().mkpath(path("skins/empty"));
    shown();
    press(main().Label2);
    click(Forms::get<menu1>().item("&load skin"));
    frmloadskin* dialog = Forms::loaded<frmloadskin>();
    ASSERT_NE(dialog, nullptr);
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/partial"));
    click(dialog->Label3);
    ASSERT_EQ(prompts.messages.size(), 1);
    const QString text = prompts.messages[0].text;
    EXPECT_EQ(prompts.messages[0].title, "Invalid path");
    EXPECT_TRUE(text.startsWith("This is an invalid skin path please choose another path...")) << text.toStdString();
    EXPECT_TRUE(text.contains("no iface.bmp, no skin.ini")) << text.toStdString();
    EXPECT_FALSE(text.contains("no top.bmp")) << text.toStdString();
    EXPECT_TRUE(text.contains("A skin folder holds")) << text.toStdString();

    // A folder of nothing is counted, not listed name by name.
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/empty"));
    click(dialog->Label3);
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.messages[1].text.contains("11 of the 11 pictures are missing, and no skin.ini"))
        << prompts.messages[1].text.toStdString();
}

TEST_F(LookTest, TheFilterChooserNamesEveryFilterOnOneRowWithLegibleButtons)
{
    writeBytes("Filters/a.FLT", "Vowels out:\r\na!>\r\n");
    writeBytes("Filters/b.FLT", "no colon at all\r\nx!>y\r\n");
    writeBytes("Filters/c.FLT", "first\r\nsecond\r\nthird: name\r\n");
    writeBytes("Filters/d.FLT", "   :\r\n");
    writeBytes("Filters/e.FLT", "  :\r\n");
    for (const char* skin : kSkins) {
        SCOPED_TRACE(skin);
        useSkin(skin);
        shown();
        frmdraw& shop = openShop();
        click(shop.Label10);
        applyfilter* chooser = Forms::loaded<applyfilter>();
        ASSERT_NE(chooser, nullptr);
        QStringList rows;
        for (int i = 0; i < chooser->Filters->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = chooser->Filters->topLevelItem(i);
            rows << item->text(0);
            EXPECT_LE(chooser->Filters->visualItemRect(item).height(), chooser->Filters->fontMetrics().height() + 8);
        }
        EXPECT_EQ(rows.join('|').toStdString(), "Vowels out|b.FLT|c.FLT|d.FLT");
        const QColor fore = SkinFolder::Colour(path(QString("skins/") + skin + "/"), "buttonfore");
        for (PushLabel* button : {chooser->Label3, chooser->Label4}) {
            EXPECT_EQ(button->palette().color(QPalette::WindowText), fore);
            EXPECT_GE(contrast(fore, behind(chooser, button)), 3.0) << button->caption().toStdString();
        }
        unloadAll();
    }
}

// ---- panels and the tray ----

TEST_F(LookTest, TheIndicatorOptionsPanelAndWelcomeAreToolWindowsOfTheMainWindow)
{
    frmmain& m = shown();
    frmwelcome& welcome = Forms::get<frmwelcome>();
    welcome.show();
    QCoreApplication::processEvents();
    for (QWidget* w : QList<QWidget*>{&Forms::get<frmrect>(), Forms::loaded<ops>(), &welcome}) {
        SCOPED_TRACE(w->objectName().toStdString());
        ASSERT_TRUE(w->isVisible());
        EXPECT_EQ(w->windowType(), Qt::Tool);
        EXPECT_TRUE(w->windowFlags().testFlag(Qt::FramelessWindowHint));
        ASSERT_NE(w->windowHandle(), nullptr);
        EXPECT_EQ(w->windowHandle()->transientParent(), m.windowHandle());
    }
    EXPECT_NE(m.windowType(), Qt::Tool) << "the main window keeps its task-bar entry";
}

TEST_F(LookTest, MinToTrayTakesTheTestersWindowAlongAndRestoreBringsItBack)
{
    shown();
    press(main().Label4);
    click(Forms::get<menu5>().item("&beta testers"));
    frmhelp* testers = Forms::loaded<frmhelp>();
    ASSERT_TRUE(testers && testers->isVisible());
    press(main().Label2);
    click(Forms::get<menu1>().item("&min to tray"));
    QCoreApplication::processEvents();
    // With a tray the shop hides there; without one it is minimized.
    const bool tray = systrayicon::TrayAvailable();
    EXPECT_TRUE(tray ? !main().isVisible() : main().isMinimized());
    EXPECT_FALSE(testers->isVisible()) << "the testers window went away with the shop";
    if (tray)
        MinToTray::Restore();
    else
        main().showNormal();
    QCoreApplication::processEvents();
    EXPECT_TRUE(testers->isVisible()) << "and comes back with it";
}

// ---- the macro shop beside the main window ----

TEST(ClearOfStack, TheShopAndItsMapGoWhereTheStackCoversNoneOfThem)
{
    const QRect screen(0, 0, 1280, 1024);
    const QRect stack(100, 100, 248, 276);
    // Already clear: stays.
    EXPECT_EQ(MacroShop::ClearOfStack(QRect(600, 100, 362, 400), 96, stack, screen), QPoint(600, 100));
    // The map overlaps although the shop does not: moved right of the stack, map included.
    EXPECT_EQ(MacroShop::ClearOfStack(QRect(400, 100, 362, 400), 96, stack, screen), QPoint(348 + 8 + 96, 100));
    // No room at the right: left of the stack.
    const QRect right(900, 100, 248, 276);
    EXPECT_EQ(MacroShop::ClearOfStack(QRect(800, 50, 362, 400), 96, right, screen), QPoint(900 - 8 - 362, 50));
    // A stack across the screen's width: below it, pulled onto the screen.
    const QRect wide(0, 0, 1280, 300);
    EXPECT_EQ(MacroShop::ClearOfStack(QRect(400, 100, 362, 400), 96, wide, screen), QPoint(400, 308));
    // Nowhere to go: stays.
    EXPECT_EQ(MacroShop::ClearOfStack(QRect(400, 100, 362, 400), 96, screen, screen), QPoint(400, 100));
}

TEST_F(LookTest, TheMacroShopOpensClearOfTheStackAndStaysClearWhenTheStackIsClicked)
{
    frmmain& m = shown();
    // The stack at the left edge, where a centred shop's map would run under it.
    const QRect screen = m.screen()->availableGeometry();
    m.move(screen.left() + 20, screen.top() + 40);
    m.Dock();
    QCoreApplication::processEvents();
    click(Forms::loaded<ops>()->Label3);
    frmdraw* shop = Forms::loaded<frmdraw>();
    ASSERT_TRUE(shop && shop->isVisible());
    frmasc* map = Forms::loaded<frmasc>();
    ASSERT_TRUE(map && map->isVisible());
    QRect stack;
    for (QWidget* w : QList<QWidget*>{&m, &Forms::get<frmrect>(), Forms::loaded<ops>()})
        stack = stack.united(w->frameGeometry());
    EXPECT_FALSE(shop->frameGeometry().intersects(stack)) << "the shop's title and captions are clear";
    EXPECT_FALSE(map->frameGeometry().intersects(stack));
    EXPECT_TRUE(screen.contains(shop->frameGeometry()));
    // A click on the main window raises the stack; the shop is where it was, still clear.
    const QPoint at = shop->pos();
    click(m.Label1);
    press(shop->Label3);
    EXPECT_EQ(shop->pos(), at);
    EXPECT_FALSE(shop->frameGeometry().intersects(stack));
}

// ---- the widened macro shop ----

TEST_F(LookTest, TheWidenedShopHasItsTitleButtonsAtTheRightEndAndItsEditorAcrossTheWidth)
{
    for (const char* skin : kSkins) {
        SCOPED_TRACE(skin);
        useSkin(skin);
        shown();
        frmdraw& shop = openShop();
        press(shop.Label3);
        click(Forms::get<mnu2>().Label1[1]);
        ASSERT_TRUE(shop.isWide());
        const QImage picture(path(QString("skins/") + skin + "/frmdraw.bmp"));
        ASSERT_EQ(shop.width(), picture.width());
        const int w = shop.width();
        // "?", "_" and "x" in this order at the right end, the title ending before them.
        EXPECT_GE(shop.Label7->geometry().right(), w - Twips::toPixels(240)) << "x at " << shop.Label7->x();
        EXPECT_LE(shop.Label7->geometry().right(), w - 1);
        EXPECT_LT(shop.Label9->geometry().right(), shop.Label7->x());
        EXPECT_LT(shop.Label8->geometry().right(), shop.Label9->x());
        EXPECT_GE(shop.Label8->x(), w - Twips::toPixels(1000)) << "? at " << shop.Label8->x();
        EXPECT_LE(shop.Label1->geometry().right(), shop.Label8->x());
        EXPECT_GE(shop.Label1->width(), w - Twips::toPixels(1000));
        // No empty band at the right of the editor: it ends at the frame.
        EXPECT_GE(shop.Text1->geometry().right(), w - Twips::toPixels(90));
        EXPECT_LE(shop.Text1->geometry().right(), w - 1);
        // And back at the normal size, the designed places.
        press(shop.Label3);
        click(Forms::get<mnu2>().Label1[1]);
        EXPECT_EQ(shop.Label7->x(), Twips::toPixels(5000));
        EXPECT_EQ(shop.Text1->width(), Twips::toPixels(4875));
        unloadAll();
    }
}

// ---- recent files in the Files menus ----

TEST_F(LookTest, ALongRecentFileWidensTheFilesMenuAndOnePastHalfTheScreenShowsElidedWithItsPathAsTooltip)
{
    const QString longer = path("ascii/the greets of the winter meeting.txt");
    const QString longest = path("ascii/") + QString("the art of the whole winter meeting, page by page, ").repeated(4)
                            + "and the end.txt";
    for (const QString& file : {longer, longest})
        writeBytes(QString(file).remove(0, path("").size()), "a\r\nb\r\nc\r\nd\r\n\r\n");
    shown();
    menu1& files = Forms::get<menu1>();
    const int designed = files.width();
    const int row = files.mru[0]->width();
    // Opened through "&open ascii", as a user does; the menu looked at as it opens next.
    auto openAscii = [&](const QString& file) {
        prompts.fileNames = {file};
        press(main().Label2);
        click(files.item("&open ascii"));
        QCoreApplication::processEvents();
        press(main().Label2);
        QCoreApplication::processEvents();
    };
    openAscii(longer);
    PushLabel* first = files.mru[0];
    const QString name = "the greets of the winter meeting.txt";
    ASSERT_EQ(first->caption(), name);
    const int text = first->fontMetrics().horizontalAdvance(name);
    ASSERT_GT(text, row) << "the name needs a wider menu";
    EXPECT_GT(files.width(), designed) << "the menu widened";
    EXPECT_GE(first->width(), text) << "the caption shows whole";
    EXPECT_EQ(first->text().contains(QStringLiteral("\u2026")), false);
    EXPECT_EQ(first->toolTip(), longer);
    EXPECT_EQ(first->accessibleDescription(), longer);
    EXPECT_TRUE(files.rect().contains(first->geometry()));
    EXPECT_EQ(files.bottom->geometry().right(), files.width() - 1) << "the bottom image runs the new width";

    openAscii(longest);
    first = files.mru[0];
    const QString whole = Mru::DisplayName(longest);
    ASSERT_EQ(first->caption(), whole);
    const int half = files.screen()->geometry().width() / 2;
    EXPECT_LE(files.width(), half + 1) << "the menu stops at half the screen";
    EXPECT_GT(files.width(), designed);
    // Elided in the middle: its start and its end show, "…" between them, within the row.
    const QString shown = QTextDocumentFragment::fromHtml(first->text()).toPlainText();
    EXPECT_TRUE(shown.contains(QStringLiteral("\u2026"))) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith("the art of")) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith("end.txt")) << shown.toStdString();
    EXPECT_LE(first->fontMetrics().horizontalAdvance(shown), first->width());
    EXPECT_EQ(first->toolTip(), longest);
    EXPECT_EQ(first->accessibleDescription(), longest);
    EXPECT_EQ(first->accessibleName(), whole) << "a reader hears the whole name";
    // The shorter one moved down shows whole.
    EXPECT_EQ(QTextDocumentFragment::fromHtml(files.mru[1]->text()).toPlainText(), name);
    // A click on the elided row opens its file.
    main().Text1->clear();
    click(files.mru[0]);
    EXPECT_EQ(main().Text1->text(), "a");

    // "&clear MRU" gives the menu its designed width back.
    press(main().Label2);
    click(files.item("&clear MRU"));
    press(main().Label2);
    EXPECT_EQ(files.width(), designed);
    EXPECT_TRUE(files.mru[0]->toolTip().isEmpty());
}

// ---- the skin loader ----

TEST_F(LookTest, TheSkinLoaderWritesTheFolderOnceAndKeepsTheDesignedTexts)
{
    TestHelpers::copyTree(path("skins/default"), path("skins/nopics"));
    QFile::remove(path("skins/nopics/top.bmp"));
    TestHelpers::copyTree(path("skins/default"), path("skins/noini"));
    QFile::remove(path("skins/noini/skin.ini"));
    shown();
    prompts.answers = {Prompts::Answer::Ok, Prompts::Answer::Ok, Prompts::Answer::No};
    press(main().Label2);
    click(Forms::get<menu1>().item("&load skin"));
    frmloadskin* dialog = Forms::loaded<frmloadskin>();
    ASSERT_NE(dialog, nullptr);
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/nopics"));
    click(dialog->Label3);
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins"));
    TestHelpers::doubleClickFolder(dialog->Dir1, path("skins/noini"));
    click(dialog->Label3);
    ASSERT_GE(prompts.messages.size(), 2);
    const QString invalid = prompts.messages[0].text, noIni = prompts.messages[1].text;
    EXPECT_TRUE(invalid.startsWith("This is an invalid skin path please choose another path...\n\n"))
        << invalid.toStdString();
    EXPECT_TRUE(noIni.startsWith("You are missing the skin ini in this path. This skin will still be loaded but it "
                                 "will not have any information... Text Colors and other can be set with the font "
                                 "properties on the options menu.\n\n"))
        << noIni.toStdString();
    for (const QString& text : {invalid, noIni}) {
        EXPECT_FALSE(text.contains("/:")) << text.toStdString();
        EXPECT_FALSE(text.contains("//")) << text.toStdString();
        EXPECT_TRUE(text.contains("skin.ini") && text.contains("optional")) << text.toStdString();
    }
    EXPECT_TRUE(invalid.contains(path("skins/nopics") + ": no top.bmp")) << invalid.toStdString();
    EXPECT_TRUE(noIni.contains(path("skins/noini") + ": no skin.ini")) << noIni.toStdString();
}

TEST_F(LookTest, AFilterChooserLeftOpenThroughLoadSkinListsTheFiltersAfresh)
{
    writeBytes("Filters/a.FLT", "Vowels out:\r\na!>\r\n");
    shown();
    frmdraw& shop = openShop();
    click(shop.Label10);
    applyfilter* chooser = Forms::loaded<applyfilter>();
    ASSERT_TRUE(chooser && chooser->isVisible());
    ASSERT_EQ(chooser->Filters->topLevelItemCount(), 1);
    // A filter added while the chooser stays open.
    writeBytes("Filters/b.FLT", "Dots in:\r\n.!>*\r\n");
    reskin("linen");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Forms::loaded<applyfilter>(), nullptr) << "load skin unloads the chooser";
    EXPECT_TRUE(shop.isVisible()) << "the macro shop comes back";
    click(shop.Label10);
    chooser = Forms::loaded<applyfilter>();
    ASSERT_TRUE(chooser && chooser->isVisible());
    QStringList rows;
    for (int i = 0; i < chooser->Filters->topLevelItemCount(); ++i)
        rows << chooser->Filters->topLevelItem(i)->text(0);
    EXPECT_EQ(rows.join('|').toStdString(), "Vowels out|Dots in");
    EXPECT_EQ(chooser->Label3->palette().color(QPalette::WindowText),
              SkinFolder::Colour(path("skins/linen/"), "buttonfore"))
        << "painted from the new skin";
}
