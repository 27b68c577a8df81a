#include "remote/RemoteControl.h"

#include "keyboard/KeyMap.h"
#include "platform/Imaging.h"
#include "platform/NumericText.h"
#include "platform/Timer.h"
#include "remote/LayoutEditor.h"
#include "remote/RemoteLayout.h"
#include "settings/INIFILES.h"
#include "settings/PlacedWindow.h"
#include "settings/Timeouts.h"

#include <QFileInfo>
#include <QImageReader>

#include <cmath>

bool Between(qint16 value, qint16 low, qint16 high) {
    return low <= value && value <= high;
}

int HitTest(const std::vector<RemoteButton> &buttons, qint16 yp, qint16 xp) {
    for (size_t i = 0; i < buttons.size(); ++i) {
        const RemoteButton &b = buttons[i];
        if (Between(yp, b.Top, b.Bottom) && Between(xp, b.Left, b.Right)) {
            return int(i);
        }
    }
    return -1;
}

qint16 PercentOf(double position, double extent) {
    if (!(extent > 0) || !std::isfinite(position)) {
        return 0;
    }
    // A drag that leaves the picture still reports positions; keep them in the 16-bit range.
    return qint16(std::clamp(std::floor(100.0 * position / extent), -32768.0, 32767.0));
}

QString PixelPanelText(QPointF at) {
    return QStringLiteral("Y=") + NumericText::SingleText(float(at.y())) + QStringLiteral(", X=") +
           NumericText::SingleText(float(at.x()));
}

QString CommandPanelText(const QString &command) {
    return QStringLiteral("rC= ") + command;
}

QString PercentPanelText(qint16 yp, qint16 xp) {
    return QStringLiteral("Yp=") + QString::number(yp) + QStringLiteral(" Xp=") + QString::number(xp);
}

ClickModifiers ClickModifiersOf(Qt::KeyboardModifiers modifiers) {
    const Qt::KeyboardModifiers held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (held == Qt::NoModifier) {
        return ClickModifiers::None;
    }
    return held == Qt::ShiftModifier ? ClickModifiers::ShiftAlone : ClickModifiers::Other;
}

QString ReadLayoutPicture(const QString &path, QImage &picture) {
    const QString name = QFileInfo(path).fileName();
    QImageReader reader(path);
    // Cameras store the picture sideways and say which way is up.
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > MaxPicturePixels) {
        return QStringLiteral("%1 is too large (%2 x %3)").arg(name).arg(size.width()).arg(size.height());
    }
    if (size.isValid() && (size.width() > MaxPictureSide || size.height() > MaxPictureSide)) {
        reader.setScaledSize(size.scaled(MaxPictureSide, MaxPictureSide, Qt::KeepAspectRatio).expandedTo({1, 1}));
    }
    QImage image = reader.read();
    image.setDevicePixelRatio(1); // counted in its own pixels, also a "name@2x" file
    if (image.isNull()) {
        return QStringLiteral("%1 cannot be read as a picture").arg(name);
    }
    if (qint64(image.width()) * image.height() > MaxPicturePixels) {
        return QStringLiteral("%1 is too large (%2 x %3)").arg(name).arg(image.width()).arg(image.height());
    }
    picture = image;
    return QString();
}

QString DropProblem(const QString &path, QImage &picture) {
    const QString refused = QStringLiteral("Not a layout: ");
    if (path.isEmpty()) {
        return refused + QStringLiteral("only files can be dropped here");
    }
    const QFileInfo info(path);
    if (info.isDir()) {
        return refused + QStringLiteral("%1 is a folder").arg(info.fileName());
    }
    if (!info.isFile()) {
        return refused + QStringLiteral("%1 does not exist").arg(info.fileName());
    }
    const QString base = LayoutBaseName(path);
    const QString baseFile = QFileInfo(base).fileName();
    if (!IsLayoutName(base) || LayoutFile(base, QStringLiteral(".txt")).isEmpty()) {
        return refused + QStringLiteral("no %1.txt beside %2").arg(baseFile, info.fileName());
    }
    const QString picturePath = LayoutPicture(base);
    if (picturePath.isEmpty()) {
        return refused + QStringLiteral("no picture of %1 beside %2").arg(baseFile, info.fileName());
    }
    const QString problem = ReadLayoutPicture(picturePath, picture);
    return problem.isEmpty() ? QString() : refused + problem;
}

