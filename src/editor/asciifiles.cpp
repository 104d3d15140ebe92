#include "asciifiles.h"

#include "core/commonkit.h"
#include "core/forms.h"
#include "editor/docking.h"
#include "editor/frmmain.h"
#include "editor/menu1.h"
#include "editor/mru.h"
#include "editor/pages.h"
#include "platform/codepage.h"
#include "platform/progfolder.h"
#include "platform/prompts.h"

#include <QFile>

namespace AsciiFiles {

bool Read(frmmain& main, const QString& path)
{
    QFile file;
    CommonKit::ReadProblem problem;
    if (!CommonKit::OpenRegularFile(file, path, &problem)) {
        // A pipe or a device is refused and the pages stay; a file that cannot be read counts as
        // empty, as it always has.
        if (problem == CommonKit::ReadProblem::NotAFile)
            Prompts::messageBox("Could not open " + path + ":\n" + CommonKit::ReadProblemText(problem), "Open ascii",
                                Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        else
            main.readAsciiText(QString());
        return problem != CommonKit::ReadProblem::NotAFile;
    }
    bool cut = false;
    const QByteArray bytes = Pages::BoundedAsciiBytes(file, &cut);
    const bool failed = file.error() != QFileDevice::NoError;
    // A picture or a program opened by mistake would put binary into all four pages.
    if (const QString why = failed ? QString() : Pages::NotArtReason(bytes); !why.isEmpty()) {
        Prompts::messageBox(path + " is not an ascii file: " + why + ". The pages were left as they were.",
                            "Open ascii", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
        return false;
    }
    cut = main.readAsciiText(failed ? QString() : CodePage::toUnicode(bytes)) || cut;
    if (cut)
        Prompts::messageBox(path + " has lines longer than a page holds (" + QString::number(Pages::kPageLimit) +
                                " characters); they were cut.",
                            "Open ascii", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
    return true;
}

void Open(frmmain& main)
{
    QString name;
    {
        Docking::StepAside aside;
        name = Prompts::openFileName({}, ProgramFolder::file("output"));
    }
    if (name.isEmpty())
        return;
    OpenRecent(main, name);
}

void OpenRecent(frmmain& main, const QString& path)
{
    if (path.isEmpty())
        return;
    // A file that was refused (a pipe, a picture) would only come back refused again; a missing
    // one is read as empty, so it opened.
    if (Read(main, path))
        Forms::get<menu1>().ShowMru(Mru::Update("MRU2", path));
}

void Save(frmmain& main)
{
    QString name;
    {
        Docking::StepAside aside;
        // With the type named, the dialog adds ".gly" itself and asks before replacing that file.
        name = Prompts::saveFileName(QStringLiteral("Ascii files (*.gly);;All files (*)"),
                                     ProgramFolder::file("output"));
    }
    // A name without a suffix gets ".gly", the type the desktop opens with the shop.
    {
        Docking::StepAside aside;
        name = CommonKit::SaveTarget(name, "gly", "Save ascii");
    }
    if (name.isEmpty())
        return;
    Forms::get<menu1>().ShowMru(Mru::Update("MRU2", name));
    QString error;
    if (!CommonKit::SaveString(Pages::AsciiFileText(main.pageTexts()), name, &error)) {
        Docking::StepAside aside;
        Prompts::messageBox("Could not save " + name + ":\n" + error, "Save ascii", Prompts::Buttons::Ok,
                            Prompts::Icon::Exclamation);
    }
}

} // namespace AsciiFiles
