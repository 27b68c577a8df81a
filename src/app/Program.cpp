#include "app/Program.h"

#include "app/Version.h"
#include "console/ConsoleWindow.h"
#include "display/DisplayWindow.h"
#include "finder/FirstContact.h"
#include "finder/FirstRunDialog.h"
#include "info_panel/InfoWindow.h"
#include "macros/MacroWindow.h"
#include "main_window/ConfigForm.h"
#include "main_window/MainWindow.h"
#include "main_window/MainWindowRules.h"
#include "platform/Platform.h"
#include "remote/LayoutEditorPanel.h"
#include "remote/RemoteWindow.h"
#include "session/MacroRunner.h"
#include "session/RadioView.h"
#include "settings/GeneralSettings.h"
#include "settings/SettingsSaver.h"
#include "settings/WidgetPlacement.h"
#include "update/UpdateWindow.h"

#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QMessageBox>
#include <QTextStream>

#include <concepts>
#include <functional>
#include <memory>
#include <type_traits>

namespace {

// Every window the program holds has one shape: an object made wired to what it needs (placed,
// and loaded where the window loads at once), reached through form() (and logic() where it
// has logic of its own), not copied, and unloaded (its place saved) when destroyed. The main
// window is the one exception to the last point: it stays until the program object goes.
template <class W>
concept ProgramWindow = !std::is_copy_constructible_v<W> && requires(W & window) {
    { window.form() } -> std::convertible_to<QWidget &>;
};
static_assert(ProgramWindow<MainWindow> && ProgramWindow<RemoteWindow> && ProgramWindow<InfoWindow> &&
              ProgramWindow<DisplayWindow> && ProgramWindow<MacroWindow> && ProgramWindow<ConsoleWindow> &&
              ProgramWindow<UpdateWindow>);

QString settingsFileFor(INIFILES &ini, const QString &folder, const QString &executableName) {
    ini.SetProgramPaths(QDir(folder).filePath(executableName));
    return ini.SettingsFile();
}

} // namespace

Program::Program(Platform &platform, const QString &programFolder, const QString &executableName, QObject *parent)
    : QObject(parent)
    , m_platform(platform)
    , m_instance(settingsFileFor(m_ini, programFolder, executableName)) {}

// The members go in the reverse of their order: the windows before the link.
Program::~Program() = default;

ConfigForm &Program::mainWindow() {
    return m_main->form();
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/%1x%1/apps/" CV_APP_ID ".png").arg(side), QSize(side, side));
    }
    return icon;
}

bool Program::start() {
    if (QGuiApplication::windowIcon().availableSizes().isEmpty()) {
        QGuiApplication::setWindowIcon(ProgramIcon());
    }
    if (!m_instance.TryAcquire()) {
        m_instance.AskRunningCopyToShow();
        Q_EMIT secondCopyRefused();
        return false;
    }

    // Only the copy that holds the folder may move a damaged settings file aside.
    const bool firstStart = m_ini.OpenSettingsFile() == INIFILES::FileState::Missing;
    m_saver = std::make_unique<SettingsSaver>(m_ini, m_platform.createTimer());

    // Empty queues with one free slot each and a host cache holding only its unused slot 0.
    m_session = std::make_unique<RadioSession>(m_platform, m_ini);
    connect(m_session.get(), &RadioSession::skinLoaded, this, &Program::skinReloaded);

    m_main = std::make_unique<MainWindow>(m_commands, m_ini);

    m_main->form().setWindowTitle(MainCaption());

    GeneralSettings settings;
    ReadGeneralSettings(m_ini, settings);
    m_layout.CurrentRemote = settings.LastRemote;
    m_main->form().applySettings(settings);
    m_session->setLinkOptions(RadioSession::linkOptionsOf(settings));

    const QStringList layouts = LayoutNamesIn(m_ini.ProgramFolder());
    m_main->form().layoutEditor().setLayoutNames(layouts, int(LayoutListSelection(layouts, m_layout.CurrentRemote)));

    wireRemote();

    // Loads the command list, the skin, the timeouts, the macros and the current layout.
    ReloadButton_Click();

    wireMainWindow();
    wireDisplay();
    wireConsole();
    wireUpdate();
    m_main->show();
    m_remote->show();
    m_info = std::make_unique<InfoWindow>(m_session->infoPanel(), m_session->view(), m_ini, m_main->form());
    wireMacros();
    wireBetweenWindows();
    LineUpAtFirstStart(m_ini, {&m_main->form(), &m_remote->form(), &m_info->form()},
                       {QStringLiteral("ConfigForm"), QStringLiteral("RemoteForm"), QStringLiteral("InfoForm")});
    m_display->reopen();

    SelectPowerCommand(m_commands);
    m_session->askAtStart();
    m_session->start();
    wireMpris();
    wireSettings();
    wireFirstRun(firstStart);
    return true;
}

