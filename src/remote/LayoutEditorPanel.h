#pragma once

#include <QGroupBox>

#include <array>

class LayoutEditor;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The layout editor's controls, which sit in the main window: the list of layouts, the five
// boxes of the marked button's rectangle, Set, Save and Reload, the pointer aid's options and
// a status line. It renders a LayoutEditor and reports what the user does; the rules live in
// the editor and the remote window's logic.
class LayoutEditorPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit LayoutEditorPanel(QWidget *parent = nullptr);
    ~LayoutEditorPanel() override;

    // The layouts found in the program folder, the current one selected (-1: none).
    void setLayoutNames(const QStringList &names, int current);
    // Enables the controls and renders the editor's boxes, colours and options from now on.
    void attach(const LayoutEditor &editor);

Q_SIGNALS:
    // A layout double clicked in the list.
    void layoutChosen(const QString &name);
    // Boxes 0..4: typed text, focus taken, Up or Down pressed (swallowed).
    void boxEdited(int box, const QString &text);
    void boxFocused(int box);
    void boxArrow(int box, bool up);
    void setClicked();
    void saveClicked();
    void reloadClicked();
    void showPointerClicked(bool on);
    void staticPointerClicked(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void render();

    const LayoutEditor *m_editor = nullptr;
    QListWidget *m_remoteList = nullptr;
    std::array<QLineEdit *, 5> m_buttonLocations{};
    QCheckBox *m_showPointer = nullptr;
    QCheckBox *m_staticPointer = nullptr;
    QLabel *m_status = nullptr;
};
