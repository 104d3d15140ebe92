#include "frmfader.h"

#include "chattext/roomrender.h"
#include "core/forms.h"
#include "editor/frmmain.h"
#include "editor/pageedit.h"
#include "effects/fadekit.h"
#include "platform/prompts.h"
#include "platform/twips.h"
#include "skin/accessiblenames.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QCheckBox>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// The bars' start: a blue running through violet into red.
constexpr int kStart[9] = {0, 96, 255, 160, 0, 200, 255, 0, 64};
const char* const kComponent[3] = {"red", "green", "blue"};
// Shown when the page is empty, so the colours can still be judged.
const QString kSample = QStringLiteral("quorl ascii shop");
// Every character of a fade without waving is one tag of this length and the character.
constexpr int kTagAndChar = 21;
}

frmfader::frmfader()
{
    setObjectName("frmfader");
    setAccessibleName("fade ascii");
    setWindowTitle("fade ascii");
    resize(Twips::toPixels(5400), Twips::toPixels(3600));

    Label1 = new MouseLabel("  &fade ascii", this);
    Label1->setAccessibleName("fade ascii");
    place(Label1, 120, 0, 4800, 300);
    attachTitleDrag(Label1);

    for (int c = 0; c < 3; ++c) {
        const int left = 240 + c * 1080;
        for (int k = 0; k < 3; ++k) {
            auto* bar = new QScrollBar(Qt::Vertical, this);
            // Maximum at the bottom end, as a vertical bar has it.
            bar->setRange(0, 255);
            bar->setPageStep(16);
            bar->setValue(kStart[c * 3 + k]);
            bar->setObjectName(QStringLiteral("VScroll%1").arg(c * 3 + k + 1));
            bar->setAccessibleName(QStringLiteral("colour %1 %2").arg(c + 1).arg(kComponent[k]));
            // Arrows step by one, Page keys by a page step, Home and End to the ends.
            bar->setFocusPolicy(Qt::StrongFocus);
            place(bar, left + k * 300, 360, 255, 1260);
            VScroll[c * 3 + k] = bar;
            // While dragging and after every change.
            connect(bar, &QScrollBar::valueChanged, this, [this, c] {
                SetSwatch(c + 1);
                UpdatePreview();
            });
        }
    }
    auto makeSwatch = [this](int c) {
        auto* s = new QLabel(this);
        s->setFrameShape(QFrame::Box);
        s->setAutoFillBackground(true);
        s->setAccessibleName(QStringLiteral("colour %1").arg(c + 1));
        place(s, 240 + c * 1080, 1680, 855, 240);
        // Each bar's value under it, on the swatch.
        for (int k = 0; k < 3; ++k) {
            auto* v = new QLabel(s);
            v->setAlignment(Qt::AlignCenter);
            v->setAccessibleName(QStringLiteral("colour %1 %2 value").arg(c + 1).arg(kComponent[k]));
            // Three digits fit under a bar.
            QFont small = v->font();
            small.setPixelSize(9);
            v->setFont(small);
            place(v, k * 300 - 15, 0, 285, 240);
            ValueLabel[c * 3 + k] = v;
        }
        return s;
    };
    Label2 = makeSwatch(0);
    Label5 = makeSwatch(1);
    Label6 = makeSwatch(2);

    // A check box with its caption beside it; a click on the caption ticks the box.
    auto makeCheck = [this](const QString& caption, int top, MouseLabel*& label) {
        auto* box = new QCheckBox(this);
        box->setAccessibleName(caption);
        place(box, 3480, top, 270, 270);
        label = new MouseLabel(caption, this);
        place(label, 3780, top - 15, 1560, 300);
        connect(label, &MouseLabel::clicked, box, &QCheckBox::click);
        frameFocus(box, label);
        return box;
    };
    Check5 = makeCheck("Fade 3 colors", 390, Label11);
    // The focus shows in the captions' skin colour.
    for (QScrollBar* bar : VScroll)
        frameFocus(bar, Label11);
    Check5->setChecked(true);
    connect(Check5, &QCheckBox::toggled, this, &frmfader::Check5_Click);
    for (int n = 0; n < 4; ++n) {
        Check[n] = makeCheck(QStringLiteral("Text%1").arg(n + 1), 720 + n * 285, PageLabel[n]);
        connect(Check[n], &QCheckBox::toggled, this, &frmfader::UpdatePreview);
    }

    Preview = new QTextBrowser(this);
    Preview->setObjectName("Preview");
    Preview->setAccessibleName("preview");
    Preview->setOpenLinks(false);
    Preview->setFocusPolicy(Qt::NoFocus);
    // The widget hands its font to its document; the room's font, not the skin's.
    Preview->setFont(RoomRender::roomFont(true));
    place(Preview, 240, 2040, 4920, 900);
    AccessibleNames::nameScrollBars(Preview, "preview");

    Label3 = makeButton(Image1, "&Ok", 1200, 3120);
    Label4 = makeButton(Image3, "&Cancel", 3060, 3120);
    connect(Label3, &PushLabel::clicked, this, &frmfader::Label3_Click);
    connect(Label4, &PushLabel::clicked, this, &frmfader::Label4_Click);
    setDialogKeys(Label3, Label4);

    // The preview follows the pages while the dialog is open.
    if (frmmain* main = Forms::loaded<frmmain>())
        for (int n = 1; n <= 4; ++n)
            connect(main->page(n), &QLineEdit::textChanged, this, &frmfader::UpdatePreview);
}

