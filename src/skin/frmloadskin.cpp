#include "frmloadskin.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "core/lifecycle.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/dirlist.h"
#include "skin/pushlabel.h"
#include "skin/reskin.h"
#include "skin/skinfolder.h"

#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QStandardPaths>

namespace {
// The windows that stepped aside while the dialog is up.
Reskin::Shown& stepAside()
{
    static Reskin::Shown windows;
    return windows;
}

// Five rows: the parent, the skins folder and three skins show whole.
constexpr int kListHeight = 1530;

void progress(const QString& status)
{
    if (const auto& p = Reskin::hooks().progress)
        p(status);
}
}

frmloadskin::frmloadskin()
{
    setObjectName("frmloadskin");
    setAccessibleName("load new skin");
    setWindowTitle("load new skin");
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel(" &load new skin", this);
    Label1->setAccessibleName("load new skin");
    place(Label1, 120, 0, 4800, 240);
    attachTitleDrag(Label1);

    Dir1 = new DirList(this);
    Dir1->setAccessibleName("skin folder");
    place(Dir1, 360, 420, 4680, kListHeight);
    Label1->setBuddy(Dir1);

    Label5 = new QLabel(this);
    Label5->setTextFormat(Qt::PlainText);
    Label5->setAccessibleName("folder");
    place(Label5, 360, 1980, 4680, 270);

    Label6 = new QLabel("Double-click a folder to open it. Ok loads the folder picked in the list.", this);
    Label6->setTextFormat(Qt::PlainText);
    Label6->setWordWrap(true);
    place(Label6, 360, 2280, 4680, 480);

    Label2 = makeButton(Image2, "&Desktop", 360, 2850);
    Label3 = makeButton(Image1, "&Ok", 2130, 2850);
    Label4 = makeButton(Image3, "&Cancel", 3900, 2850);
    connect(Label2, &PushLabel::clicked, this, &frmloadskin::Label2_Click);
    connect(Label3, &PushLabel::clicked, this, &frmloadskin::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmloadskin::Label4_Click);
    connect(Dir1, &DirList::currentRowChanged, this, &frmloadskin::showPath);
}

void frmloadskin::Form_Load()
{
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image2, Image3};
    skin.title = Label1;
    skin.titleKey = "frm2titlebar";
    skin.statics = {Label5, Label6};
    skin.textBoxes = {Dir1};
    skin.buttons = {Label2, Label3, Label4};
    ApplyDialogSkin(skin);
    setFontFace(Dir1, SkinFolder::Value(SkinFolder::ResolveSkinFolder(), "mnufont"));
    // A folder that is not there leaves the list where it was.
    Dir1->setPath(ProgramFolder::path());
    Dir1->setPath(ProgramFolder::file("skins"));
    Dir1->setPath(SkinFolder::ResolveSkinFolder());
    Dir1->showWholeRows(Twips::toPixels(kListHeight));
    showPath();
}

void frmloadskin::ApplySkin()
{
    SkinnedForm::ApplySkin();
    setFontFace(Dir1, SkinFolder::Value(SkinFolder::ResolveSkinFolder(), "mnufont"));
    // Another face, another row height.
    Dir1->showWholeRows(Twips::toPixels(kListHeight));
}

void frmloadskin::Open()
{
    if (auto* shown = Forms::loaded<frmloadskin>(); shown && shown->isVisible()) {
        shown->raise();
        return;
    }
    stepAside() = Reskin::HideWindows();
    frmloadskin& dialog = Forms::get<frmloadskin>();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    dialog.Dir1->setFocus();
}

void frmloadskin::showPath()
{
    const QString folder = QDir::toNativeSeparators(Dir1->selectedFolder());
    Label5->setText(Label5->fontMetrics().elidedText(folder, Qt::ElideMiddle, Label5->width()));
    Label5->setToolTip(folder);
}

void frmloadskin::tell(const QString& text, const QString& title)
{
    hide();
    Prompts::messageBox(text, title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    show();
}

void frmloadskin::Label2_Click()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!Dir1->setPath(desktop))
        tell("There is no desktop folder " + desktop + ". The folder list stays where it was.", "Desktop");
}

