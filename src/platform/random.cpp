#include "random.h"

#include <QDateTime>
#include <QRandomGenerator>

namespace Random {

namespace {
QRandomGenerator generator;
}

void SystemRandom::reseed()
{
    generator.seed(quint32(QDateTime::currentMSecsSinceEpoch()));
}

double SystemRandom::draw() { return generator.generateDouble(); }

namespace {
SystemRandom systemRandom;
Source* installed = nullptr;
}

void install(Source* source) { installed = source; }
Source& current() { return installed ? *installed : systemRandom; }

} // namespace Random
