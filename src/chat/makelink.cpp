#include "makelink.h"

namespace CommonKit {

QString MakeLink(const QString& text, const QString& address)
{
    return QStringLiteral("< A HREF=\"") + address + QStringLiteral("\">") + text + QStringLiteral("</A>");
}

} // namespace CommonKit
