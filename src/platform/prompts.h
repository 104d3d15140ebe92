#pragma once
#include <QString>

// Everything the user answers: message boxes, input boxes and file dialogs. The shop installs
// the real dialogs at start; tests install scripted answers.
namespace Prompts {

// YesNoDefaultNo: a question whose Yes gives up the user's work, so Enter and Esc answer No.
enum class Buttons { Ok, YesNo, OkCancel, YesNoCancel, YesNoDefaultNo };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Yes, No, Cancel };

class Source {
public:
    virtual ~Source() = default;
    virtual Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
    // "" when cancelled.
    virtual QString inputBox(const QString& prompt, const QString& title, const QString& preset) = 0;
    // "" when cancelled. The dialog starts in folder (the last one used when empty); a save dialog
    // adds the filter's first suffix to a name typed without one.
    virtual QString openFileName(const QString& filter, const QString& folder) = 0;
    virtual QString saveFileName(const QString& filter, const QString& folder) = 0;
    // An input box whose text is hidden as it is typed; "" when cancelled.
    virtual QString passwordBox(const QString& prompt, const QString& title)
    {
        return inputBox(prompt, title, {});
    }
};

// Modal Qt dialogs.
class DialogSource : public Source {
public:
    Answer messageBox(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    QString inputBox(const QString& prompt, const QString& title, const QString& preset) override;
    QString openFileName(const QString& filter, const QString& folder) override;
    QString saveFileName(const QString& filter, const QString& folder) override;
    QString passwordBox(const QString& prompt, const QString& title) override;
};

void install(Source* source);
Source& current();

inline Answer messageBox(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                         Icon icon = Icon::None)
{
    return current().messageBox(text, title, buttons, icon);
}
inline QString inputBox(const QString& prompt, const QString& title, const QString& preset = {})
{
    return current().inputBox(prompt, title, preset);
}
inline QString passwordBox(const QString& prompt, const QString& title)
{
    return current().passwordBox(prompt, title);
}
inline QString openFileName(const QString& filter = {}, const QString& folder = {})
{
    return current().openFileName(filter, folder);
}
inline QString saveFileName(const QString& filter = {}, const QString& folder = {})
{
    return current().saveFileName(filter, folder);
}

} // namespace Prompts
