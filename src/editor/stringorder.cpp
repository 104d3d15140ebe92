#include "stringorder.h"

#include "platform/codepage.h"

#include <QHash>
#include <algorithm>
#include <vector>

namespace StringOrder {

namespace {

// One collation element: the letter or symbol, its accent, its case.
struct Element {
    quint32 primary;
    quint8 secondary;
    quint8 tertiary;
};

struct Weight {
    bool ignorable = false;
    quint32 rank = 0;          // tie-break rank of an ignorable character
    std::vector<Element> elements;
};

// Accent ranks within one letter, in the order the character maps show them.
enum Accent : quint8 {
    None = 0, Ordinal = 1, Acute = 2, Grave = 3, Circumflex = 4, Diaeresis = 5, Tilde = 6, Ring = 7,
    Cedilla = 8, Caron = 9, Stroke = 10, Hook = 11, Ligature = 12
};

QChar cp(unsigned char byte) { return CodePage::toUnicode(QByteArray(1, char(byte))).at(0); }

class Table {
public:
    Table()
    {
        quint32 primary = 1;
        // Ignored within words, in their tie-break order.
        quint32 rank = 1;
        for (int c = 0; c < 0x20; ++c)
            ignorable(QChar(c), rank++);
        for (unsigned char b : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D, 0x27, 0x2D, 0x96, 0x97, 0xAD})
            ignorable(cp(b), rank++);
        // Blanks before every other symbol, then the symbols in the maps' order.
        single(QChar(' '), primary, None, 0);
        single(cp(0xA0), primary++, None, 1);
        for (unsigned char b : {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x28, 0x29, 0x2A, 0x2C, 0x2E, 0x2F, 0x3A, 0x3B,
                                0x3F, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x88, 0x5F, 0x60, 0x7B, 0x7C, 0x7D, 0x7E, 0xA1,
                                0xA6, 0xA8, 0xAF, 0xB4, 0xB8, 0xBF, 0x98, 0x91, 0x92, 0x82, 0x93, 0x94, 0x84, 0x8B,
                                0x9B, 0x2B, 0x3C, 0x3D, 0x3E, 0xB1, 0xAB, 0xBB, 0xD7, 0xF7, 0xA2, 0xA3, 0xA4, 0xA5,
                                0xA7, 0xA9, 0xAC, 0xAE, 0xB0, 0xB5, 0xB6, 0xB7, 0x86, 0x87, 0x95, 0x85, 0x89})
            single(cp(b), primary++, None, 0);
        // Digits; the fractions sit between 0 and 1, the superscripts are accented digits.
        single(QChar('0'), primary++, None, 0);
        for (unsigned char b : {0xBC, 0xBD, 0xBE})
            single(cp(b), primary++, None, 0);
        for (char d = '1'; d <= '9'; ++d)
            digit_[d - '1'] = primary, single(QChar(d), primary++, None, 0);
        single(cp(0xB9), digit_[0], Ordinal, 0);
        single(cp(0xB2), digit_[1], Ordinal, 0);
        single(cp(0xB3), digit_[2], Ordinal, 0);
        // Letters.
        for (char c = 'a'; c <= 'z'; ++c) {
            letter_[c - 'a'] = primary;
            single(QChar(c), primary, None, 0);
            single(QChar(c - 'a' + 'A'), primary++, None, 1);
        }
        struct Accented {
            unsigned char lower, upper;
            char base;
            Accent accent;
        };
        static const Accented accented[] = {
            {0xE1, 0xC1, 'a', Acute}, {0xE0, 0xC0, 'a', Grave}, {0xE2, 0xC2, 'a', Circumflex},
            {0xE4, 0xC4, 'a', Diaeresis}, {0xE3, 0xC3, 'a', Tilde}, {0xE5, 0xC5, 'a', Ring},
            {0xE7, 0xC7, 'c', Cedilla}, {0xF0, 0xD0, 'd', Stroke}, {0xE9, 0xC9, 'e', Acute},
            {0xE8, 0xC8, 'e', Grave}, {0xEA, 0xCA, 'e', Circumflex}, {0xEB, 0xCB, 'e', Diaeresis},
            {0xED, 0xCD, 'i', Acute}, {0xEC, 0xCC, 'i', Grave}, {0xEE, 0xCE, 'i', Circumflex},
            {0xEF, 0xCF, 'i', Diaeresis}, {0xF1, 0xD1, 'n', Tilde}, {0xF3, 0xD3, 'o', Acute},
            {0xF2, 0xD2, 'o', Grave}, {0xF4, 0xD4, 'o', Circumflex}, {0xF6, 0xD6, 'o', Diaeresis},
            {0xF5, 0xD5, 'o', Tilde}, {0xF8, 0xD8, 'o', Stroke}, {0x9A, 0x8A, 's', Caron},
            {0xFA, 0xDA, 'u', Acute}, {0xF9, 0xD9, 'u', Grave}, {0xFB, 0xDB, 'u', Circumflex},
            {0xFC, 0xDC, 'u', Diaeresis}, {0xFD, 0xDD, 'y', Acute}, {0xFF, 0x9F, 'y', Diaeresis},
            {0x9E, 0x8E, 'z', Caron},
        };
        for (const Accented& a : accented) {
            single(cp(a.lower), letter_[a.base - 'a'], a.accent, 0);
            single(cp(a.upper), letter_[a.base - 'a'], a.accent, 1);
        }
        single(cp(0xAA), letter_['a' - 'a'], Ordinal, 0);
        single(cp(0xBA), letter_['o' - 'a'], Ordinal, 0);
        single(cp(0x83), letter_['f' - 'a'], Hook, 0);
        // Ligatures and the trade mark sort as their two letters.
        pair(cp(0xE6), "ae", 0);
        pair(cp(0xC6), "ae", 1);
        pair(cp(0x9C), "oe", 0);
        pair(cp(0x8C), "oe", 1);
        pair(cp(0xDF), "ss", 0);
        pair(cp(0xFE), "th", 0);
        pair(cp(0xDE), "th", 1);
        pair(cp(0x99), "tm", 1);
        next_ = primary;
        flatten();
    }

