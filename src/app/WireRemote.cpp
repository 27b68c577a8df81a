#include "app/WireRemote.h"

#include "main_window/CommandList.h"
#include "main_window/ConfigForm.h"
#include "platform/Platform.h"
#include "radio_link/RadioLink.h"
#include "remote/RemoteControl.h"
#include "remote/RemoteForm.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/WidgetPlacement.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>

std::unique_ptr<RemoteWiring> WireRemote(RemoteContext context) {
    return std::make_unique<RemoteWiring>(std::move(context));
}

RemoteWiring::RemoteWiring(RemoteContext context)
    : m_context(std::move(context)) {
    RemoteContext &c = m_context;
    m_control = std::make_unique<RemoteControl>(c.layout, editor, c.ini, c.platform.createTimer());
    m_window = std::make_unique<RemoteForm>(*m_control);
    m_placement = std::make_unique<WidgetPlacement>(*m_window, QStringLiteral("RemoteForm"));
    m_control->setPlacedWindow(m_placement.get());
    RemoteControl &control = *m_control;
    CommandList &commands = c.commands;
    RadioLink &link = c.link;

    RemoteHooks &hooks = control.hooks;
    hooks.sendKey = [&c](const QString &command) { SendRemoteKey(c.link.telnet, c.state, c.timeouts, command); };
    hooks.connect = [&link] { link.connection.ConnectButton_Click(); };
    hooks.disconnect = [&link] { link.connection.DisconnectButton_Click(); };
    hooks.keepAsConnected = [&link] { return link.settings.KeepAsConnected; };
    hooks.selectCommand = [&commands](const QString &command) {
        const int index = commands.indexOf(command);
        if (index >= 0) {
            commands.select(index);
        }
    };
    hooks.layoutLoaded = [&commands, &control] {
        control.TheList_Click(CommandList::StripMarks(commands.selectedEntry()));
    };

    QObject *window = m_window.get();
    QObject::connect(&commands, &CommandList::selectionChanged, window,
                     [&control](int, const QString &command) { control.TheList_Click(command); });
    QObject::connect(&link.view, &LinkView::changed, window,
                     [&control, &link] { control.setPointerBorderColour(link.view.PointerBorderColour); });

    ConfigForm &form = c.form;
    form.attachLayoutEditor(editor);
    QObject::connect(&form, &ConfigForm::layoutBoxEdited, window,
                     [this](int box, const QString &text) { editor.setBox(box, text); });
    QObject::connect(&form, &ConfigForm::layoutBoxFocused, window, [this](int box) { editor.FocusBox(box); });
    QObject::connect(&form, &ConfigForm::layoutBoxArrow, window, [this, &control](int box, bool up) {
        editor.ArrowKey(box, up);
        control.PositionFixedGuide();
    });
    QObject::connect(form.SetButton(), &QPushButton::clicked, window, [this, &c, &commands, &control] {
        editor.SetButton_Click(c.layout, CommandList::StripMarks(commands.selectedEntry()));
        control.PositionFixedGuide();
    });
    QObject::connect(form.UpdateButtons(), &QPushButton::clicked, window,
                     [this, &c] { editor.UpdateButtons_Click(c.layout, c.ini, m_placement.get()); });
    QObject::connect(form.ReloadButton(), &QPushButton::clicked, window, [&c] { c.reload(); });
    QObject::connect(form.RemoteList(), &QListWidget::itemDoubleClicked, window, [&c, &control](QListWidgetItem *item) {
        control.ChooseLayout(item->text());
        c.reload();
    });
    QObject::connect(form.ShowPointer(), &QCheckBox::clicked, window,
                     [&control](bool on) { control.ShowPointer_Click(on); });
    QObject::connect(form.StaticPointer(), &QCheckBox::clicked, window,
                     [&control](bool on) { control.StaticPointer_Click(on); });

    placeBesideMainWindow();
    // The window's own load: its stored place, then the current layout.
    control.Form_Load();
}

RemoteWiring::~RemoteWiring() {
    // The window renders the control; it goes first.
    m_window.reset();
}

void RemoteWiring::placeBesideMainWindow() {
    // Without a stored place the remote stands right of the main window, on the screen. (On a
    // first start the program then lines up all the windows it opens.)
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (screen == nullptr ||
        !m_context.ini.ReadSetting(QStringLiteral("RemoteForm"), QStringLiteral("FC"), QString()).isEmpty()) {
        return;
    }
    const QRect area = screen->availableGeometry();
    const ConfigForm &form = m_context.form;
    constexpr int gap = 12;
    const int left = std::min(form.x() + form.width() + gap, area.right() - m_window->width());
    m_window->move(std::max(area.left(), left), form.y());
}

PlacedWindow &RemoteWiring::placement() {
    return *m_placement;
}

void RemoteWiring::showLayout(const QString &picturePath) {
    m_control->showLayout(picturePath);
}

void RemoteWiring::showWindow() {
    if (m_window->isMinimized()) {
        m_window->showNormal();
    }
    m_window->show();
    m_window->raise();
}

void RemoteWiring::close() {
    m_window->closeByProgram();
    m_control->hooks = RemoteHooks{};
    QObject::disconnect(&m_context.link.view, nullptr, m_window.get(), nullptr);
}
