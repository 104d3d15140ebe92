#pragma once
#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class SkinnedForm;

// Painting the open windows from the current skin. The skin layer knows no particular window: it
// walks the loaded windows and each one paints itself (SkinnedForm::ApplySkin).
namespace Reskin {

// Every loaded window but `except` paints itself again from the current skin.
void RepaintLoaded(const QWidget* except = nullptr);

// Start-up: the main window's picture, then every other loaded window.
void StartupPictures(SkinnedForm& main);
// Start-up: the main window's colours and fonts.
void StartupColours(SkinnedForm& main);

// What a skin change needs from the floors above: the splash as progress window and the
// skin-change banner. Installed once at start; parts left unset do nothing.
struct Hooks {
    std::function<void(const QString&)> progress; // shows the progress window with this status
    std::function<void()> endProgress;
    std::function<void()> announce;
};
void SetHooks(Hooks hooks);
const Hooks& hooks();

// The program's windows step aside for a box or the skin dialog, so that the topmost ones do not
// cover it: every shown window but `keep` is hidden (popup menus only hidden, not remembered).
using Shown = QList<QPointer<QWidget>>;
Shown HideWindows(const QWidget* keep = nullptr);
// Shows them again in the order they were loaded; windows unloaded meanwhile stay away.
void RestoreWindows(const Shown& windows);

// The about-skin box of the current skin. From a menu the windows step aside for it; from the
// tray they stay as they are.
void ShowSkinInfo(bool hideWindows = true);
// Its text for the skin folder (which ends in "/").
QString SkinInfoText(const QString& folder);

} // namespace Reskin