void frmfader::Form_Load()
{
    for (int c = 1; c <= 3; ++c)
        SetSwatch(c);
    Check5_Click();
    DialogSkin skin;
    skin.background = "frm2.bmp";
    skin.buttonImages = {Image1, Image3};
    skin.title = Label1;
    skin.titleKey = "frm2titlebar";
    skin.buttons = {Label3, Label4};
    skin.colours = {{"restfontclr", {Label11, PageLabel[0], PageLabel[1], PageLabel[2], PageLabel[3]}}};
    ApplyDialogSkin(skin);
    UpdatePreview();
}

QColor frmfader::colour(int c) const
{
    const int i = (c - 1) * 3;
    return QColor(VScroll[i]->value(), VScroll[i + 1]->value(), VScroll[i + 2]->value());
}

QLabel* frmfader::swatch(int c) const { return c == 1 ? Label2 : c == 2 ? Label5 : Label6; }

void frmfader::SetSwatch(int c)
{
    QLabel* s = swatch(c);
    const QColor shade = colour(c);
    QPalette p = s->palette();
    p.setColor(QPalette::Window, shade);
    // Numbers that stay readable on any shade.
    p.setColor(QPalette::WindowText, qGray(shade.rgb()) < 128 ? Qt::white : Qt::black);
    s->setPalette(p);
    for (int k = 0; k < 3; ++k) {
        QLabel* v = ValueLabel[(c - 1) * 3 + k];
        v->setPalette(p);
        v->setText(QString::number(VScroll[(c - 1) * 3 + k]->value()));
    }
}

void frmfader::Check5_Click()
{
    for (int i = 6; i < 9; ++i)
        VScroll[i]->setEnabled(Check5->isChecked());
    Label6->setEnabled(Check5->isChecked());
    UpdatePreview();
}

QString frmfader::Fade(const QString& text) const
{
    // The bars are read afresh for every page.
    const QColor a = colour(1), b = colour(2), c = colour(3);
    if (Check5->isChecked())
        return FadeKit::FadeThreeColors(a.red(), a.green(), a.blue(), b.red(), b.green(), b.blue(), c.red(),
                                        c.green(), c.blue(), text, false);
    return FadeKit::FadeTwoColors(a.red(), a.green(), a.blue(), b.red(), b.green(), b.blue(), text, false);
}

void frmfader::Label3_Click()
{
    frmmain& main = Forms::get<frmmain>();
    // Ticked page boxes restrict the fade to those pages; with none ticked all four fade.
    bool any = false;
    for (QCheckBox* box : Check)
        any = any || box->isChecked();
    QStringList tooLong;
    for (int n = 1; n <= 4; ++n) {
        if (any && !Check[n - 1]->isChecked())
            continue;
        PageEdit* page = main.page(n);
        // Empty pages stay empty.
        if (page->text().isEmpty())
            continue;
        // A faded character takes some twenty; a page holds kPageLimit characters. A page whose
        // fade would not fit is left whole rather than cut.
        const QString faded = Fade(page->text());
        if (faded.size() > page->maxLength()) {
            tooLong << QString::number(n);
            continue;
        }
        page->setText(faded);
    }
    if (!tooLong.isEmpty())
        Prompts::messageBox("Page " + tooLong.join(", ") +
                                " is too long to fade: its faded text would not fit on a page. Shorten it and fade again.",
                            "quorl", Prompts::Buttons::Ok, Prompts::Icon::Exclamation);
}

frmfader& frmfader::Open()
{
    frmfader& dialog = Forms::get<frmfader>();
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
    return dialog;
}

void frmfader::Label4_Click() { Forms::unload<frmfader>(); }

void frmfader::UpdatePreview()
{
    QString text;
    if (frmmain* main = Forms::loaded<frmmain>()) {
        int shown = 1;
        for (int n = 4; n >= 1; --n)
            if (Check[n - 1]->isChecked())
                shown = n;
        text = main->page(shown)->text();
    }
    if (text.isEmpty())
        text = kSample;
    QString faded = Fade(text);
    if (text.size() > kPreviewChars)
        faded.truncate(qsizetype(kPreviewChars) * kTagAndChar);
    // The room's own rules and font, so the preview shows what the room will show.
    QTextDocument* doc = Preview->document();
    doc->clear();
    RoomRender::prepare(doc, {});
    QTextCursor cursor(doc);
    RoomRender::render(cursor, faded, {});
}
