#pragma once
#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>
#include <vector>

class MouseLabel;
class PopupMenuForm;
class PushLabel;
class SkinnedForm;

// The title strip of a big skinned window (the main window, the macro shop): the title drag that
// carries the window with the pointer, the window menu's "&move", and the caption labels that
// open and close their menus.
class CaptionStrip : public QObject {
    Q_OBJECT
public:
    CaptionStrip(SkinnedForm* window, MouseLabel* title);

    // The drag, positions in twips on the title. A press notes the point, a move carries the
    // window by the pointer's travel (false when no drag runs), a release ends it.
    void press(int x, int y);
    bool follow(int x, int y);
    void release();
    std::optional<QPoint> pressPoint() const { return press_; }
    // The window menu's "&move": the platform's interactive move, else a drag of the title that
    // follows the pointer until the next click. True when the platform took over.
    bool startMove();
    bool manualMove() const { return manualMove_; }

    struct Captions {
        std::vector<PushLabel*> labels;
        // Caption i's menu; with load it is loaded when needed, without nullptr when not loaded.
        std::function<PopupMenuForm*(int i, bool load)> menu;
        // Whether opening caption i's menu closes caption j's; all close all when unset.
        std::function<bool(int i, int j)> closes;
        // Runs before every toggle (the window's stacking).
        std::function<void(PopupMenuForm*)> before;
        // Shows caption i's menu in its place.
        std::function<void(int i, PopupMenuForm*)> show;
    };
    // A left press on a caption label toggles its menu; moving onto a caption while another
    // caption's menu is open switches to its menu.
    void setCaptions(Captions captions);
    void toggle(int i);
    void hover(int i);
    // Shift+F10 and the Menu key anywhere in the window open its window menu, as the right
    // button on the title does.
    void setWindowMenuKeys(std::function<void()> open);

private:
    void endManualMove();

    SkinnedForm* window_;
    MouseLabel* title_;
    std::optional<QPoint> press_;
    bool manualMove_ = false;
    Captions captions_;
};
