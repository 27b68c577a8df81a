#include "remote/RemoteAccessible.h"

#include "keyboard/KeyMap.h"
#include "remote/RemoteControl.h"
#include "settings/AccessiblePart.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QWidget>

#include <optional>

namespace {

class RemoteKeyAccessible final : public AccessiblePart {
public:
    RemoteKeyAccessible(QWidget &picture, RemoteControl &control, int index)
        : AccessiblePart(picture)
        , m_control(control)
        , m_index(index) {}

    bool isValid() const override { return owner() != nullptr && key().has_value(); }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QRect rect() const override {
        const auto k = key();
        if (!k || owner() == nullptr) {
            return {};
        }
        // The picture keeps its proportions: it may stand off the control's corner.
        const QPoint origin = FittedPictureRect(m_control.picture().size(), owner()->size()).topLeft();
        const QRect local = k->area.toAlignedRect().translated(origin);
        return QRect(owner()->mapToGlobal(local.topLeft()), local.size());
    }
    QString text(QAccessible::Text t) const override {
        const auto k = key();
        if (!k) {
            return {};
        }
        const QString keyName = KeyNameOf(k->command);
        switch (t) {
        case QAccessible::Name:
            return SpokenKeyName(k->command);
        case QAccessible::Description:
            return keyName.isEmpty() ? QStringLiteral("Sends %1 to the radio").arg(k->command)
                                     : QStringLiteral("Keyboard: %1").arg(keyName);
        case QAccessible::Accelerator:
            return keyName;
        default:
            return {};
        }
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override {
        if (name == pressAction() && isValid()) {
            m_control.pressKey(m_index);
        }
    }
    QStringList keyBindingsForAction(const QString &name) const override {
        const auto k = key();
        const QString keyName = k ? KeyNameOf(k->command) : QString();
        return name == pressAction() && !keyName.isEmpty() ? QStringList{keyName} : QStringList{};
    }

private:
    std::optional<RemoteControl::Key> key() const {
        for (const RemoteControl::Key &k : m_control.keys()) {
            if (k.index == m_index) {
                return k;
            }
        }
        return std::nullopt;
    }

    RemoteControl &m_control;
    int m_index;
};

class RemotePictureAccessible final : public QAccessibleWidget {
public:
    RemotePictureAccessible(QWidget &picture, RemoteControl &control)
        : QAccessibleWidget(&picture, QAccessible::Grouping)
        , m_control(control) {}

    ~RemotePictureAccessible() override {
        for (const QAccessible::Id id : std::as_const(m_keys)) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }

    int childCount() const override { return int(m_control.keys().size()); }
    QAccessibleInterface *child(int i) const override {
        const QList<RemoteControl::Key> keys = m_control.keys();
        if (i < 0 || i >= keys.size()) {
            return nullptr;
        }
        const int index = keys[i].index;
        if (const auto found = m_keys.constFind(index); found != m_keys.constEnd()) {
            return QAccessible::accessibleInterface(*found);
        }
        auto *key = new RemoteKeyAccessible(*widget(), m_control, index);
        m_keys.insert(index, QAccessible::registerAccessibleInterface(key));
        return key;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        const QList<RemoteControl::Key> keys = m_control.keys();
        for (int i = 0; i < keys.size(); ++i) {
            const auto found = m_keys.constFind(keys[i].index);
            if (found != m_keys.constEnd() && QAccessible::accessibleInterface(*found) == child) {
                return i;
            }
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i) {
            QAccessibleInterface *key = child(i);
            if (key != nullptr && key->rect().contains(x, y)) {
                return key;
            }
        }
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Description) {
            return QStringLiteral("The remote's picture: each key is a button");
        }
        return QAccessibleWidget::text(t);
    }

private:
    RemoteControl &m_control;
    mutable QHash<int, QAccessible::Id> m_keys; // layout index -> registered key
};

} // namespace

QAccessibleInterface *NewRemotePictureAccessible(QWidget &picture, RemoteControl &control) {
    return new RemotePictureAccessible(picture, control);
}
