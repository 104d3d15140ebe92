#pragma once

// Ending the process and starting a new instance of the program. Tests install a recorder.
namespace Process {

class Source {
public:
    virtual ~Source() = default;
    // Ends the process at once; no window is asked whether it may close.
    virtual void end() = 0;
    // Starts a new instance of the program from the program folder.
    virtual void startNewInstance() = 0;
};

class SystemProcess : public Source {
public:
    void end() override;
    void startNewInstance() override;
};

void install(Source* source);
Source& current();

inline void end() { current().end(); }
inline void startNewInstance() { current().startNewInstance(); }

} // namespace Process
