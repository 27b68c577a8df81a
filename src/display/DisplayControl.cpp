#include "display/DisplayControl.h"

#include "display/ScreenReading.h"
#include "keyboard/KeyboardGrid.h"
#include "keyboard/KeyMap.h"
#include "platform/Platform.h"
#include "remote/RemoteControl.h"
#include "session/InfoPanel.h"
#include "session/RadioSession.h"
#include "session/RadioStatus.h"
#include "session/RadioView.h"
#include "skin/SkinTables.h"

namespace {

const ScreenDef *definitionAt(const SkinTables &skin, int index) {
    return index >= 0 && std::size_t(index) < skin.MenuArray.size() ? &skin.MenuArray[std::size_t(index)] : nullptr;
}

} // namespace

DisplayControl::DisplayControl(Platform &platform, RadioSession &radio, const QString &programFolder)
    : screen(radio, platform.wallClock(), programFolder)
    , m_skin(radio.skin())
    , m_radio(radio)
    , m_view(radio.view())
    , m_waitFrame(radio.waitFrame())
    , m_pleaseWaitTimer(platform.createTimer()) {
    m_pleaseWaitTimer->setInterval(100);
    connect(m_pleaseWaitTimer.get(), &Timer::timeout, this, &DisplayControl::PleaseWaitTimer_Timer);
}

DisplayControl::~DisplayControl() = default;

void DisplayControl::changeScreen(const std::function<void()> &change) {
    // The refresh runs after every reply and on every display tick; the window repaints only
    // when the picture differs from the one it shows.
    const ScreenRenderer::Drawing before = screen.drawing();
    change();
    if (screen.drawing() != before) {
        Q_EMIT changed();
    }
}

void DisplayControl::show(const QString &screenName) {
    changeScreen([&] { screen.DisplayScreen(screenName); });
}

void DisplayControl::DisplayScreen(const QString &name) {
    show(name);
}

void DisplayControl::RefreshDisplays() {
    changeScreen([this] { screen.RefreshDisplays(); });
}

void DisplayControl::Redraw() {
    changeScreen([this] { screen.Redraw(); });
}

void DisplayControl::FollowCurrentMenuLabel() {
    if (m_view.CurrentMenuLabel != m_menuLabelSeen) {
        m_menuLabelSeen = m_view.CurrentMenuLabel;
        changeScreen([this] { screen.ColourNameLabels(m_menuLabelSeen); });
    }
}

void DisplayControl::ColourNameLabels(const QString &menuName) {
    changeScreen([&] { screen.ColourNameLabels(menuName); });
}

void DisplayControl::DoCommand(qint16 index, bool status) {
    // After a Reload the selection may point past the new tables.
    const ScreenDef *def = definitionAt(m_skin, status ? m_skin.CurrentStatusSet : m_skin.CurrentMenu);
    if (!def) {
        return;
    }
    QString command;
    if (index == -1) {
        command = def->BackgroundCommand;
    } else if (index >= 0 && std::size_t(index) < def->Overlays.size()) {
        command = def->Overlays[std::size_t(index)].Command;
    }
    if (!command.isEmpty()) {
        m_radio.sendCommand(command);
    }
}

void DisplayControl::BackGround_Click() {
    const ScreenDef *def = definitionAt(m_skin, m_skin.CurrentMenu);
    if (!def) {
        return;
    }
    const QString target = def->BackgroundTarget;
    m_radio.screenLeft();
    DoCommand(-1, false);
    show(target);
}

void DisplayControl::OverlayImages_MouseDown(int index, Qt::MouseButton button) {
    const ScreenDef *def = definitionAt(m_skin, m_skin.CurrentMenu);
    if (!def || index < 0 || std::size_t(index) >= def->Overlays.size()) {
        return;
    }
    if (button == Qt::RightButton) {
        show(def->BackgroundTarget);
        return;
    }
    const ScreenItem item = def->Overlays[std::size_t(index)];
    if (ScreenRenderer::IsPictureOnly(item.Picture)) {
        return;
    }
    DoCommand(qint16(index), false);
    show(item.Caption);
}

int DisplayControl::MainMenuEntryOf(int index) const {
    const ScreenDef *def = definitionAt(m_skin, m_skin.CurrentMenu);
    if (!def || index < 0 || std::size_t(index) >= def->Overlays.size()) {
        return -1;
    }
    const ScreenItem &item = def->Overlays[std::size_t(index)];
    if (!item.Command.isEmpty() || item.Caption.isEmpty() || ScreenRenderer::IsPictureOnly(item.Picture)) {
        return -1;
    }
    // Entry 0 is the power key, not an icon of the menu.
    for (int entry = 1; entry < m_skin.MainMenuList.size(); ++entry) {
        if (m_skin.MainMenuList[entry].compare(item.Caption, Qt::CaseInsensitive) == 0) {
            return entry;
        }
    }
    return -1;
}