QRect FittedPictureRect(QSize picture, QSize area) {
    if (picture.isEmpty() || area.isEmpty()) {
        return QRect(QPoint(0, 0), area);
    }
    const QSize shown = picture.scaled(area, Qt::KeepAspectRatio);
    return QRect(QPoint((area.width() - shown.width()) / 2, (area.height() - shown.height()) / 2), shown);
}

QRectF PointerAid::geometry() const {
    if (shape == Oval) {
        return QRectF(ovalCentre.x() - OvalSize / 2, ovalCentre.y() - OvalSize / 2, OvalSize, OvalSize);
    }
    return marked;
}

RemoteControl::RemoteControl(RemoteLayout &layout, LayoutEditor &editor, INIFILES &settings,
                             std::unique_ptr<Timer> loseAid)
    : m_layout(layout)
    , m_editor(editor)
    , m_settings(settings)
    , m_loseAid(std::move(loseAid)) {
    m_loseAid->setInterval(LoseAidInterval);
    m_loseAid->setEnabled(false);
    connect(m_loseAid.get(), &Timer::timeout, this, &RemoteControl::LoseAid_Timer);
}

RemoteControl::~RemoteControl() = default;

void RemoteControl::setPictureSize(QSizeF size) {
    if (size == m_pictureSize) {
        return;
    }
    // The marked rectangle keeps its place in percent of the picture.
    if (m_pictureSize.width() > 0 && m_pictureSize.height() > 0) {
        const double sx = size.width() / m_pictureSize.width();
        const double sy = size.height() / m_pictureSize.height();
        m_aid.marked =
            QRectF(m_aid.marked.x() * sx, m_aid.marked.y() * sy, m_aid.marked.width() * sx, m_aid.marked.height() * sy);
    }
    m_pictureSize = size;
    Q_EMIT changed();
}

QList<RemoteControl::Key> RemoteControl::keys() const {
    QList<Key> keys;
    const double w = m_pictureSize.width() / 100, h = m_pictureSize.height() / 100;
    for (size_t i = 0; i < m_layout.RemoteButtons.size(); ++i) {
        const RemoteButton &b = m_layout.RemoteButtons[i];
        if (!b.Function.isEmpty()) {
            keys << Key{int(i), b.Function, QRectF(QPointF(b.Left * w, b.Top * h), QPointF(b.Right * w, b.Bottom * h))};
        }
    }
    return keys;
}

void RemoteControl::pressKey(int index) {
    if (index < 0 || size_t(index) >= m_layout.RemoteButtons.size()) {
        return;
    }
    // Copied: a hook may reload the layout.
    const QString command = m_layout.RemoteButtons[size_t(index)].Function;
    if (command.isEmpty()) {
        return;
    }
    if (RemoteActions *a = actions()) {
        a->selectCommand(command);
        a->sendKey(command);
    }
    setPanel(2, CommandPanelText(command));
    Q_EMIT changed();
}

void RemoteControl::setPointerBorderColour(int colour) {
    // The link paints the colour on every command it sends; it shows only on a visible aid.
    if (colour != m_pointerBorderColour) {
        m_pointerBorderColour = colour;
        if (m_aid.visible) {
            Q_EMIT changed();
        }
    }
}

RemoteActions *RemoteControl::actions() {
    if (m_actions == nullptr && !m_detached) {
        qFatal("RemoteControl: a request came before the program set who answers it");
    }
    return m_actions;
}

void RemoteControl::detachActions() {
    m_actions = nullptr;
    m_detached = true;
}

void RemoteControl::LoadLayout(const QString &name) {
    showLayout(::LoadLayout(m_layout, name, m_settings, m_window));
}

void RemoteControl::showLayout(const QString &picturePath) {
    showPicture(picturePath, nullptr);
    if (RemoteActions *a = actions()) {
        a->layoutLoaded(*this);
    }
    Q_EMIT changed();
}

void RemoteControl::showPicture(const QString &path, const QImage *decoded) {
    if (path.isEmpty()) {
        return; // no picture: the one shown stays
    }
    if (decoded != nullptr) {
        m_picture = *decoded;
    } else {
        QImage image;
        const QString problem = ReadLayoutPicture(path, image);
        if (!problem.isEmpty()) {
            setPanel(2, problem);
            return;
        }
        m_picture = image;
    }
    // The same remote drawn at twice the size, for sharp keys on a high-resolution screen; one
    // of another size is not the same drawing and is left alone.
    m_sharpPicture = QImage();
    QImage sharp;
    if (const QString sharpPath = Imaging::DoubleSizeFile(path);
        !sharpPath.isEmpty() && ReadLayoutPicture(sharpPath, sharp).isEmpty() && sharp.size() == m_picture.size() * 2) {
        m_sharpPicture = sharp;
    }
}

