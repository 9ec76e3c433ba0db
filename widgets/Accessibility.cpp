// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/Accessibility.h"

#include "widgets/GaugeDisplay.h"

#include <QAccessibleValueInterface>
#include <QAccessibleWidget>

namespace quibex {

namespace {

// A progress display read as a progress bar: its value is the percentage
// the join wrote, its text that percentage in words a screen reader says
// well ("50 %", not fifty bar characters). An empty display has no value:
// no text, and the state that tells screen readers so (indeterminate, over
// AT-SPI), rather than a 0 they would read out.
class GaugeAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit GaugeAccessible(GaugeDisplay* gauge)
        : QAccessibleWidget(gauge, QAccessible::ProgressBar)
    {
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Value)
            return QAccessibleWidget::text(t);
        const int percent = gauge()->percent();
        return percent < 0 ? QString() : QString::number(percent) + QStringLiteral(" %");
    }

    QAccessible::State state() const override
    {
        QAccessible::State shown = QAccessibleWidget::state();
        if (gauge()->percent() < 0)
            shown.checkStateMixed = true;
        return shown;
    }

    QVariant currentValue() const override
    {
        const int percent = gauge()->percent();
        return percent < 0 ? QVariant() : QVariant(percent);
    }
    void setCurrentValue(const QVariant&) override { }
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    GaugeDisplay* gauge() const { return static_cast<GaugeDisplay*>(widget()); }
};

QAccessibleInterface* programWidgets(const QString& className, QObject* object)
{
    if (className == QLatin1String("quibex::GaugeDisplay"))
        return new GaugeAccessible(static_cast<GaugeDisplay*>(object));
    if (className == QLatin1String("quibex::MainWindow"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

void installAccessibility()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;
    QAccessible::installFactory(programWidgets);
}

}  // namespace quibex
