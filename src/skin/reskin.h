#pragma once

// Painting the open windows from the current skin.
namespace Reskin {

// Start-up: the skin's pictures on the main window and the windows already loaded.
void StartupPictures();
// Start-up: colours and fonts of the main window, its menu labels and the indicator panel.
void StartupColours();

} // namespace Reskin
