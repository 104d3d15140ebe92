#pragma once
#include <QString>

// The shop's own help, about, greets and credits texts.
namespace HelpTexts {
QString AboutParagraph();
QString ReadMe();
QString Welcome();
QString HelpTopics();
QString IntroArt();
QString Greets();
QString Credits();
QString BetaTesters();
QString PersonalNote(int n);
}
