#include "accessibility.h"

#include "gauge.h"

#include <QAccessibleWidget>
#include <QScrollBar>

#include <mutex>

namespace qt_window {
namespace {

class ValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return currentValue().toString();
        return QAccessibleWidget::text(kind);
    }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }
};

class GaugeAccessible final : public ValueAccessible {
public:
    explicit GaugeAccessible(Gauge* gauge) : ValueAccessible(gauge, QAccessible::ProgressBar) {}

    QVariant currentValue() const override { return static_cast<Gauge*>(widget())->AccessibleValue(); }
    void setCurrentValue(const QVariant&) override {}  // it only shows
    QVariant maximumValue() const override { return 100; }
};

// The position of the scale runs from the top (0) down; the temperature is
// read from the bottom, so it is reported as maximum - position.
class ScaleAccessible final : public ValueAccessible {
public:
    explicit ScaleAccessible(QScrollBar* bar) : ValueAccessible(bar, QAccessible::Slider) {}

    QVariant currentValue() const override { return Bar()->maximum() - Bar()->value(); }
    void setCurrentValue(const QVariant& value) override { Bar()->setValue(Bar()->maximum() - value.toInt()); }
    QVariant maximumValue() const override { return Bar()->maximum() - Bar()->minimum(); }

private:
    QScrollBar* Bar() const { return static_cast<QScrollBar*>(widget()); }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* gauge = qobject_cast<Gauge*>(object)) return new GaugeAccessible(gauge);
    if (auto* bar = qobject_cast<QScrollBar*>(object); bar && bar->objectName() == QLatin1String("VScroll1")) {
        return new ScaleAccessible(bar);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(Factory); });
}

}  // namespace qt_window
