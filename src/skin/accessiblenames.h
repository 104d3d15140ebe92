#pragma once
#include <QString>

class QAbstractScrollArea;
class QComboBox;

// Names a screen reader hears for controls that Qt leaves unnamed or names by their value.
namespace AccessibleNames {

// The two scroll bars of a box: "<name> vertical scroll bar", "<name> horizontal scroll bar".
void nameScrollBars(QAbstractScrollArea* area, const QString& name);

// A list box is told by its own name, its chosen entry as its value (Qt on Linux tells the
// entry as the name).
void nameCombo(QComboBox* combo, const QString& name);

} // namespace AccessibleNames