void Program::ReloadButton_Click() {
    const QString picture =
        ReloadDataFiles(ReloadData{m_ini, m_commands, m_layout, *m_session}, &m_remote->placement());
    m_remote->showLayout(picture);
    m_remote->show();
    if (m_main) {
        tellSettings(m_ini.takeNotices());
    }
}

namespace {

// Calls back when the watched window has been moved or resized.
class PlaceWatcher final : public QObject {
public:
    PlaceWatcher(QWidget &window, std::function<void()> moved, QObject *parent)
        : QObject(parent)
        , m_moved(std::move(moved)) {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            const auto *window = qobject_cast<QWidget *>(watched);
            if (window != nullptr && window->isVisible()) {
                m_moved();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_moved;
};

} // namespace

void Program::wireSettings() {
    QObject *wiring = m_wiring.get();
    ConfigForm &form = m_main->form();
    // Kept in memory as the user changes them; the saver writes them a few seconds later.
    const auto keepGeneral = [this] {
        GeneralSettings settings;
        m_main->form().collectSettings(settings);
        settings.LastRemote = m_layout.CurrentRemote;
        WriteGeneralSettings(m_ini, settings);
    };
    connect(&form, &ConfigForm::urlEdited, wiring, keepGeneral);
    connect(&form, &ConfigForm::portEdited, wiring, keepGeneral);
    connect(&form, &ConfigForm::keepConnectedToggled, wiring, keepGeneral);
    connect(&form, &ConfigForm::auto21BackoutToggled, wiring, keepGeneral);
    connect(&form, &ConfigForm::autoRefreshToggled, wiring, keepGeneral);
    connect(&form, &ConfigForm::terminalUnlockToggled, wiring, keepGeneral);

    new PlaceWatcher(
        form, [this] { m_main->savePlace(); }, wiring);
    new PlaceWatcher(
        m_remote->form(),
        [this] {
            m_ini.SaveWindowPlacement(m_remote->placement(), false);
            m_ini.SaveRemotePlacement(m_layout.CurrentRemote, m_remote->placement());
        },
        wiring);
    auto infoPlace = std::make_shared<WidgetPlacement>(m_info->form(), QStringLiteral("InfoForm"));
    new PlaceWatcher(
        m_info->form(), [this, infoPlace] { m_ini.SaveWindowPlacement(*infoPlace, false); }, wiring);

    connect(m_saver.get(), &SettingsSaver::saveFailed, wiring, [this](const QString &message) {
        tellSettings({message + QStringLiteral(" It is tried again at the next change and at the close.")});
    });
    connect(m_saver.get(), &SettingsSaver::savedAgain, wiring,
            [this] { tellSettings({QStringLiteral("Settings: saved again.")}); });
    tellSettings(m_ini.takeNotices());
}

void Program::tellSettings(const QStringList &lines) {
    QTextStream err(stderr);
    for (const QString &line : lines) {
        err << line << Qt::endl;
        if (m_session) {
            m_session->notice(line);
        }
    }
}

void Program::wireMainWindow() {
    ConfigForm &form = m_main->form();
    RadioView &view = m_session->view();
    connect(&form, &ConfigForm::unloading, this, &Program::Form_Unload);

    m_wiring = std::make_unique<QObject>();
    QObject *wiring = m_wiring.get();

    // The main window's inputs are the link's options; keep them in step.
    RadioSession &session = *m_session;
    const auto option = [&session](auto change) {
        LinkOptions options = session.linkOptions();
        change(options);
        session.setLinkOptions(options);
    };
    connect(&form, &ConfigForm::urlEdited, wiring,
            [option](const QString &text) { option([&text](LinkOptions &o) { o.host = text; }); });
    connect(&form, &ConfigForm::portEdited, wiring,
            [option](const QString &text) { option([&text](LinkOptions &o) { o.port = text; }); });
    // A change of "Keep As Connected" opens or lets go of the connection (the session does it).
    connect(&form, &ConfigForm::keepConnectedToggled, wiring,
            [option](bool on) { option([on](LinkOptions &o) { o.keepConnected = on; }); });
    connect(&form, &ConfigForm::auto21BackoutToggled, wiring,
            [option](bool on) { option([on](LinkOptions &o) { o.backOutOfErrorScreen = on; }); });
    connect(&form, &ConfigForm::autoRefreshToggled, wiring,
            [option](bool on) { option([on](LinkOptions &o) { o.refreshLabels = on; }); });
    // Ticked by hand, the labels catch up at once; unticked, the next poll waits a whole interval.
    connect(&form, &ConfigForm::autoRefreshClicked, wiring, [&session](bool ticked) {
        if (ticked) {
            session.refresh(RadioSession::Refresh::Screen);
        } else {
            session.postponeRefresh();
        }
    });

    connect(&form, &ConfigForm::connectClicked, wiring, [&session] { session.connectRadio(); });
    connect(&form, &ConfigForm::disconnectClicked, wiring, [&session] { session.disconnectRadio(); });
    connect(&form, &ConfigForm::retryClicked, wiring, [&session] { session.retry(); });
    connect(&form, &ConfigForm::reloadRequested, wiring, [this] { ReloadButton_Click(); });
    connect(&form, &ConfigForm::aboutRequested, wiring,
            [this, &form] { form.showAbout(AboutText(VersionString(), m_ini.ProgramFolder())); });
    connect(&form, &ConfigForm::statusPanelClicked, wiring, [&session] { session.cancelConnecting(); });

    // Starting the program again brings this copy to the front, until it closes.
    connect(&m_instance.channel(), &InstanceChannel::showRequested, wiring, [this] { m_main->bringToFront(); });

    connect(&form, &ConfigForm::sendCommand, wiring,
            [&session](const QString &command) { session.sendCommand(command); });

    connect(&view, &RadioView::changed, wiring, [&form, &view] { form.render(view); });
    connect(&form, &ConfigForm::terminalCleared, wiring, [&view] {
        view.clearTerminal();
        view.flush();
    });
    connect(&form, &ConfigForm::terminalUnlockToggled, wiring, [&view](bool on) { view.TerminalUnlocked = on; });
    // The box may have been ticked by the settings before this wiring.
    view.TerminalUnlocked = form.terminalUnlocked();
    connect(&form, &ConfigForm::terminalEdited, wiring, [&view](const QString &text) {
        view.editTerminal(text);
        view.flush();
    });
    form.render(view);
}

void Program::Terminate() {
    m_closeByUser = false;
    Close();
}

void Program::Close() {
    if (m_main) {
        m_main->form().close();
    }
    Form_Unload(); // in case the window was never shown or ignored the close
}

void Program::Form_Unload() {
    if (m_unloaded || !m_main) {
        return;
    }
    m_unloaded = true;
    m_firstRun.reset();
    m_firstContact.reset();

    GeneralSettings settings;
    m_main->form().collectSettings(settings);
    settings.LastRemote = m_layout.CurrentRemote;
    WriteGeneralSettings(m_ini, settings);

    // The console, display, information, macro, remote and update windows close in that
    // order; each saves its place as it goes. The console goes with the link whose connect
    // wait it shares; nothing of a macro run may tick once the link is gone. The remote window
    // stays (closed, cut loose from the link) until the program object goes.
    m_console.reset();
    m_display.reset();
    m_info.reset();
    m_macroWindow.reset();
    m_remote->close();
    QObject::disconnect(&m_session->view(), nullptr, &m_remote->form(), nullptr);
    m_update.reset();

    m_main->savePlace();

    // Everything above went into memory; this is the one write of the settings file.
    const INIFILES::SaveResult saved = m_saver->saveNow();
    if (!saved.ok) {
        tellSettings({saved.error});
    }

    // Nothing else is held open: every file is read and written in one piece.

    m_session->closeConnections();

    // The program ends here. The link goes with it, so no timer still due (the reply tick with
    // "Keep As Connected", a connection attempt in flight, the display refresh) can open a
    // socket again before the event loop stops.
    m_mpris.reset();
    m_wiring.reset();
    m_session.reset();

    if (!saved.ok && m_closeByUser && m_main->form().isVisible()) {
        closeWhenTold(saved.error);
        return;
    }
    Q_EMIT ended();
}

void Program::closeWhenTold(const QString &failure) {
    // The main window stays until the user has read why the settings were not saved; the box
    // is not modal to a loop of its own, the program simply ends when it is closed.
    ConfigForm &form = m_main->form();
    form.holdThisClose();
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("CV Remote"),
                                QStringLiteral("CV Remote could not save its settings."), QMessageBox::Ok, &form);
    box->setInformativeText(failure);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    connect(box, &QMessageBox::finished, this, [this] {
        m_main->form().close();
        Q_EMIT ended();
    });
    box->open();
}
