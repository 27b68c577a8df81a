#pragma once

#include "display/DisplayAccessible.h"

#include <QSize>
#include <QWidget>

#include <optional>
#include <utility>

class DisplayControl;
class RadioView;
class QLineEdit;

// The window of the emulated radio screen. It shows what DisplayControl drew, forwards mouse
// events on the screen, keys typed into the search box and the keys that reach the window
// itself, and keeps no state of its own.
// Closing it only hides it; the program shows it again from the main window.
class DisplayForm : public QWidget {
    Q_OBJECT
public:
    DisplayForm(DisplayControl &control, const RadioView &view, QWidget *parent = nullptr);
    ~DisplayForm() override;

    QWidget *BackGround() const { return m_screen; }
    QLineEdit *SearchForText() const { return m_search; }

    // Shows the caption and search box, and repaints the screen when its drawing changed since
    // the last paint (or the radio went offline or came back).
    void render();
    // Gives the search box the focus with its caret at the end.
    void focusSearchBox();

Q_SIGNALS:
    // The user closed the window: the program saves its placement and hides it.
    void closing();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showSearchBox(bool shown);

    DisplayControl &m_control;
    const RadioView &m_view;
    QWidget *m_screen = nullptr;
    QLineEdit *m_search = nullptr;
    bool m_settingText = false;
    bool m_screenStale = true; // the control announced a new drawing not yet painted
    QString m_notLiveShown;    // the offline text the screen was last painted with
    DisplayAnnouncer m_announcer;
    // The window's size before and after the search box made it taller, while the box shows.
    std::optional<std::pair<QSize, QSize>> m_grownForSearch;
};
