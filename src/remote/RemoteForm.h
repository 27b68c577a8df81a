#pragma once

#include <QMainWindow>

#include <array>

struct LinkHealthLook;

class LinkHealthBadge;
class QLabel;
class QMessageBox;
class QToolButton;
class RemoteControl;
class RemotePicture;

// The remote-control window: the layout's picture stretched to the window with the pointer aid
// over it, three status panels and a button that lists the keyboard's keys. It renders
// RemoteControl and forwards the mouse, the keys, drops and panel clicks to it. Closing it by
// hand only hides it; the program closes it with closeByProgram().
class RemoteForm : public QMainWindow {
    Q_OBJECT
public:
    explicit RemoteForm(RemoteControl &control, QWidget *parent = nullptr);
    ~RemoteForm() override;

    // The picture control: clicks, moves and drops land here.
    QWidget *RemoteImage() const;
    QLabel *statusPanel(int panel) const; // 1..3
    // Whether the radio answers, left of the pointer's panels.
    LinkHealthBadge *linkHealth() const { return m_health; }
    void showLinkHealth(const LinkHealthLook &look);
    // The status bar's button that shows the keyboard's keys (also F1), and the box it shows
    // (null until first shown).
    QToolButton *keysButton() const { return m_keysButton; }
    QMessageBox *keysHelp() const { return m_keysHelp; }
    // Shows the box of the keyboard's keys (the "?" button; Help > Keyboard Keys).
    void showKeysHelp();

    // Hides the window, stores its placement and closes it for good.
    void closeByProgram();

    void render();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    RemoteControl &m_control;
    RemotePicture *m_picture = nullptr;
    std::array<QLabel *, 3> m_panels{};
    LinkHealthBadge *m_health = nullptr;
    QToolButton *m_keysButton = nullptr;
    QMessageBox *m_keysHelp = nullptr;
    bool m_closing = false;
};