void DisplayControl::StatusImages_MouseDown(int index, Qt::MouseButton button) {
    if (button != Qt::RightButton && index >= 0 && index <= 32767) {
        DoCommand(qint16(index), true);
    }
}

int DisplayControl::WhatList(int index) const {
    if (index < 0 || std::size_t(index) >= screen.OverlayLabel.size()) {
        return 0;
    }
    const QString &text = screen.OverlayLabel[std::size_t(index)].Text;
    if (m_view.InfoListEnabled && index < m_view.InfoList.size() && m_view.InfoList[index].endsWith(text)) {
        return 1;
    }
    if (m_view.MetaListEnabled && index < m_view.MetaList.size() && m_view.MetaList[index].endsWith(text)) {
        return 2;
    }
    return 0;
}

void DisplayControl::OverlayLabel_Click(int index) {
    switch (WhatList(index)) {
    case 1:
        m_radio.infoPanel().holdRow(PanelList::Info, index);
        break;
    case 2:
        m_radio.infoPanel().holdRow(PanelList::Meta, index);
        break;
    default:
        break;
    }
}

void DisplayControl::OverlayLabel_DblClick(int index) {
    const int list = WhatList(index);
    if (list == 1 && m_view.InfoListEnabled) {
        m_radio.infoPanel().selectRow(PanelList::Info, index);
        Q_EMIT infoListOpened();
    } else if (list == 2 && m_view.MetaListEnabled) {
        m_radio.infoPanel().selectRow(PanelList::Meta, index);
        Q_EMIT metaListOpened();
    }
}

void DisplayControl::MouseDown(QPoint at, Qt::MouseButton button) {
    m_pressed = screen.hitTest(at);
    m_pressValid = true;
    m_pressedEntry = m_pressed.kind == ScreenRenderer::Hit::Overlay ? MainMenuEntryOf(m_pressed.index) : -1;
    if (m_pressed.kind == ScreenRenderer::Hit::Overlay) {
        OverlayImages_MouseDown(m_pressed.index, button);
    } else if (m_pressed.kind == ScreenRenderer::Hit::Status) {
        StatusImages_MouseDown(m_pressed.index, button);
    }
}

void DisplayControl::MouseUp(Qt::MouseButton button) {
    // A click belongs to what was pressed, even when the press redrew the screen under it.
    if (!m_pressValid || button != Qt::LeftButton) {
        return;
    }
    m_pressValid = false;
    if (m_pressed.kind == ScreenRenderer::Hit::Background) {
        BackGround_Click();
    } else if (m_pressed.kind == ScreenRenderer::Hit::Label) {
        OverlayLabel_Click(m_pressed.index);
    } else if (m_pressed.kind == ScreenRenderer::Hit::Overlay && m_pressedEntry > 0) {
        Q_EMIT mainMenuEntryOpened(m_pressedEntry);
    }
}

void DisplayControl::Click(QPoint at) {
    MouseDown(at, Qt::LeftButton);
    MouseUp(Qt::LeftButton);
}

QString DisplayControl::screenTitle() const {
    return ScreenTitle(screen, m_radio.status().screenName);
}

void DisplayControl::DoubleClick(QPoint at, Qt::MouseButton button) {
    // Qt delivers a double click in place of the second press: the first click has done its
    // work (sent its key, opened its icon). Only a key that repeats when held goes again.
    const ScreenRenderer::Hit hit = screen.hitTest(at);
    if (button != Qt::LeftButton) {
        return;
    }
    if (hit.kind == ScreenRenderer::Hit::Label) {
        OverlayLabel_DblClick(hit.index);
        return;
    }
    const bool status = hit.kind == ScreenRenderer::Hit::Status;
    if (!status && hit.kind != ScreenRenderer::Hit::Overlay) {
        return;
    }
    const ScreenDef *def = definitionAt(m_skin, status ? m_skin.CurrentStatusSet : m_skin.CurrentMenu);
    if (def && hit.index >= 0 && std::size_t(hit.index) < def->Overlays.size() &&
        RepeatsWhenHeld(def->Overlays[std::size_t(hit.index)].Command)) {
        DoCommand(qint16(hit.index), status);
    }
}

