#include "addascii.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "skin/pushlabel.h"

#include <QLineEdit>

addascii::addascii()
    : PromptForm("addascii", "  &add ascii string to list",
                 "&Please paste the ascii you would like to add below in the textbox.", "ascii string")
{
    connect(Label3, &PushLabel::clicked, this, &addascii::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &addascii::Label4_Click);
}

QString addascii::StringFilePath() { return ProgramFolder::file("ascii/asc.asc"); }

void addascii::Form_Load()
{
    applyPromptSkin();
    const QString path = StringFilePath();
    if (!CommonKit::FileExists(path))
        CommonKit::SaveString(QString(), path);
    const QString content = CommonKit::ReadFileText(path);
    if (!content.isEmpty())
        Text2 = content;
}

void addascii::Label3_Click()
{
    const QString entry = Text1->text();
    if (entry.isEmpty())
        return;
    // One string is one line of the file; a pasted line break would split it in two.
    if (entry.contains('\r') || entry.contains('\n')) {
        Prompts::messageBox("A string is one line. Please remove the line break and try again.", "GLY",
                            Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    if (Text2 == " ")
        Text2.clear();
    // A file last written by hand may lack its final line break; the new string keeps its own line.
    if (!Text2.isEmpty() && !Text2.endsWith('\r') && !Text2.endsWith('\n'))
        Text2 += "\r\n";
    Text2 += entry;
    QString error;
    const bool saved = CommonKit::SaveString(Text2, StringFilePath(), &error);
    Text2 += "\r\n";
    Forms::get<frmmain>().List1->AddString(entry);
    if (!saved)
        Prompts::messageBox("The string was added to the list but could not be saved in " + StringFilePath() + ": "
                                + error,
                            "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    Forms::unload<addascii>();
}

void addascii::Label4_Click() { Forms::unload<addascii>(); }
