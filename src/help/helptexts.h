#pragma once
#include <QList>
#include <QString>

// The shop's own help, about, greets and credits texts.
namespace HelpTexts {
QString AboutParagraph();
QString ReadMe();
QString Welcome();
QString HelpTopics();
// The topics of the help window, each a heading and a few lines; HelpTopics() joins them.
struct Topic {
    QString heading, text;
};
QList<Topic> Topics();
// About the maker, and the tray menu's caption for the co-author.
QString AboutMaker();
QString CoAuthorCaption();
QString IntroArt();
QString Greets();
QString Credits();
QString BetaTesters();
QString PersonalNote(int n);
}
