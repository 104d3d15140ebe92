#include "macroshop.h"

#include "chat/banners.h"
#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmasc.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "editor/mru.h"
#include "macroshop/frmdraw.h"
#include "macroshop/macroedit.h"
#include "macroshop/macrofiles.h"
#include "macroshop/mnu1.h"
#include "macroshop/mnu18.h"
#include "macroshop/mnu2.h"
#include "macroshop/mnu3.h"
#include "macroshop/scrolllines.h"
#include "macroshop/storedstrings.h"
#include "platform/printer.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "platform/userstore.h"
#include "skin/pushlabel.h"

#include <QFileInfo>
#include <QScreen>

#include <algorithm>

namespace MacroShop {

namespace {
const QString kFilter = QStringLiteral("Macro files (*.mcr);;All files (*)");
const QString kAppTitle = QStringLiteral("quorl ascii shop");

frmdraw& draw() { return Forms::get<frmdraw>(); }

void addRecent(const QString& path)
{
    const Mru::List list = Mru::Update("MRU", path, Mru::Naming::NumberLast);
    if (auto* files = Forms::loaded<mnu1>())
        files->ShowMru(list);
}

// Reads a macro file; says what went wrong when it cannot.
bool readMacro(const QString& path, QString* text)
{
    QString error;
    if (MacroFiles::Read(path, text, &error))
        return true;
    Prompts::messageBox("Could not open " + path + ":\n" + error, "macro shop", Prompts::Buttons::Ok,
                        Prompts::Icon::Exclamation);
    return false;
}
}

QPoint ClearOfStack(const QRect& shop, int map, const QRect& stack, const QRect& screen)
{
    const QRect whole = shop.adjusted(-map, 0, 0, 0);
    if (stack.isEmpty() || !whole.intersects(stack))
        return shop.topLeft();
    constexpr int kGap = 8;
    const auto within = [&](int v, int low, int high) { return std::max(low, std::min(v, high)); };
    const int y = within(whole.y(), screen.top(), screen.bottom() + 1 - whole.height());
    const int x = within(whole.x(), screen.left(), screen.right() + 1 - whole.width());
    const QPoint candidates[4] = {{stack.right() + 1 + kGap, y},
                                  {stack.left() - kGap - whole.width(), y},
                                  {x, stack.bottom() + 1 + kGap},
                                  {x, stack.top() - kGap - whole.height()}};
    for (const QPoint& at : candidates) {
        const QRect place(at, whole.size());
        if (screen.contains(place) && !place.intersects(stack))
            return at + QPoint(map, 0);
    }
    return shop.topLeft();
}

namespace {
// The main window and its docked panels as they show.
QRect stackRect()
{
    QRect stack;
    for (QWidget* w : QList<QWidget*>{Forms::loaded<frmmain>(), Forms::loaded<frmrect>(), Forms::loaded<ops>()})
        if (w && w->isVisible() && !w->isMinimized())
            stack = stack.united(w->frameGeometry());
    return stack;
}

// Moves the shop where the stack covers neither it nor its docked map.
void placeClear(frmdraw& d)
{
    if (!d.screen())
        return;
    const int map = Twips::toPixels(Forms::get<frmasc>().Width());
    const QPoint at = ClearOfStack(d.geometry(), map, stackRect(), d.screen()->availableGeometry());
    if (at != d.pos())
        d.moveTwips(Twips::fromPixels(at.x()), Twips::fromPixels(at.y()));
}
}

void Show()
{
    frmdraw& d = draw();
    const bool opening = !d.isVisible();
    if (opening)
        placeClear(d);
    d.ShowAgain();
    // The map first: shown, it takes the keys, and they belong to the shop.
    frmasc& map = Forms::get<frmasc>();
    map.DockBeside(d);
    map.show();
    d.activateWindow();
    // The keys start in the macro editor, not on the first title-bar button.
    if (opening)
        d.Text1->setFocus(Qt::OtherFocusReason);
}

void SetWide(bool wide)
{
    frmdraw& d = draw();
    const int map = Twips::toPixels(Forms::get<frmasc>().Width());
    const QRect stack = stackRect();
    const bool clear = d.isVisible() && !d.geometry().adjusted(-map, 0, 0, 0).intersects(stack);
    d.SetWide(wide);
    if (clear)
        placeClear(d);
}

void OpenFromPanel()
{
    Banners::Send(Banners::Occasion::MacroShopLoad);
    Show();
}

void OpenFromMenu()
{
    Show();
    Banners::Send(Banners::Occasion::MacroShopLoad);
}

void Close()
{
    frmdraw* d = Forms::loaded<frmdraw>();
    if (!d || !d->isVisible() || !MayDiscard())
        return;
    frmmain& main = Forms::get<frmmain>();
    frmrect& rect = Forms::get<frmrect>();
    d->hide();
    if (auto* map = Forms::loaded<frmasc>())
        map->hide();
    main.hide();
    rect.hide();
    if (auto* o = Forms::loaded<ops>())
        o->hide();
    main.show();
    rect.show();
    if (rect.optionsOpen())
        Forms::get<ops>().show();
    // The banner ends with its own 0.1 s pause.
    Banners::Send(Banners::Occasion::MacroShopUnload);
    Unload();
}

void Unload()
{
    Forms::unload<frmasc>();
    Forms::unload<mnu18>();
    Forms::unload<mnu2>();
    Forms::unload<frmdraw>();
}

namespace {
// A title that names a file handed over at start no longer tells the truth once another file
// (or none) is current.
void forgetTitleFile()
{
    frmdraw& d = draw();
    if (d.Label1->caption() != frmdraw::kTitle)
        d.Label1->setCaption(frmdraw::kTitle);
}
}

void Exit()
{
    if (MayDiscard())
        Unload();
}

bool MayDiscard()
{
    frmdraw* d = Forms::loaded<frmdraw>();
    if (!d || !d->Text1->isModified())
        return true;
    const QString where = d->Text1->Tag.isEmpty() ? QStringLiteral("It was never saved.")
                                                  : "It differs from " + d->Text1->Tag + ".";
    switch (Prompts::messageBox("save the macro?\n" + where, "macro shop", Prompts::Buttons::YesNoCancel,
                                Prompts::Icon::Question)) {
    case Prompts::Answer::No: return true;
    case Prompts::Answer::Yes: return SaveMacro();
    default: return false;
    }
}

void OpenMacro()
{
    if (!MayDiscard())
        return;
    const QString name = Prompts::openFileName(kFilter);
    if (name.isEmpty())
        return;
    QString text;
    if (!readMacro(name, &text))
        return;
    addRecent(name);
    forgetTitleFile();
    draw().Text1->Tag = name;
    draw().Text1->setText(text);
    draw().Text1->markSaved();
}

namespace {
// A name typed without a suffix gets ".mcr", or the open dialog's filter would hide the file.
QString SavedName(const QString& typed) { return CommonKit::SaveTarget(typed, "mcr", "macro shop"); }
}

bool SaveMacro()
{
    MacroEdit* editor = draw().Text1;
    if (editor->BuiltinOverFile && !editor->Tag.isEmpty()) {
        // The file is the user's; the editor shows a built-in macro loaded after it.
        const auto answer = Prompts::messageBox(
            "The macro shown is a built-in macro, not the one of " + editor->Tag + ".\nReplace " + editor->Tag
                + " with it? Press 'No' to save it under another name.",
            "macro shop", Prompts::Buttons::YesNoCancel, Prompts::Icon::Question);
        if (answer == Prompts::Answer::Cancel)
            return false;
        if (answer == Prompts::Answer::No) {
            const QString name = SavedName(Prompts::saveFileName(kFilter));
            if (name.isEmpty())
                return false;
            editor->Tag = name;
            addRecent(name);
        }
    }
    if (editor->Tag.isEmpty()) {
        editor->Tag = SavedName(Prompts::saveFileName(kFilter));
        if (!editor->Tag.isEmpty())
            addRecent(editor->Tag);
    }
    if (editor->Tag.isEmpty())
        return false;
    QString error;
    if (!MacroFiles::Save(editor->text(), editor->Tag, &error)) {
        Prompts::messageBox("Could not save the macro in " + editor->Tag + ":\n" + error
                                + "\nThe macro is still in the editor.",
                            "macro shop", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    editor->markSaved();
    return true;
}

void NewMacro()
{
    if (!MayDiscard())
        return;
    forgetTitleFile();
    draw().Text1->clear();
    draw().Text1->Tag.clear();
    draw().Text1->markSaved();
}

void OpenRecent(const QString& path)
{
    if (path.isEmpty() || !MayDiscard())
        return;
    QString text;
    if (!readMacro(path, &text))
        return;
    forgetTitleFile();
    draw().Text1->setText(text);
    draw().Text1->Tag = path;
    draw().Text1->markSaved();
}

void LoadBuiltin(const QString& caption)
{
    const QString path = MacroFiles::BuiltinPath(caption);
    if (!CommonKit::FileExists(path) || !MayDiscard())
        return;
    QString text, error;
    if (!MacroFiles::Read(path, &text, &error))
        return;
    MacroEdit* editor = draw().Text1;
    editor->setText(text);
    // Without a current file a shipped macro is nothing to keep; over a file it is a change.
    if (editor->Tag.isEmpty())
        editor->markSaved();
    else
        editor->BuiltinOverFile = true;
}

QString PrintFooter(int copy, const QString& copiesTyped)
{
    return QStringLiteral("Quorl Ascii Shop 1.1 - the quorl crew and nightjar      |       Page ") + QString::number(copy)
           + " of " + copiesTyped;
}

bool WholeNumber(const QString& text, int min, int max, int* value)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < min || n > max)
        return false;
    *value = n;
    return true;
}

namespace {
// A message fits on the screen: past a few copies, the folder, the first names and a count.
QString PdfList(const QStringList& pdfs, const QString& head)
{
    constexpr int kShown = 5;
    if (pdfs.size() <= kShown)
        return head + ":\n" + pdfs.join('\n');
    QStringList names;
    for (int i = 0; i < kShown; ++i)
        names << QFileInfo(pdfs[i]).fileName();
    return head + " in " + QFileInfo(pdfs.constFirst()).absolutePath() + ":\n" + names.join('\n') + "\nand "
           + QString::number(pdfs.size() - kShown) + " more.";
}
}

void Print()
{
    frmdraw& d = draw();
    d.hide();
    if (auto* map = Forms::loaded<frmasc>())
        map->hide();
    const QString copies =
        Prompts::inputBox("Please enter the amount of copies you would like to print.", "Print", "1");
    const QString size =
        Prompts::inputBox("Please enter the Font Size you would like to print your macro on.", "Print", "12");
    d.ShowAgain();
    if (copies.isEmpty() || size.isEmpty())
        return;
    int count = 0, points = 0;
    if (!WholeNumber(copies, 1, 99, &count)) {
        Prompts::messageBox("The number of copies must be a whole number from 1 to 99.", "Print",
                            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    if (!WholeNumber(size, 1, 400, &points)) {
        Prompts::messageBox("The font size must be a whole number from 1 to 400.", "Print", Prompts::Buttons::Ok,
                            Prompts::Icon::Exclamation);
        return;
    }
    const QString text = d.Text1->text();
    QStringList pdfs;
    for (int i = 1; i <= count; ++i) {
        QString error;
        const bool printed =
            Printer::print({text + "\r\n\r\n\r\n" + PrintFooter(i, copies), "Arial", double(points)}, &error);
        if (printed && !Printer::current().lastPdf().isEmpty())
            pdfs << Printer::current().lastPdf();
        if (!printed) {
            QString message = "Copy " + QString::number(i) + " could not be printed:\n" + error;
            if (!pdfs.isEmpty())
                message += "\n\n" + PdfList(pdfs, "The copies before it went to the PDF files");
            Prompts::messageBox(message, "Print", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            return;
        }
    }
    // Without a printer the copies are files the user has to find.
    if (!pdfs.isEmpty())
        Prompts::messageBox(pdfs.size() == 1
                                ? "There is no printer, so the macro went to the PDF file:\n" + pdfs.constFirst()
                                : PdfList(pdfs, "There is no printer, so the copies went to the PDF files"),
                            "Print", Prompts::Buttons::Ok, Prompts::Icon::Information);
}

void NewString()
{
    if (auto* options = Forms::loaded<mnu2>())
        options->hide();
    draw().hide();
    if (auto* map = Forms::loaded<frmasc>())
        map->hide();
    mnu3& strings = Forms::get<mnu3>();
    QStringList entries = strings.slotStrings();
    int slot = StoredStrings::FreeSlot(entries);
    if (slot < 0) {
        const auto answer =
            Prompts::messageBox("All String positions are fulfilled.  Would you like to replace a current string?",
                                kAppTitle, Prompts::Buttons::YesNo, Prompts::Icon::Information);
        if (answer == Prompts::Answer::Yes) {
            const QString number = Prompts::inputBox("Please enter the number of the string to replace:", "GLY", "1");
            int n = 0;
            if (!number.isEmpty()) {
                if (WholeNumber(number, 1, StoredStrings::kSlots, &n))
                    slot = n - 1;
                else
                    Prompts::messageBox("Please enter a whole number from 1 (F1) to 13 (Esc).", "GLY",
                                        Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
            }
        }
    }
    if (slot >= 0) {
        entries[slot] = Prompts::inputBox("Enter the string:", "GLY", QString());
        strings.setSlotStrings(entries);
        if (!StoredStrings::Save(entries))
            UserStore::TellFailure("GLY", "The stored strings");
    }
    if (auto* options = Forms::loaded<mnu2>())
        options->hide();
    draw().ShowAgain();
}

void Scroll(bool overhead)
{
    // The banner and the lines are one operation: a client given up over the banner is not
    // waited on again for every line, and the scroll says so.
    ChatBus::Operation whole(CommonKit::ScrollOperationSeconds);
    Banners::Send(Banners::Occasion::Incoming);
    CommonKit::Pause(overhead ? 0.6 : 3);
    // Closed during the pause: there is nothing left to send.
    frmdraw* d = Forms::loaded<frmdraw>();
    if (!d)
        return;
    const CommonKit::ScrollEnd end = overhead ? CommonKit::ScrollLines(d->Text1->text(), 0.2, 0.02, 14)
                                              : CommonKit::ScrollLines(d->Text1->text(), 3.4, 0.07, 4);
    if (const QString told = CommonKit::ScrollEndSentence(end); !told.isEmpty())
        Prompts::messageBox(told, "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    if ((d = Forms::loaded<frmdraw>()))
        d->ShowAgain();
}

bool IsMacroFile(const QString& path) { return QFileInfo(path).suffix().compare("mcr", Qt::CaseInsensitive) == 0; }

void OpenCommandLine(const QString& commandLine, const QString& content)
{
    // A file handed over by a second launch does not replace a macro that is not kept.
    if (!MayDiscard())
        return;
    // The file becomes the current file, as the other ways of opening a macro make it.
    const QString path = QFileInfo(commandLine).absoluteFilePath();
    Show();
    frmdraw& d = draw();
    d.Label1->setCaption(frmdraw::kTitle + " [" + commandLine + "]");
    d.Text1->setText(content);
    d.Text1->Tag = path;
    d.Text1->markSaved();
    addRecent(path);
    if (auto* o = Forms::loaded<ops>())
        CommonKit::StayOnTop(o);
    CommonKit::StayOnTop(&Forms::get<frmrect>());
    CommonKit::StayOnTop(&Forms::get<frmmain>());
}

void ShowChatList()
{
    if (!MayDiscard())
        return;
    frmdraw& d = draw();
    d.ShowAgain();
    d.Text1->setText(CommonKit::ReadFileText(ProgramFolder::file("output/chat.txt")));
    d.Text1->markSaved();
}

} // namespace MacroShop
