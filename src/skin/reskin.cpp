#include "reskin.h"

#include "core/forms.h"
#include "platform/prompts.h"
#include "skin/popupmenuform.h"
#include "skin/skinfolder.h"
#include "skin/skinnedform.h"

namespace Reskin {

namespace {
Hooks installed;
}

void RepaintLoaded(const QWidget* except)
{
    // One message names every picture of the new skin that cannot be read.
    SkinFolder::Batch batch;
    SkinFolder::CheckPictures(SkinFolder::ResolveSkinFolder());
    for (QWidget* w : Forms::loadedWindows())
        if (auto* form = qobject_cast<SkinnedForm*>(w); form && form != except)
            form->ApplySkin();
}

void StartupPictures(SkinnedForm& main)
{
    SkinFolder::Batch batch;
    main.setBackground(SkinFolder::ResolveSkinFolder() + "iface.bmp");
    RepaintLoaded(&main);
}

void StartupColours(SkinnedForm& main) { main.ApplySkin(); }

void SetHooks(Hooks hooks) { installed = std::move(hooks); }
const Hooks& hooks() { return installed; }

Shown HideWindows(const QWidget* keep)
{
    Shown shown;
    for (QWidget* w : Forms::loadedWindows()) {
        if (w == keep || !w->isVisible())
            continue;
        if (!qobject_cast<PopupMenuForm*>(w))
            shown << w;
        w->hide();
    }
    return shown;
}

void RestoreWindows(const Shown& windows)
{
    for (const QPointer<QWidget>& w : windows)
        if (w && Forms::loadedWindows().contains(w.data())) {
            // A window the window manager gave back from the task bar may still count as
            // minimized here; shown so, it would go back to the task bar.
            if (w->isMinimized())
                w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
            w->show();
        }
}

QString SkinInfoText(const QString& folder)
{
    auto value = [&](const char* key) { return SkinFolder::Value(folder, key); };
    // The labels keep their trailing blanks; lines end in a lone carriage return.
    return "Skin name:        " + value("name") + "\r" + "Artist name:    " + value("artist") + "\r"
           + "Rating:             " + value("rating") + "\r\r" + "Comments:      " + value("comment");
}

void ShowSkinInfo(bool hideWindows)
{
    const QString s = SkinFolder::ResolveSkinFolder();
    const QString title = SkinFolder::Value(s, "name");
    const QString text = SkinInfoText(s);
    const Shown shown = hideWindows ? HideWindows() : Shown();
    Prompts::messageBox(text, title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
    RestoreWindows(shown);
}

} // namespace Reskin
