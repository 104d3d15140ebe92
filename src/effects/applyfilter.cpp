#include "applyfilter.h"

#include "chat/ops.h"
#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/frmrect.h"
#include "effects/filters32.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/pushlabel.h"

#include <QDir>
#include <QHeaderView>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTreeWidget>

namespace {
const QString kNoFilters = QStringLiteral("No Filters Found!");
// The title message boxes get when the design names none.
const QString kDefaultTitle = QStringLiteral("quorl");
constexpr int kFileRole = Qt::UserRole;
}

FilterTarget FilterTarget::forBox(QPlainTextEdit* box)
{
    QPointer<QPlainTextEdit> guard(box);
    return forBox([guard] { return guard.data(); });
}

FilterTarget FilterTarget::forBox(std::function<QPlainTextEdit*()> find)
{
    FilterTarget t;
    t.window = [find]() -> QWidget* {
        QPlainTextEdit* box = find();
        return box ? box->window() : nullptr;
    };
    // The macro's lines end in CR LF, as it is saved and sent; the box shows them as blocks.
    t.read = [find] {
        QPlainTextEdit* box = find();
        return box ? box->toPlainText().replace(u'\n', QStringLiteral("\r\n")) : QString();
    };
    t.write = [find](const QString& text) {
        QPlainTextEdit* guard = find();
        if (!guard)
            return;
        QString blocks = text;
        blocks.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        if (guard->toPlainText() == blocks)
            return;
        // One edit block: Ctrl+Z takes the whole filter back.
        QTextCursor c(guard->document());
        c.beginEditBlock();
        c.select(QTextCursor::Document);
        c.insertText(blocks);
        c.endEditBlock();
    };
    return t;
}

applyfilter::applyfilter()
{
    setObjectName("applyfilter");
    setAccessibleName("filters");
    setWindowTitle("filters");
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel("    &quorl ascii shop beta", this);
    Label1->setAccessibleName("quorl ascii shop beta");
    place(Label1, 120, 0, 5160, 300);
    attachTitleDrag(Label1);

    Filters = new QTreeWidget(this);
    Filters->setObjectName("Filters");
    Filters->setAccessibleName("Filter Name");
    Filters->setColumnCount(1);
    Filters->setHeaderLabels({"Filter Name"});
    Filters->setRootIsDecorated(false);
    Filters->setSelectionMode(QAbstractItemView::SingleSelection);
    Filters->setFrameShape(QFrame::NoFrame);
    place(Filters, 240, 420, 4920, 2400);
    Filters->setColumnWidth(0, Twips::toPixels(4920 - 300));

    Label3 = makeButton(Image1, "&Ok", 1080, 3060);
    Label4 = makeButton(Image3, "&Cancel", 3180, 3060);
    connect(Label3, &PushLabel::clicked, this, &applyfilter::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &applyfilter::Label4_Click);
    // The list applies its entry on Enter itself; a second press would filter twice.
    setDialogKeys(nullptr, Label4);
    // A double-click (or Enter) on an entry applies it, as "&Ok" does.
    connect(Filters, &QTreeWidget::itemActivated, this, [this] { Label3_Click(); });

    // The chooser has its own place: centred once, where it stays until dragged.
    CommonKit::CenterForm(this);
}

void applyfilter::Form_Load()
{
    ListFilters();
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image3};
    skin.title = Label1;
    skin.titleKey = "frmtitlebar";
    skin.textBoxes = {Filters};
    // The design names no caption colour here; the skin's button colour reads on its buttons.
    skin.buttons = {Label3, Label4};
    skin.centre = false;
    ApplyDialogSkin(skin);
}

applyfilter& applyfilter::Open(const FilterTarget& target)
{
    applyfilter& chooser = Forms::get<applyfilter>();
    chooser.setTarget(target);
    chooser.show();
    chooser.raise();
    chooser.activateWindow();
    chooser.Filters->setFocus();
    return chooser;
}

QString applyfilter::entryFile(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kFileRole).toString() : QString();
}

void applyfilter::ListFilters()
{
    // The folder and its names are read once, when the chooser loads.
    FileboxPath = ProgramFolder::file("Filters");
    Filebox = QDir(FileboxPath).entryList({"*.FLT"}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    Filters->clear();
    if (Filebox.isEmpty()) {
        new QTreeWidgetItem(Filters, {kNoFilters});
    } else {
        for (const QString& file : Filebox) {
            auto* item = new QTreeWidgetItem(Filters, {Filters32::ListedName(FileboxPath + "/" + file)});
            item->setData(0, kFileRole, file);
            item->setToolTip(0, file);
        }
        for (int i = Filters->topLevelItemCount() - 1; i >= 0; --i)
            if (Filters->topLevelItem(i)->text(0) == QLatin1String("  "))
                delete Filters->takeTopLevelItem(i);
    }
    if (Filters->topLevelItemCount() > 0)
        Filters->setCurrentItem(Filters->topLevelItem(0));
}

void applyfilter::Label3_Click()
{
    const QString file = entryFile(Filters->currentItem());
    QString r = QStringLiteral("BLANKFILE");
    QString why;
    if (file.isEmpty()) {
        // "No Filters Found!" or nothing chosen: no file to read.
    } else {
        r = Filters32::ApplyFilterFile(FileboxPath + "/" + file, target_, &why);
    }
    // The message would sit under the topmost windows.
    CommonKit::NotOnTop(this);
    if (QWidget* window = target_.window ? target_.window() : nullptr)
        CommonKit::NotOnTop(window);
    if (r == QLatin1String("NORULE")) {
        Prompts::messageBox(why, kDefaultTitle, Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    } else if (!r.isEmpty()) {
        QString text = QStringLiteral("An error occurred when applying the filter.");
        if (!why.isEmpty())
            text += "\n\n" + why;
        Prompts::messageBox(text, kDefaultTitle);
    } else {
        Prompts::messageBox(QStringLiteral("Filter applied successfully"), kDefaultTitle);
    }
    CommonKit::StayOnTop(this);
}

void applyfilter::Label4_Click()
{
    if (QWidget* window = target_.window ? target_.window() : nullptr)
        CommonKit::StayOnTop(window);
    if (auto* main = Forms::loaded<frmmain>())
        CommonKit::StayOnTop(main);
    if (auto* rect = Forms::loaded<frmrect>())
        CommonKit::StayOnTop(rect);
    if (auto* panel = Forms::loaded<ops>())
        CommonKit::StayOnTop(panel);
    Forms::unload<applyfilter>();
}