    Weight weight(QChar c) const
    {
        const auto it = table_.constFind(c.unicode());
        if (it != table_.constEnd())
            return *it;
        // Characters the maps never hold sort after every letter, by their code.
        Weight w;
        w.elements.push_back({next_ + c.unicode(), None, 0});
        return w;
    }

    // The same weights in a flat form for the characters of the code page, which reach up to
    // U+2122: a comparison then looks up each character without a hash or an allocation.
    struct Flat {
        quint8 count = 0;   // elements: 0 for an ignorable character
        quint32 rank = 0;   // tie-break rank of an ignorable character
        Element e[2] = {};
    };
    static constexpr char16_t kFlatEnd = 0x2200;
    void flatten()
    {
        flat_.resize(kFlatEnd);
        for (char16_t c = 0; c < kFlatEnd; ++c)
            flat_[c] = toFlat(weight(QChar(c)));
    }
    Flat flat(char16_t c) const { return c < kFlatEnd ? flat_[c] : toFlat(weight(QChar(c))); }

private:
    void ignorable(QChar c, quint32 rank)
    {
        Weight w;
        w.ignorable = true;
        w.rank = rank;
        table_.insert(c.unicode(), w);
    }
    void single(QChar c, quint32 primary, Accent accent, quint8 upper)
    {
        Weight w;
        w.elements.push_back({primary, accent, upper});
        table_.insert(c.unicode(), w);
    }
    void pair(QChar c, const char* letters, quint8 upper)
    {
        Weight w;
        w.elements.push_back({letter_[letters[0] - 'a'], Ligature, upper});
        w.elements.push_back({letter_[letters[1] - 'a'], Ligature, upper});
        table_.insert(c.unicode(), w);
    }

    static Flat toFlat(const Weight& w)
    {
        Flat f;
        if (w.ignorable) {
            f.rank = w.rank;
            return f;
        }
        f.count = quint8(w.elements.size());
        for (size_t i = 0; i < w.elements.size() && i < 2; ++i)
            f.e[i] = w.elements[i];
        return f;
    }

    QHash<char16_t, Weight> table_;
    std::vector<Flat> flat_;
    quint32 letter_[26] = {};
    quint32 digit_[9] = {};
    quint32 next_ = 0;
};

const Table& table()
{
    static const Table t;
    return t;
}

// The collation elements of a string in order, the ignorable characters skipped.
class Elements {
public:
    explicit Elements(const QString& s)
        : p_(reinterpret_cast<const char16_t*>(s.constData())), end_(p_ + s.size())
    {
    }
    bool next(Element& out)
    {
        while (sub_ >= cur_.count) {
            if (p_ == end_)
                return false;
            cur_ = table().flat(*p_++);
            sub_ = 0;
        }
        out = cur_.e[sub_++];
        return true;
    }

private:
    const char16_t* p_;
    const char16_t* end_;
    Table::Flat cur_;
    int sub_ = 0;
};

int sign(bool less) { return less ? -1 : 1; }

} // namespace

int Compare(const QString& a, const QString& b)
{
    if (a == b)
        return 0;
    // Letters first, then accents, then case: one walk finds the first difference of each
    // level; only the letters can end it early.
    Elements ea(a), eb(b);
    int secondary = 0, tertiary = 0;
    for (;;) {
        Element x, y;
        const bool hasX = ea.next(x), hasY = eb.next(y);
        if (!hasX || !hasY) {
            if (hasX != hasY)
                return hasX ? 1 : -1;
            break;
        }
        if (x.primary != y.primary)
            return sign(x.primary < y.primary);
        if (!secondary && x.secondary != y.secondary)
            secondary = sign(x.secondary < y.secondary);
        if (!tertiary && x.tertiary != y.tertiary)
            tertiary = sign(x.tertiary < y.tertiary);
    }
    if (secondary)
        return secondary;
    if (tertiary)
        return tertiary;
    // Then the ignored characters, by their ranks in string order.
    auto ignored = [](const QString& s, qsizetype& i) -> quint32 {
        while (i < s.size()) {
            const Table::Flat f = table().flat(s[i++].unicode());
            if (f.count == 0)
                return f.rank;
        }
        return 0;
    };
    for (qsizetype i = 0, j = 0;;) {
        const quint32 x = ignored(a, i), y = ignored(b, j);
        if (x != y)
            return sign(x < y);
        if (x == 0)
            break;
    }
    // Strings that differ only in characters of equal weight still get a fixed order.
    return QString::compare(a, b) < 0 ? -1 : 1;
}

