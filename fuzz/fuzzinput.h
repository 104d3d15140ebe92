#pragma once
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads a fuzzer's bytes as a sequence of small fields.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : bytes_(reinterpret_cast<const char*>(data), qsizetype(size)) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }
    quint8 byte() { return atEnd() ? 0 : quint8(bytes_[pos_++]); }
    quint32 u32()
    {
        quint32 v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        return v;
    }
    // The bytes up to the next NUL (or the end).
    QByteArray field()
    {
        const qsizetype nul = bytes_.indexOf('\0', pos_);
        const qsizetype end = nul < 0 ? bytes_.size() : nul;
        const QByteArray f = bytes_.mid(pos_, end - pos_);
        pos_ = end + 1;
        return f;
    }
    QByteArray rest()
    {
        const QByteArray r = bytes_.mid(pos_);
        pos_ = bytes_.size();
        return r;
    }

private:
    QByteArray bytes_;
    qsizetype pos_ = 0;
};

// A broken promise: let the fuzzer keep the input that shows it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "broken promise at %s:%d: %s\n", __FILE__, __LINE__, #condition);  \
            __builtin_trap();                                                                      \
        }                                                                                          \
    } while (0)