void RemoteControl::ChooseLayout(const QString &name) {
    // Reload then loads the same name it finds current, which would skip this.
    if (m_window != nullptr && !m_layout.CurrentRemote.isEmpty() && name != m_layout.CurrentRemote) {
        m_settings.SaveRemotePlacement(m_layout.CurrentRemote, *m_window);
    }
    m_layout.CurrentRemote = name;
}

void RemoteControl::Form_Load() {
    if (m_window != nullptr) {
        m_settings.RestoreWindowPlacement(*m_window);
    }
    LoadLayout(m_layout.CurrentRemote);
}

void RemoteControl::Form_Unload() {
    if (m_window == nullptr) {
        return;
    }
    m_window->hideWindow();
    m_settings.SaveWindowPlacement(*m_window, false);
    m_settings.SaveRemotePlacement(m_layout.CurrentRemote, *m_window);
}

void RemoteControl::RemoteImage_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
    const qint16 yp = PercentOf(at.y(), m_pictureSize.height());
    const qint16 xp = PercentOf(at.x(), m_pictureSize.width());
    const int hit = HitTest(m_layout.RemoteButtons, yp, xp);
    // Copied: a hook may reload the layout.
    const QString command = hit >= 0 ? m_layout.RemoteButtons[size_t(hit)].Function : QString();
    const ClickModifiers held = ClickModifiersOf(modifiers);

    if (!command.isEmpty()) {
        if (RemoteActions *a = actions()) {
            a->selectCommand(command);
        }
    }
    if (!command.isEmpty() && button == Qt::LeftButton && held == ClickModifiers::None) {
        if (RemoteActions *a = actions()) {
            a->sendKey(command);
        }
    }
    if (command.isEmpty()) {
        // A click beside the buttons opens the connection.
        if (RemoteActions *a = actions()) {
            a->connectRadio();
        }
    }

    switch (held) {
    case ClickModifiers::None:
        if (!m_editor.StaticPointer) {
            m_aid.shape = PointerAid::Oval;
            m_aid.ovalCentre = at;
            m_aid.visible = m_editor.ShowPointer;
            wakeLoseAid();
        }
        m_editor.ClearChoice();
        break;
    case ClickModifiers::ShiftAlone:
        m_editor.CaptureStep(button == Qt::RightButton, yp, xp);
        PositionFixedGuide();
        break;
    case ClickModifiers::Other:
        PositionFixedGuide();
        break;
    }

    setPanel(1, PixelPanelText(at));
    setPanel(2, CommandPanelText(command));
    setPanel(3, PercentPanelText(yp, xp));
    Q_EMIT changed();
}

void RemoteControl::RemoteImage_DblClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPointF at) {
    const int hit = HitTest(m_layout.RemoteButtons, PercentOf(at.y(), m_pictureSize.height()),
                            PercentOf(at.x(), m_pictureSize.width()));
    const QString command = hit >= 0 ? m_layout.RemoteButtons[size_t(hit)].Function : QString();
    if (!command.isEmpty() && button == Qt::LeftButton && ClickModifiersOf(modifiers) == ClickModifiers::None &&
        !RepeatsWhenHeld(command)) {
        return;
    }
    RemoteImage_MouseDown(button, modifiers, at);
}

void RemoteControl::RemoteImage_MouseMove(Qt::KeyboardModifiers modifiers, QPointF at) {
    if (!m_editor.StaticPointer && ClickModifiersOf(modifiers) == ClickModifiers::None) {
        m_aid.shape = PointerAid::Oval;
        m_aid.ovalCentre = at;
    } else {
        // Fixed on the top left corner of the editor's rectangle, at its last size.
        const std::array<qint16, 4> edges = m_editor.edges();
        m_aid.shape = PointerAid::Rectangle;
        m_aid.marked.moveTopLeft(
            QPointF(m_pictureSize.width() / 100 * edges[2], m_pictureSize.height() / 100 * edges[0]));
    }
    m_aid.visible = m_editor.ShowPointer;
    restartLoseAid();
    setPanel(1, PixelPanelText(at));
    setPanel(3, PercentPanelText(PercentOf(at.y(), m_pictureSize.height()), PercentOf(at.x(), m_pictureSize.width())));
    Q_EMIT changed();
}