QString DisplayControl::SearchKeyFilter(QChar typed) {
    if (typed == u'\b' || typed == u'\r' || typed == u'\n' || typed == u' ' || typed == u'_' || typed == u'^' ||
        typed == u'*') {
        return QString(typed);
    }
    if (typed == u'.') {
        return QStringLiteral("_");
    }
    if ((typed >= u'0' && typed <= u'9') || (typed >= u'a' && typed <= u'z')) {
        return QString(typed);
    }
    if (typed >= u'A' && typed <= u'Z') {
        return QString(typed.toLower());
    }
    return {};
}

void DisplayControl::setSearchText(const QString &text) {
    SearchText = text;
    Q_EMIT searchBoxChanged();
}

void DisplayControl::typeSearchText(const QString &text) {
    SearchForText_Change(text);
    Q_EMIT searchBoxChanged();
}

void DisplayControl::SearchForText_Change(const QString &text) {
    SearchText = text;
    if (m_radio.macroRunning()) {
        return;
    }
    if (SearchText.endsWith(u'_')) {
        SearchForText_DblClick();
    }
    if (SearchText.endsWith(u'_')) {
        SearchText.chop(1);
        Q_EMIT searchBoxChanged();
    }
}

void DisplayControl::SearchForText_DblClick() {
    if (m_radio.macroRunning() || m_radio.reported(RadioSession::Ask::Menu) != u"14") {
        return;
    }
    SearchEnabled = false;
    Q_EMIT searchBoxChanged();
    // Fed as the queue drains: a text of any length goes whole, one key per answer.
    m_radio.typeKeys(TypingKeys(SearchText));
    QString kept = SearchText;
    if (kept.endsWith(u'_')) {
        kept.chop(1);
    }
    SearchEnabled = true;
    setSearchText(kept);
}

bool DisplayControl::KeyPress(const KeyStroke &stroke) {
    const bool chord = (stroke.modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0;
    if (m_view.SearchBoxVisible && !chord) {
        if (stroke.key == Qt::Key_Return || stroke.key == Qt::Key_Enter) {
            // A held Enter would type the word again on every repeat.
            if (!stroke.autoRepeat) {
                typeSearchText(SearchText + SearchKeyFilter(u'.'));
            }
            return true;
        }
        if (stroke.key == Qt::Key_Backspace) {
            if (!SearchText.isEmpty()) {
                typeSearchText(SearchText.chopped(1));
            }
            return true;
        }
        const QString kept = stroke.text.size() == 1 ? SearchKeyFilter(stroke.text.front()) : QString();
        if (stroke.autoRepeat && kept == SearchKeyFilter(u'.')) {
            return true; // the search's start mark, held: once is enough, as with Enter
        }
        if (!kept.isEmpty() && kept.front().isPrint()) {
            typeSearchText(SearchText + kept);
            return true;
        }
    }
    const QString command = RadioKeyToPress(stroke, m_radio.commandsWaiting());
    if (!command.isEmpty()) {
        m_radio.pressKey(command);
    }
    // A held key's ignored repeat is still the window's key.
    return !RadioKeyOf(stroke.key, stroke.modifiers).isEmpty();
}

void DisplayControl::StartPleaseWait() {
    m_pleaseWaitTimer->setEnabled(true);
}

void DisplayControl::WatchMetaStatus() {
    // The status is the sixth line of the expanded now-playing reply.
    const QString status =
        m_view.MetaListEnabled && m_view.MetaList.size() > 5 ? m_view.MetaList[5].toLower() : QString();
    const bool waits = StartingUp(status);
    if (waits && !m_radioWaited) {
        if (m_waitFrame == -2) {
            m_waitFrame = 0;
        }
        StartPleaseWait();
    }
    m_radioWaited = waits;
}

void DisplayControl::StopPleaseWait() {
    m_waitFrame = -2;
}

void DisplayControl::PleaseWaitTimer_Timer() {
    DrawnItem &image = screen.PleaseWaitImage;
    if (m_waitFrame == -2) {
        const bool shown = image.Visible;
        image.Visible = false;
        m_waitFrame = 0;
        m_pleaseWaitTimer->setEnabled(false);
        if (shown) {
            Q_EMIT changed();
        }
        return;
    }
    if (m_waitFrame > 8 || m_waitFrame < 0) {
        m_waitFrame = 1;
    }
    image.Visible = true;
    screen.LoadThePicture(QStringLiteral("320x240/other/loading_0") + QString::number(m_waitFrame), image);
    if (m_waitFrame == 0) {
        image.Left = (ScreenRenderer::ScreenWidth - image.Width()) / 2;
        image.Top = (ScreenRenderer::ScreenHeight - image.Height()) / 2;
    }
    m_waitFrame = qint16(m_waitFrame >= 8 ? 1 : m_waitFrame + 1);
    Q_EMIT changed();
}
