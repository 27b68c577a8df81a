#pragma once

#include "session/InfoPanel.h"

#include <QMainWindow>

class LinkHealthBadge;
class RadioView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QStackedWidget;

// The information panel ("Information"): the radio's state, version and volume, its main menu,
// current menu, now-playing data and list, the macro list, the message box and the record and
// refresh buttons. It renders the radio link's view and the panel's own texts and forwards every
// user event to InfoPanel. Closing it hides it; only the program closes it for good.
class InfoForm : public QMainWindow {
    Q_OBJECT
public:
    InfoForm(InfoPanel &panel, RadioView &view, QWidget *parent = nullptr);
    ~InfoForm() override;

    // Draws the view and the panel's texts; called when either announces a change.
    void render();
    // The picture of the current menu (the display's picture loading fills it).
    void setMenuPicture(const QImage &picture);
    // The macro runner's progress: the label's caption and tool tip, green while it wants to
    // stand out, else in the current menu name's colour. A click on the label, or on the Stop
    // button shown beside it while a macro runs, stops the run.
    void setMacroLabel(const QString &caption, const QString &toolTip, bool green, bool running);
    // From now on a close request closes the window instead of hiding it.
    void allowClose() { m_closeAllowed = true; }

    QLabel *DeviceState() const { return m_state; }
    LinkHealthBadge *linkHealth() const { return m_health; }
    QLabel *DeviceVersion() const { return m_version; }
    QLabel *DeviceVolume() const { return m_volume; }
    QSlider *VolumeAdjuster() const { return m_slider; }
    QLabel *ScrollVolumeLabel() const { return m_sliderValue; }
    QListWidget *MainMenuList() const { return m_mainMenu; }
    QListWidget *MetaList() const { return m_meta; }
    QListWidget *InfoList() const { return m_info; }
    QListWidget *MacroList() const { return m_macroList; }
    QLabel *CurrentMenuImage() const { return m_menuImage; }
    QLineEdit *MessageText() const { return m_message; }
    QPushButton *SendMessageButton() const { return m_send; }
    QPushButton *RecordButtons() const { return m_record; }
    QLabel *MacroLabel() const { return m_macroLabel; }
    QPushButton *MacroStopButton() const { return m_macroStop; }
    QPlainTextEdit *DebugText() const { return m_debug; }
    QString statusPanel() const;

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // The decoder reads whether the main menu list is on screen.
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildValues();
    QGroupBox *buildFrame();
    QWidget *buildMessageRow();
    QListWidget *addList(PanelList which, const QString &toolTip);
    void renderList(QListWidget *list, const QStringList &rows, int index, bool enabled);
    void onSliderChanged(int value);

    InfoPanel &m_panel;
    RadioView &m_view;
    bool m_rendering = false;
    bool m_programMove = false;
    bool m_closeAllowed = false;

    QLabel *m_stateCaption = nullptr;
    QLabel *m_state = nullptr;
    QLabel *m_versionCaption = nullptr;
    QLabel *m_version = nullptr;
    QLabel *m_volumeCaption = nullptr;
    QLabel *m_volume = nullptr;
    QLabel *m_time = nullptr;
    QLabel *m_offline = nullptr;
    QSlider *m_slider = nullptr;
    QLabel *m_sliderValue = nullptr;
    QListWidget *m_mainMenu = nullptr;
    QListWidget *m_menu = nullptr;
    QListWidget *m_meta = nullptr;
    QListWidget *m_info = nullptr;
    QListWidget *m_macroList = nullptr;
    QStackedWidget *m_pictureStack = nullptr;
    QLabel *m_menuImage = nullptr;
    QLabel *m_menuName = nullptr;
    QLineEdit *m_message = nullptr;
    QPushButton *m_send = nullptr;
    QPushButton *m_record = nullptr;
    QPushButton *m_refresh = nullptr;
    QLabel *m_macroLabel = nullptr;
    QPushButton *m_macroStop = nullptr;
    QCheckBox *m_hideFrame = nullptr;
    QGroupBox *m_frame = nullptr;
    QPlainTextEdit *m_debug = nullptr;
    QString m_debugShown; // the text last put into m_debug
    QLabel *m_status = nullptr;
    LinkHealthBadge *m_health = nullptr;
};
