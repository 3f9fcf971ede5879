#include "window/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QStringView>

#include "action/accessible_text.h"
#include "window/form1.h"
#include "window/qt_text.h"

namespace quorvel {
namespace {

// A combo box named like any other control (its accessible name,
// else its label) rather than by its text, which stays its value. Its
// children are its list and, while editable, its editable text, and it opens
// or closes its list on request.
class NamedComboBox final : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    int childCount() const override { return Box()->isEditable() ? kEditableChildCount : kListOnly; }

    QAccessibleInterface* child(int index) const override {
        if (index == kListIndex) return QAccessible::queryAccessibleInterface(Box()->view());
        if (index == kTextIndex) return QAccessible::queryAccessibleInterface(Box()->lineEdit());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        if (child->object() == Box()->view()) return kListIndex;
        if (child->object() == Box()->lineEdit()) return kTextIndex;
        return -1;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return Box()->currentText();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        return QStringList{showMenuAction(), pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (Box()->view()->isVisible()) {
            Box()->hidePopup();
        } else {
            Box()->showPopup();
        }
    }

private:
    static constexpr int kListIndex = 0;
    static constexpr int kTextIndex = 1;
    static constexpr int kListOnly = 1;
    static constexpr int kEditableChildCount = 2;

    QComboBox* Box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* CalculatorInterface(const QString&, QObject* object) {
    if (auto* window = qobject_cast<Form1*>(object)) return new QAccessibleWidget(window, QAccessible::Window);
    auto* box = qobject_cast<QComboBox*>(object);
    if (box != nullptr && qobject_cast<Form1*>(box->parentWidget()) != nullptr) {
        return new NamedComboBox(box);
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(&CalculatorInterface); }

void SetAccessibleTexts(QWidget* control, Field field) {
    const QString name = ToQString(AccessibleName(field));
    const QString description = ToQString(AccessibleDescription(field));
    QList<QWidget*> parts = {control};
    if (auto* box = qobject_cast<QComboBox*>(control)) parts << box->lineEdit() << box->view();
    for (QWidget* part : parts) {
        part->setAccessibleName(name);
        part->setAccessibleDescription(description);
    }
}

}  // namespace quorvel