void frmloadskin::Label3_Click()
{
    QString folder = Dir1->selectedFolder();
    if (!folder.endsWith('/'))
        folder += '/';
    const bool ini = CommonKit::FileExists(folder + "skin.ini");
    if (const QStringList missing = SkinFolder::MissingBitmaps(folder); !missing.isEmpty()) {
        tell("This is an invalid skin path please choose another path...\n\n" + missingText(folder, missing, ini),
             "Invalid path");
        return;
    }
    if (!ini)
        tell("You are missing the skin ini in this path. This skin will still be loaded but it will not have any "
             "information... Text Colors and other can be set with the font properties on the options menu.\n\n"
                 + missingText(folder, {}, false),
             "Missing ini");
    // The settings file must hold the folder exactly, or the skin would change to nothing.
    const QString before = CommonKit::Setting("SKIN");
    CommonKit::SetSetting("SKIN", folder);
    if (CommonKit::Setting("SKIN") != folder) {
        if (CommonKit::Setting("SKIN") != before)
            CommonKit::SetSetting("SKIN", before);
        tell("The skin folder " + folder + " could not be stored in the settings file " + CommonKit::SettingsPath()
                 + ". The skin stays as it was.",
             "Skin");
        return;
    }
    hide();
    const Prompts::Answer answer =
        Prompts::messageBox("Press 'Yes' to load skin now or press 'No' exit this program and reload it.", "Skin",
                            Prompts::Buttons::YesNo, Prompts::Icon::Critical);
    show();
    if (answer != Prompts::Answer::Yes) {
        // The new instance loads the stored skin as it starts, with the pages saved as quit saves
        // them; a user who stays (an unsaved macro, a page that could not be saved) keeps the dialog.
        Lifecycle::Restart();
        return;
    }
    ApplySkinToOpenWindows();
}

QString frmloadskin::missingText(const QString& folder, const QStringList& bitmaps, bool ini)
{
    QStringList missing;
    for (const QString& b : bitmaps)
        missing << "no " + b;
    if (!ini)
        missing << "no skin.ini";
    // A folder that is no skin at all would list everything: its count says enough.
    const QString what = bitmaps.size() > 4
                             ? QString::number(bitmaps.size()) + " of the 11 pictures are missing"
                                   + (ini ? QString() : QStringLiteral(", and no skin.ini"))
                             : missing.join(", ");
    // The folder as a user writes it: no separator before the colon.
    QString shown = QDir::toNativeSeparators(folder);
    while (shown.size() > 1 && shown.endsWith(QDir::separator()))
        shown.chop(1);
    return shown + ": " + what + ".\nA skin folder holds the pictures "
           + QStringList(std::begin(SkinFolder::kBitmaps), std::end(SkinFolder::kBitmaps)).join(", ")
           + "; a skin.ini with its colours and fonts is optional.";
}

void frmloadskin::Label4_Click()
{
    Forms::unload<frmloadskin>();
    Reskin::RestoreWindows(std::exchange(stepAside(), {}));
}

void frmloadskin::ApplySkinToOpenWindows()
{
    Dir1->setEnabled(false);
    progress("  Loading Skin...");
    CommonKit::Pause(0.3);
    Reskin::RepaintLoaded();
    progress("  Applying Skin INI...");
    progress("  Advertizing Skin Change...");
    if (const auto& announce = Reskin::hooks().announce)
        announce();
    if (const auto& end = Reskin::hooks().endProgress)
        end();
    Reskin::RestoreWindows(std::exchange(stepAside(), {}));
    Dir1->setEnabled(true);
    Forms::unload<frmloadskin>();
}

void frmloadskin::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Escape) {
        Label4_Click();
        return;
    }
    SkinnedForm::keyPressEvent(e);
}

void frmloadskin::closeEvent(QCloseEvent* e)
{
    // Closed by the window system: as "&Cancel", so the windows come back.
    e->ignore();
    Label4_Click();
}