void Sort(QStringList& list)
{
    // The first letters of each string in one number: most pairs are told apart by it, and only
    // ties take the full comparison. An element past 16 bits ends the number with the highest
    // value, so strings that reach it tie and the comparison decides. The strings move along
    // with their numbers, so the sorted list is read in order, not gathered from all over.
    // Compare is 0 only for equal strings, which cannot be told apart: any order of them is the
    // order they were given.
    struct Entry {
        quint64 prefix;
        QString text;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(list.size()));
    for (QString& text : list) {
        Elements e(text);
        quint64 prefix = 0;
        bool capped = false;
        for (int k = 0; k < 4; ++k) {
            Element x{};
            quint64 v = 0; // a string that ends sorts before its longer kin
            if (!capped && e.next(x))
                v = x.primary;
            if (capped || v >= 0xFFFF) {
                capped = true;
                v = 0xFFFF;
            }
            prefix = prefix << 16 | v;
        }
        entries.push_back({prefix, std::move(text)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.prefix != b.prefix)
            return a.prefix < b.prefix;
        // Repeated lines are common in a string file: equal strings need no weighing.
        return a.text != b.text && Compare(a.text, b.text) < 0;
    });
    for (qsizetype i = 0; i < list.size(); ++i)
        list[i] = std::move(entries[size_t(i)].text);
}

const QStringList& CharacterSet()
{
    static const QStringList set = [] {
        static const int order[] = {
            0x7F, 0x8D, 0x27, 0x2D, 0x96, 0x97, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x28, -1, 0x29, 0x2A, 0x2C,
            0x2E, 0x2F, 0x3A, 0x3B, 0x3F, 0x40, 0x5B, 0x5C, 0x5D, 0x5E, 0x88, 0x5F, 0x60, 0x7B, 0x7C, -2, 0x7D,
            0x7E, 0xA1, 0xA6, 0xA8, 0xAF, 0xB4, 0xB8, 0xBF, 0x98, 0x91, 0x92, 0x82, 0x93, 0x94, 0x84, 0x8B,
            0x9B, 0x2B, 0x3C, -3, 0x3D, 0x3E, 0xB1, 0xAB, 0xBB, 0xD7, 0xF7, 0xA2, 0xA3, 0xA4, 0xA5, 0xA7, 0xA9,
            0xAC, 0xAE, 0xB0, 0xB5, 0xB6, 0xB7, 0x86, 0x87, 0x95, 0x85, 0x89, 0x30, 0xBC, 0xBD, 0xBE, 0x31,
            0xB9, 0x32, 0xB2, 0x33, 0xB3, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x61, 0x41, 0xAA, 0xE1, 0xC1,
            0xE0, 0xC0, 0xE2, 0xC2, 0xE4, 0xE3, 0xC3, 0xE5, 0xC5, 0xE6, 0xC6, 0x62, 0x42, 0x63, 0x43, 0xE7,
            0xC7, 0x64, 0x44, 0xF0, 0xD0, 0x65, 0x45, 0xE9, 0xC9, 0xE8, 0xC8, 0xEA, 0xCA, 0xEB, 0xCB, 0x66,
            0x46, 0x83, 0x67, 0x47, 0x68, 0x48, 0x69, 0x49, 0xED, 0xCD, 0xEC, 0xCC, 0xEE, 0xCE, 0xEF, 0xCF,
            0x6A, 0x4A, 0x6B, 0x4B, 0x6C, 0x4C, 0x6D, 0x4D, 0x6E, 0x4E, 0xF1, 0x6F, 0x4F, 0xBA, 0xF3, 0xD3,
            0xF2, 0xD2, 0xF4, 0xD4, 0xF6, 0xD6, 0xF5, 0xD5, 0xF8, 0xD8, 0x9C, 0x8C, 0x70, 0x50, 0x71, 0x51,
            0x72, 0x52, 0x73, 0x53, 0x9A, 0x8A, 0xDF, 0x74, 0x54, 0xFE, 0xDE, 0x99, 0x75, 0x55, 0xFA, 0xDA,
            0xF9, 0xD9, 0xFB, 0xDB, 0xFC, 0xDC, 0x76, 0x56, -4, 0x77, 0x57, 0x78, 0x58, 0x79, 0x59, 0xFD,
            0xDD, 0x9F, 0x7A, 0x5A,
        };
        static const char* const strings[] = {"(\\/)", "-|>", "<|-", "v^"};
        QStringList out;
        for (int b : order)
            out << (b < 0 ? QString::fromLatin1(strings[-b - 1]) : QString(cp(static_cast<unsigned char>(b))));
        return out;
    }();
    return set;
}

} // namespace StringOrder
