// Writes one kind of the shop's files over and over with the shop's own routines, until it is
// killed. Before each write it prints "writing N", so the killer knows which versions the file
// may hold: the one before (N - 1) or N itself.
//   killsafe_writer ascii|pages|settings FOLDER
#include "killsafe_content.h"

#include "core/commonkit.h"
#include "editor/pages.h"
#include "platform/progfolder.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const char* mode = argv[1];
    const QString folder = QString::fromLocal8Bit(argv[2]);
    ProgramFolder::setOverride(folder);
    for (quint64 n = 1;; ++n) {
        std::printf("writing %llu\n", static_cast<unsigned long long>(n));
        std::fflush(stdout);
        if (std::strcmp(mode, "ascii") == 0) {
            CommonKit::SaveString(Pages::AsciiFileText(KillSafe::AsciiPages(n)), folder + "/art.gly");
        } else if (std::strcmp(mode, "pages") == 0) {
            // As quit stores them: each page file in turn.
            for (int p = 1; p <= 4; ++p)
                CommonKit::SaveString(KillSafe::Page(n, p), Pages::PageFilePath(p));
        } else if (std::strcmp(mode, "settings") == 0) {
            CommonKit::SetSetting("HANDLE", KillSafe::SettingValue(n));
        } else {
            return 2;
        }
    }
}
