#include "accessiblenames.h"

#include <QAbstractScrollArea>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QScrollBar>

namespace {

constexpr const char* kNamed = "quorlNamedCombo";

class NamedComboAccessible : public QAccessibleWidget {
public:
    explicit NamedComboAccessible(QComboBox* combo)
        : QAccessibleWidget(combo, QAccessible::ComboBox)
    {
    }
    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    QStringList actionNames() const override { return {showMenuAction()}; }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            combo()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (auto* combo = qobject_cast<QComboBox*>(object); combo && combo->property(kNamed).toBool())
        return new NamedComboAccessible(combo);
    return nullptr;
}

} // namespace

namespace AccessibleNames {

void nameScrollBars(QAbstractScrollArea* area, const QString& name)
{
    area->verticalScrollBar()->setAccessibleName(name + " vertical scroll bar");
    area->horizontalScrollBar()->setAccessibleName(name + " horizontal scroll bar");
}

void nameCombo(QComboBox* combo, const QString& name)
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
    combo->setProperty(kNamed, true);
    combo->setAccessibleName(name);
    // A selection change is a value change to a reader.
    QObject::connect(combo, &QComboBox::currentIndexChanged, combo, [combo] {
        QAccessibleValueChangeEvent event(combo, combo->currentText());
        QAccessible::updateAccessibility(&event);
    });
}

} // namespace AccessibleNames
