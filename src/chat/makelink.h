#pragma once
#include <QString>

namespace CommonKit {

// An HTML anchor as the chat client accepts it, written with a blank after "<".
QString MakeLink(const QString& text, const QString& address);

} // namespace CommonKit
