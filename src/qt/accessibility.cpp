#include "accessibility.h"

#include "announcer.h"
#include "gauge.h"
#include "main_form.h"
#include "scroll_bar.h"
#include "threshold_box.h"
#include "widget_table.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>

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
    QVariant maximumValue() const override { return design::kScaleCreatedMax - design::kScaleCreatedMin; }
};

// The position of the scale runs from the top (0) down; the temperature is
// read from the bottom, so the value reported is the temperature the bar
// shows, and a value set is the position maximum - value.
class ScaleAccessible final : public ValueAccessible {
public:
    explicit ScaleAccessible(ScrollBar* bar) : ValueAccessible(bar, QAccessible::Slider) {}

    QVariant currentValue() const override { return Bar()->Temperature(); }
    void setCurrentValue(const QVariant& value) override {
        Bar()->setValue(regulator::PositionForTemperature(Bar()->maximum(), value.toInt()));
    }
    QVariant maximumValue() const override { return Bar()->maximum() - Bar()->minimum(); }

private:
    ScrollBar* Bar() const { return static_cast<ScrollBar*>(widget()); }
};

// A threshold box as Qt presents a line edit, with one difference: the text
// attributes. Qt's interface answers every attribute query with an empty run
// (start = end = offset); Orca 43 joins the runs to find the stretches of one
// language and speaks up to the end of the last run, which is the start of
// the last character. Here the whole text is one run without attributes.
// Edits through the accessible interface go the way typing goes, so the
// typing limit holds for them too.
class ThresholdBoxAccessible final : public QAccessibleWidget,
                                     public QAccessibleTextInterface,
                                     public QAccessibleEditableTextInterface {
public:
    explicit ThresholdBoxAccessible(ThresholdBox* box) : QAccessibleWidget(box, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface) return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = Box()->isReadOnly();
        state.editable = !Box()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return Box()->text();
        return QAccessibleWidget::text(kind);
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind != QAccessible::Value) {
            QAccessibleWidget::setText(kind, text);
            return;
        }
        replaceText(0, characterCount(), text);
    }

    // Text
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !Box()->hasSelectedText()) return;
        *startOffset = Box()->selectionStart();
        *endOffset = Box()->selectionEnd();
    }
    int selectionCount() const override { return Box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override {
        if (selectionIndex == 0) Box()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override {
        if (selectionIndex == 0) Box()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return Box()->cursorPosition(); }
    void setCursorPosition(int position) override { Box()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override {
        const QString text = Box()->text();
        if (startOffset < 0 || endOffset > text.size() || startOffset > endOffset) return {};
        return text.mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(Box()->text().size()); }
    QRect characterRect(int offset) const override {
        const QRect local = Box()->CharacterRect(offset);
        if (local.isNull()) return {};
        return {Box()->mapToGlobal(local.topLeft()), local.size()};
    }
    int offsetAtPoint(const QPoint& point) const override {
        return Box()->cursorPositionAt(Box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int startIndex, int) override { Box()->setCursorPosition(startIndex); }
    QString attributes(int offset, int* startOffset, int* endOffset) const override {
        const int length = characterCount();
        if (offset < 0 || offset > length) {
            *startOffset = *endOffset = -1;
        } else {
            *startOffset = 0;
            *endOffset = length;
        }
        return {};
    }

    // Editable text
    void deleteText(int startOffset, int endOffset) override {
        if (Box()->isReadOnly() || startOffset >= endOffset) return;
        Box()->setSelection(startOffset, endOffset - startOffset);
        Box()->del();
    }
    void insertText(int offset, const QString& text) override {
        if (Box()->isReadOnly()) return;
        Box()->setCursorPosition(offset);
        Box()->insert(text);
    }
    void replaceText(int startOffset, int endOffset, const QString& text) override {
        if (Box()->isReadOnly()) return;
        Box()->setSelection(startOffset, endOffset - startOffset);
        Box()->insert(text);  // replaces the selection, as typing does
    }

private:
    ThresholdBox* Box() const { return static_cast<ThresholdBox*>(widget()); }
};

// The window, with its announcements after its widgets.
class WindowAccessible final : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Client) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(Announcements().size());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets) return QAccessibleWidget::child(index);
        const QList<Announcement*> announcements = Announcements();
        if (index - widgets >= announcements.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(announcements[index - widgets]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        if (auto* announcement = qobject_cast<Announcement*>(child->object())) {
            const auto index = Announcements().indexOf(announcement);
            return index < 0 ? -1 : QAccessibleWidget::childCount() + static_cast<int>(index);
        }
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    QList<Announcement*> Announcements() const {
        return widget()->findChildren<Announcement*>(Qt::FindDirectChildrenOnly);
    }
};

class AnnouncementAccessible final : public QAccessibleObject {
public:
    explicit AnnouncementAccessible(Announcement* announcement) : QAccessibleObject(announcement) {}

    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(object()->parent()); }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? static_cast<Announcement*>(object())->Text() : QString();
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !static_cast<Announcement*>(object())->IsShown();
        return state;
    }
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    if (auto* gauge = qobject_cast<Gauge*>(object)) return new GaugeAccessible(gauge);
    if (auto* bar = qobject_cast<ScrollBar*>(object)) return new ScaleAccessible(bar);
    if (auto* box = qobject_cast<ThresholdBox*>(object)) return new ThresholdBoxAccessible(box);
    if (auto* form = qobject_cast<MainForm*>(object)) return new WindowAccessible(form);
    if (auto* announcement = qobject_cast<Announcement*>(object)) return new AnnouncementAccessible(announcement);
    return nullptr;
}

void Discard(QAccessibleEvent*) {}

}  // namespace

void InstallAccessibility() {
    static std::once_flag installed;
    std::call_once(installed, [] { QAccessible::installFactory(Factory); });
}

SilentAccessibility::SilentAccessibility() : previous_(QAccessible::installUpdateHandler(Discard)) {}

SilentAccessibility::~SilentAccessibility() { QAccessible::installUpdateHandler(previous_); }

}  // namespace qt_window
