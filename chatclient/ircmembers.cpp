#include "ircmembers.h"

#include "ircbridge.h"

#include <algorithm>
#include <cstring>

namespace {

// The signs a server puts before a name in the names list, for channel ranks.
constexpr char kRankSigns[] = "~&@%+";

QByteArray withoutRank(QByteArray name)
{
    qsizetype i = 0;
    while (i < name.size() && std::strchr(kRankSigns, name[i]))
        ++i;
    return name.mid(i);
}

} // namespace

IrcMembers::IrcMembers(const QByteArray& channel)
    : channel_(folded(channel))
{
}

QByteArray IrcMembers::folded(const QByteArray& nick)
{
    QByteArray out = nick.toLower();
    for (char& c : out) {
        if (c == '[')
            c = '{';
        else if (c == ']')
            c = '}';
        else if (c == '\\')
            c = '|';
        else if (c == '~')
            c = '^';
    }
    return out;
}

void IrcMembers::clear()
{
    members_.clear();
    incoming_.clear();
    receiving_ = false;
    overflowed_ = false;
}

bool IrcMembers::isChannel(const QByteArray& target) const
{
    return folded(target) == channel_;
}

namespace {
bool before(const QByteArray& a, const QByteArray& b)
{
    const QByteArray fa = IrcMembers::folded(a);
    const QByteArray fb = IrcMembers::folded(b);
    return fa == fb ? a < b : fa < fb;
}
} // namespace

bool IrcMembers::add(QList<QByteArray>& list, const QByteArray& nick)
{
    if (nick.isEmpty())
        return false;
    const QByteArray key = folded(nick);
    auto at = std::lower_bound(list.begin(), list.end(), nick, before);
    // A nick differing only in case sorts next to its twin.
    for (auto it = at == list.begin() ? at : at - 1; it != list.end() && it <= at; ++it)
        if (folded(*it) == key)
            return false;
    if (list.size() >= kMostShown) {
        overflowed_ = true;
        return false;
    }
    list.insert(at, nick);
    return true;
}

bool IrcMembers::remove(const QByteArray& nick)
{
    const QByteArray key = folded(nick);
    for (qsizetype i = 0; i < members_.size(); ++i)
        if (folded(members_[i]) == key) {
            members_.removeAt(i);
            return true;
        }
    return false;
}

bool IrcMembers::handle(const IrcMessage& m)
{
    const QList<QByteArray>& p = m.params;
    if (m.command == "353") {  // me = #channel :names
        if (p.size() < 4 || !isChannel(p[2]))
            return false;
        if (!receiving_) {
            incoming_.clear();
            receiving_ = true;
        }
        for (const QByteArray& word : p[3].split(' '))
            add(incoming_, withoutRank(word));
        return false;
    }
    if (m.command == "366") {  // me #channel :End of NAMES list
        if (p.size() < 2 || !isChannel(p[1]))
            return false;
        members_ = receiving_ ? incoming_ : QList<QByteArray>();
        incoming_.clear();
        receiving_ = false;
        return true;
    }
    if (m.command == "JOIN")
        return !p.isEmpty() && isChannel(p[0]) && add(members_, m.nick());
    if (m.command == "PART")
        return !p.isEmpty() && isChannel(p[0]) && remove(m.nick());
    if (m.command == "KICK")
        return p.size() >= 2 && isChannel(p[0]) && remove(p[1]);
    if (m.command == "QUIT")
        return remove(m.nick());
    if (m.command == "NICK") {
        if (p.isEmpty() || !remove(m.nick()))
            return false;
        add(members_, p[0]);
        return true;
    }
    return false;
}

QStringList IrcMembers::names() const
{
    QStringList out;
    out.reserve(members_.size());
    for (const QByteArray& n : members_)
        out.append(QString::fromUtf8(n));
    return out;
}
