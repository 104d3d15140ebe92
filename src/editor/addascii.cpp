#include "addascii.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"
#include "skin/pushlabel.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

namespace {
// Adds one line at the end of a file too large to read whole: a line break first when the file
// does not end in one. A write that fails is undone, so the file keeps its old length.
bool appendLine(const QString& path, const QString& line, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite)) {
        *error = f.errorString();
        return false;
    }
    const qint64 size = f.size();
    QByteArray bytes = CodePage::fromUnicode(line) + "\r\n";
    char last = '\n';
    if (size > 0 && (!f.seek(size - 1) || !f.getChar(&last))) {
        *error = f.errorString();
        return false;
    }
    if (last != '\n' && last != '\r')
        bytes.prepend("\r\n");
    if (!f.seek(size) || f.write(bytes) != bytes.size() || !f.flush()) {
        *error = f.errorString();
        f.resize(size);
        return false;
    }
    return true;
}
}

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
    // Only a missing file is made; a pipe or a folder in its place is left as it is.
    if (!QFileInfo::exists(path))
        CommonKit::SaveString(QString(), path);
    const QByteArray bytes = CommonKit::ReadFileBytes(path, CommonKit::kReadLimit, &readProblem);
    const QString content = readProblem == CommonKit::ReadProblem::None ? CodePage::toUnicode(bytes) : QString();
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
    if (readProblem != CommonKit::ReadProblem::None && readProblem != CommonKit::ReadProblem::Missing) {
        addToFileNotReadWhole(entry);
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

void addascii::addToFileNotReadWhole(const QString& entry)
{
    const QString path = StringFilePath();
    QString error;
    if (readProblem != CommonKit::ReadProblem::TooLarge) {
        Prompts::messageBox("The string was not added: " + path + " could not be read. "
                                + CommonKit::ReadProblemText(readProblem),
                            "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    if (!appendLine(path, entry, &error)) {
        Prompts::messageBox("The string was not added: it could not be written at the end of " + path + ": " + error,
                            "GLY", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return;
    }
    Forms::get<frmmain>().List1->AddString(entry);
    Forms::unload<addascii>();
}

void addascii::Label4_Click() { Forms::unload<addascii>(); }