void RemoteControl::RemoteImage_OLEDragDrop(const QString &path) {
    QImage picture;
    const QString problem = DropProblem(path, picture);
    if (!problem.isEmpty()) {
        setPanel(2, problem);
        Q_EMIT changed();
        return;
    }
    const QString picturePath = ::LoadLayout(m_layout, path, m_settings, m_window);
    showPicture(picturePath, &picture);
    if (RemoteActions *a = actions()) {
        a->layoutLoaded(*this);
    }
    Q_EMIT changed();
}

bool RemoteControl::KeyPress(const KeyStroke &stroke) {
    RemoteActions *a = actions();
    if (a == nullptr) {
        return false;
    }
    const QString command = RadioKeyToPress(stroke, a->waitingCommands());
    if (!command.isEmpty()) {
        a->selectCommand(command);
        a->sendKey(command);
        setPanel(2, CommandPanelText(command));
        Q_EMIT changed();
    }
    // A held key's ignored repeat is still the window's key.
    return !RadioKeyOf(stroke.key, stroke.modifiers).isEmpty();
}

QString RemoteControl::toolTipAt(QPointF at) const {
    const int hit = HitTest(m_layout.RemoteButtons, PercentOf(at.y(), m_pictureSize.height()),
                            PercentOf(at.x(), m_pictureSize.width()));
    return hit < 0 ? QString() : ButtonToolTip(m_layout.RemoteButtons[size_t(hit)].Function);
}

void RemoteControl::LoseAid_Timer() {
    // With the aid gone the time-out has nothing left to do until the aid shows again.
    m_loseAid->setEnabled(false);
    if (m_aid.visible) {
        m_aid.visible = false;
        Q_EMIT changed();
    }
}

void RemoteControl::StatusBar1_PanelClick(int panel) {
    if (panel == 1 || panel == 2) {
        if (RemoteActions *a = actions()) {
            if (a->keepAsConnected()) {
                a->connectRadio();
            } else {
                a->disconnectRadio();
            }
        }
    } else if (panel == 3) {
        Q_EMIT infoPanelRequested();
    }
}

void RemoteControl::GuidePosition(qint16 top, qint16 bottom, qint16 left, qint16 right) {
    const double unitY = m_pictureSize.height() / 100;
    const double unitX = m_pictureSize.width() / 100;
    m_aid.marked.moveTopLeft(QPointF(unitX * left, unitY * top));
    // An upside-down rectangle has no size to give; the aid keeps the one it had.
    if (bottom >= top) {
        m_aid.marked.setHeight(unitY * (bottom - top));
    }
    if (right >= left) {
        m_aid.marked.setWidth(unitX * (right - left));
    }
    m_aid.visible = m_editor.ShowPointer;
    wakeLoseAid();
    Q_EMIT changed();
}

void RemoteControl::PositionFixedGuide() {
    m_aid.shape = PointerAid::Rectangle;
    const std::array<qint16, 4> edges = m_editor.edges();
    GuidePosition(edges[0], edges[1], edges[2], edges[3]);
    m_editor.writeSummary();
}

void RemoteControl::TheList_Click(const QString &command) {
    restartLoseAid();
    if (m_editor.ShowCommand(m_layout, command)) {
        PositionFixedGuide();
    }
}

void RemoteControl::ShowPointer_Click(bool on) {
    m_editor.ShowPointer = on;
    m_aid.visible = on;
    wakeLoseAid();
    m_editor.touch();
    Q_EMIT changed();
}

void RemoteControl::StaticPointer_Click(bool on) {
    m_editor.StaticPointer = on;
    if (on) {
        m_editor.ShowPointer = true;
    }
    m_editor.touch();
    PositionFixedGuide();
}

void RemoteControl::restartLoseAid() {
    m_loseAidStarted = true;
    m_loseAid->setEnabled(false);
    m_loseAid->setEnabled(true);
}

void RemoteControl::wakeLoseAid() {
    // Once the pointer has moved, an aid shown by other means is lost on the time-out too;
    // a time-out already counting keeps its count.
    if (m_aid.visible && m_loseAidStarted) {
        m_loseAid->setEnabled(true);
    }
}

void RemoteControl::setPanel(int panel, const QString &text) {
    m_panels[size_t(panel)] = text;
}
