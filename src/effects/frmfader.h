#pragma once
#include "skin/skinnedform.h"

#include <QColor>
#include <array>

class MouseLabel;
class PushLabel;
class QCheckBox;
class QLabel;
class QScrollBar;
class QTextBrowser;

// The fade dialog: three colours from nine bars, and "&Ok" rewrites the art pages with their
// faded HTML. A preview shows the faded page as the chat room will show it.
class frmfader : public SkinnedForm {
    Q_OBJECT
public:
    frmfader();
    void Form_Load();
    // Loads the dialog (painted from the current skin) and shows it.
    static frmfader& Open();

    MouseLabel* Label1;                    // title, drag handle
    // VScroll1..3 red, green, blue of colour 1; VScroll4..6 colour 2; VScroll7..9 colour 3.
    std::array<QScrollBar*, 9> VScroll{};
    QLabel* Label2;                        // swatch of colour 1
    QLabel* Label5;                        // swatch of colour 2
    QLabel* Label6;                        // swatch of colour 3
    std::array<QLabel*, 9> ValueLabel{};   // each bar's value, on its swatch
    QCheckBox* Check5;                     // three-colour mode
    MouseLabel* Label11;                   // "Fade 3 colors"
    std::array<QCheckBox*, 4> Check{};     // Check1..Check4 beside the page names
    std::array<MouseLabel*, 4> PageLabel{}; // Label7..Label10 "Text1".."Text4"
    QTextBrowser* Preview;                 // the faded page as the room renders it
    QLabel* Image1;
    QLabel* Image3;
    PushLabel* Label3;                     // "&Ok"
    PushLabel* Label4;                     // "&Cancel"

    // The colour of three bars (c = 1..3).
    QColor colour(int c) const;
    // The swatch of colour c from its bars.
    void SetSwatch(int c);
    void Check5_Click();
    void Label3_Click();
    void Label4_Click();

    // The faded form of a page text with the dialog's colours and mode.
    QString Fade(const QString& text) const;
    // Characters of the page the preview shows; the rest is left out so dragging stays smooth.
    static constexpr int kPreviewChars = 2000;
    void UpdatePreview();

private:
    QLabel* swatch(int c) const;
};
