#include "frmhelp.h"

#include "core/forms.h"
#include "help/helptexts.h"
#include "platform/prompts.h"
#include "skin/accessiblenames.h"
#include "skin/pushlabel.h"
#include "skin/skinfolder.h"

#include <QTextBrowser>

frmhelp::frmhelp()
{
    setObjectName("frmhelp");
    resize(360, 240);
    Label1 = new MouseLabel(this);
    place(Label1, 0, 0, 5400, 240);
    Text1 = new QTextBrowser(this);
    Text1->setFrameShape(QFrame::NoFrame);
    Text1->setOpenExternalLinks(false);
    place(Text1, 180, 360, 5040, 2580);
    Text1->setAccessibleName("text");
    AccessibleNames::nameScrollBars(Text1, "text");
    Label3 = makeButton(Image1, "&Ok", 2130, 3060);
    connect(Label3, &PushLabel::clicked, this, [] { Forms::unload<frmhelp>(); });
    // "&Ok" is both its default and its close.
    setDialogKeys(Label3, Label3);
    attachTitleDrag(Label1);
}

void frmhelp::Form_Load()
{
    ApplyDialogSkin({"frm2.bmp", {Image1}, Label1, "frm2titlebar", {}, {Text1}, {Label3}});
}

void frmhelp::showText(const QString& title, const QString& text, bool monospace)
{
    Label1->setCaption("  " + title);
    setWindowTitle(PushLabel::plainCaption(title));
    setAccessibleName(PushLabel::plainCaption(title));
    Text1->setAccessibleName(PushLabel::plainCaption(title) + " text");
    AccessibleNames::nameScrollBars(Text1, PushLabel::plainCaption(title) + " text");
    Text1->setPlainText(text);
    if (monospace)
        Text1->setFont(QFont("DejaVu Sans Mono", 8));
    show();
    raise();
}

namespace Help {

void ShowHelp()
{
    frmhelp& help = Forms::get<frmhelp>();
    help.showText("&help", HelpTexts::HelpTopics());
    // Headings in bold, so a new user finds the window or menu they are looking at.
    QString html;
    for (const HelpTexts::Topic& topic : HelpTexts::Topics())
        html += "<p><b>" + topic.heading.toHtmlEscaped() + "</b><br>" + topic.text.toHtmlEscaped() + "</p>";
    help.Text1->setHtml(html);
}
void ShowAbout() { Forms::get<frmhelp>().showText("&about quorl ascii shop", HelpTexts::AboutParagraph()); }
void ShowIntroArt() { Forms::get<frmhelp>().showText("&intro art", HelpTexts::IntroArt(), true); }
void ShowGreets() { Forms::get<frmhelp>().showText("&greets", HelpTexts::Greets()); }
void ShowCredits() { Forms::get<frmhelp>().showText("&credits", HelpTexts::Credits()); }
void ShowBetaTesters() { Forms::get<frmhelp>().showText("&beta testers", HelpTexts::BetaTesters()); }

void ShowPersonalNotes()
{
    Prompts::messageBox(HelpTexts::PersonalNote(1), "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Information);
    Prompts::messageBox(HelpTexts::PersonalNote(2), "quorl ascii shop", Prompts::Buttons::Ok, Prompts::Icon::Information);
}

} // namespace Help
