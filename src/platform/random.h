#pragma once

// The draw behind the random decoration; tests fix it.
namespace Random {

class Source {
public:
    virtual ~Source() = default;
    virtual void reseed() = 0;
    // A uniform number r with 0 <= r < 1.
    virtual double draw() = 0;
};

class SystemRandom : public Source {
public:
    void reseed() override;
    double draw() override;
};

void install(Source* source);
Source& current();

inline void reseed() { current().reseed(); }
inline double draw() { return current().draw(); }

} // namespace Random
