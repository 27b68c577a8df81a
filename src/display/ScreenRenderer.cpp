#include "display/ScreenRenderer.h"

#include "display/LabelTokens.h"
#include "keyboard/KeyMap.h"
#include "platform/FileBits.h"
#include "platform/NumericText.h"
#include "session/RadioSession.h"
#include "session/RadioView.h"
#include "skin/Skin.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr QRgb White = qRgb(255, 255, 255);

QRgb complement(QRgb colour) {
    return qRgb(255 - qRed(colour), 255 - qGreen(colour), 255 - qBlue(colour));
}

// A position field: a number, or a number after the relative marker (L or T). Text without a
// number reads as 0; a value beyond 16 bits as 0 too, which keeps the item on the screen.
int positionNumber(const QString &field, bool relative) {
    return NumericText::Int16Of(relative ? field.mid(1) : field);
}

struct ListSource {
    LabelToken token;
    const QStringList &rows;
    int selected;
    bool enabled;
};

} // namespace

ScreenRenderer::ScreenRenderer(RadioSession &radio, const WallClock &clock, QString programFolder)
    : m_skin(radio.skin())
    , m_radio(radio)
    , m_view(radio.view())
    , m_clock(clock)
    , m_folder(std::move(programFolder)) {
    BackGround = QImage(ScreenWidth, ScreenHeight, QImage::Format_RGB32);
    BackGround.fill(Qt::black);
    OverlayImages.resize(1);
    OverlayNameLabel.resize(1);
}

QFont ScreenRenderer::labelFont(bool bold) {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(13);
    font.setBold(bold);
    return font;
}

QFont ScreenRenderer::nameLabelFont() {
    QFont font(QStringLiteral("DejaVu Sans Condensed"));
    font.setPixelSize(11);
    font.setBold(true);
    return font;
}

const ScreenDef *ScreenRenderer::definition(int index) const {
    return index >= 0 && std::size_t(index) < m_skin.MenuArray.size() ? &m_skin.MenuArray[std::size_t(index)] : nullptr;
}

QRgb ScreenRenderer::GetBackColor(const DrawnItem &item) const {
    return BackGround.valid(item.Left, item.Top) ? BackGround.pixel(item.Left, item.Top) | 0xff000000u : qRgb(0, 0, 0);
}

QImage ScreenRenderer::picture(const QString &path, QRgb background, QSize fit) {
    return m_pictures.load(path, background, fit);
}

QImage ScreenRenderer::sharpPicture(const QString &path, QRgb background, QSize fit, QSize drawn) {
    const QString sharp = Imaging::DoubleSizeFile(path);
    if (sharp.isEmpty() || drawn.isEmpty()) {
        return {};
    }
    const QImage loaded = picture(sharp, background, fit * 2);
    return loaded.size() == drawn * 2 ? loaded : QImage();
}

bool ScreenRenderer::LoadThePicture(const QString &name, DrawnItem &target) {
    if (name.isEmpty()) {
        return false;
    }
    const QRgb background = GetBackColor(target);
    const Imaging::Token token = Imaging::StartImaging();
    QString path;
    for (const char *extension : {".bmp", ".jpg", ".png", ""}) {
        path = FileBits::FileInFolder(m_folder, name + QLatin1String(extension));
        if (!path.isEmpty()) {
            break;
        }
    }
    const QImage loaded = picture(path, background, IconFit);
    Imaging::StopImaging(token);
    if (loaded.isNull()) {
        return false;
    }
    target.Picture = loaded;
    target.Size = loaded.size();
    target.Sharp = sharpPicture(path, background, IconFit, target.Size);
    return true;
}

bool ScreenRenderer::placePicture(DrawnItem &item, const ScreenItem &from, const DrawnItem *previous, QSize fit) {
    const QString path = RN(from.Picture);
    place(item, from, previous);
    item.Command = from.Command;
    item.PictureOnly = IsPictureOnly(from.Picture);
    if (path.isEmpty()) {
        return false;
    }
    if (const QImage loaded = picture(path, GetBackColor(item), fit); !loaded.isNull()) {
        item.Picture = loaded;
        item.Size = loaded.size();
        item.Sharp = sharpPicture(path, GetBackColor(item), fit, item.Size);
    }
    item.ToolTip = from.Command.isEmpty() ? from.Caption : ButtonToolTip(from.Command);
    return true;
}

void ScreenRenderer::place(DrawnItem &item, const ScreenItem &from, const DrawnItem *previous) const {
    // A relative position on the first item counts from the screen's edge.
    if (from.Left.startsWith(u'L')) {
        item.Left = (previous ? previous->Left + previous->Width() : 0) + positionNumber(from.Left, true);
    } else {
        item.Left = positionNumber(from.Left, false);
    }
    if (from.Top.startsWith(u'T')) {
        item.Top = (previous ? previous->Top : 0) + positionNumber(from.Top, true);
    } else {
        item.Top = positionNumber(from.Top, false);
    }
}

void ScreenRenderer::sizeLabel(DrawnItem &label) const {
    const QFontMetrics metrics(labelFont(label.Bold));
    label.Size = QSize(metrics.horizontalAdvance(label.Text), metrics.height());
}

void ScreenRenderer::centreNameLabel(int index) {
    const DrawnItem &overlay = OverlayImages[std::size_t(index)];
    DrawnItem &label = OverlayNameLabel[std::size_t(index)];
    const QFontMetrics metrics(nameLabelFont());
    // A caption wider than its picture wraps at blanks rather than being cut by the edges.
    const int natural = metrics.horizontalAdvance(label.Text);
    if (overlay.Width() > 0 && natural > overlay.Width()) {
        label.Size =
            metrics.boundingRect(QRect(0, 0, overlay.Width(), 10000), Qt::AlignHCenter | Qt::TextWordWrap, label.Text)
                .size();
    } else {
        label.Size = QSize(natural, metrics.height());
    }
    label.Left = (overlay.Width() - label.Width()) / 2;
    label.Top = (overlay.Height() - label.Height()) / 2;
}

void ScreenRenderer::DisplayScreen(const QString &name) {
    const QString wanted = name.isEmpty() ? LastScreenName : name;
    LastScreenName = name;

    const int first = FindDefinition(m_skin, wanted);
    if (first < 0) {
        return;
    }
    QString lookedUp = wanted;
    int found = first;
    if (const QString redirect = m_skin.MenuArray[std::size_t(first)].Redirect; !redirect.isEmpty()) {
        lookedUp = redirect;
        found = FindDefinition(m_skin, redirect);
        if (found < 0) {
            return;
        }
    }
    m_skin.CurrentMenu = qint16(found);
    m_skin.CurrentStatusSet = 0;
    m_drawnName = wanted;
    // Copied: the label set lookup below must not see the definition move under it.
    const ScreenDef screen = m_skin.MenuArray[std::size_t(found)];

    const Imaging::Token token = Imaging::StartImaging();
    const QString backgroundPath = RN(screen.Background);
    for (auto *items : {&OverlayImages, &OverlayNameLabel, &StatusImages, &OverlayLabel}) {
        for (DrawnItem &item : *items) {
            item.Visible = false;
        }
    }
    if (backgroundPath.isEmpty()) {
        Imaging::StopImaging(token);
        return;
    }
    Caption = CaptionPrefix + lookedUp;
    if (const QImage loaded = picture(backgroundPath, White, BackgroundFit); !loaded.isNull()) {
        BackGround = loaded;
        BackGroundSharp = sharpPicture(backgroundPath, White, BackgroundFit, loaded.size());
    }

    for (std::size_t j = 0; j < screen.Overlays.size(); ++j) {
        const ScreenItem &from = screen.Overlays[j];
        if (j >= OverlayImages.size()) {
            OverlayImages.resize(j + 1);
            OverlayNameLabel.resize(j + 1);
        }
        DrawnItem &overlay = OverlayImages[j];
        if (placePicture(overlay, from, j > 0 ? &OverlayImages[j - 1] : nullptr, OverlayFit)) {
            overlay.Visible = true;
        }
        DrawnItem &label = OverlayNameLabel[j];
        label.Visible = true;
        label.Text = from.Caption;
        centreNameLabel(int(j));
        label.Colour = label.Text == m_view.CurrentMenuLabel ? CurrentItemColour : OtherItemColour;
    }

    if (!screen.LabelSet.isEmpty() && FindLabels(m_skin, screen.LabelSet) >= 0) {
        const std::vector<ScreenItem> labels = m_skin.MenuArray[std::size_t(m_skin.CurrentLabelSet)].Labels;
        TokenSources sources{m_radio, m_view.MetaList, m_view.MenuList, m_view.InfoList, m_clock};
        for (std::size_t j = 0; j < labels.size(); ++j) {
            const ScreenItem &from = labels[j];
            if (j >= OverlayLabel.size()) {
                OverlayLabel.resize(j + 1);
            }
            DrawnItem &label = OverlayLabel[j];
            label.Text = LabelTextWhileBuilding(from.Picture, int(j), sources);
            label.Bold = false;
            sizeLabel(label);
            place(label, from, j > 0 ? &OverlayLabel[j - 1] : nullptr);
            label.Colour = complement(GetBackColor(label));
            label.Visible = true;
            label.ToolTip = from.Command.isEmpty() ? from.Caption : ButtonToolTip(from.Command);
            label.Command = from.Command;
            label.Row = false;
        }
    }

    if (!screen.StatusSet.isEmpty() && FindStatus(m_skin, screen.StatusSet) >= 0) {
        const std::vector<ScreenItem> items = m_skin.MenuArray[std::size_t(m_skin.CurrentStatusSet)].Overlays;
        for (std::size_t j = 0; j < items.size(); ++j) {
            const ScreenItem &from = items[j];
            if (j >= StatusImages.size()) {
                StatusImages.resize(j + 1);
            }
            DrawnItem &status = StatusImages[j];
            placePicture(status, from, j > 0 ? &StatusImages[j - 1] : nullptr, StatusFit);
            status.Visible = true;
        }
    }
    Imaging::StopImaging(token);

    // The list colours belong to the labels from the first moment, not from the next tick.
    RefreshDisplays();
}

void ScreenRenderer::Redraw() {
    if (!m_drawnName.isEmpty()) {
        const QString last = LastScreenName;
        DisplayScreen(m_drawnName);
        LastScreenName = last;
    }
}

void ScreenRenderer::RefreshDisplays() {
    const ScreenDef *set = definition(m_skin.CurrentLabelSet);
    if (!set) {
        return;
    }
    const std::size_t count = std::min(set->Labels.size(), OverlayLabel.size());
    const QDateTime now = m_clock.now();
    const QLocale locale = QLocale::system();

    for (std::size_t j = 0; j < count; ++j) {
        const QString &token = set->Labels[j].Picture;
        const LabelToken kind = TokenOf(token);
        DrawnItem &label = OverlayLabel[j];
        if (const std::optional<QString> value = deviceValue(kind)) {
            // The radio's volume, version and power state follow its replies, not only the
            // screen changes: a volume key changes no screen.
            const QString text = ValueAfterEquals(*value);
            if (text != label.Text) {
                label.Text = text;
                label.ToolTip = text;
                sizeLabel(label);
            }
            continue;
        }
        if (!ExpandedOnRefresh(kind)) {
            continue; // plain text
        }
        if (kind != LabelToken::Time && kind != LabelToken::Date) {
            continue; // the list passes below
        }
        // The clock is read on every tick; the label only changes when the value shown does.
        const QString text =
            kind == LabelToken::Time ? MakeTheTime(token, now, locale) : MakeTheDate(token, now, locale);
        if (text != label.Text) {
            label.Text = text;
            sizeLabel(label);
        }
        label.Colour = complement(GetBackColor(label));
    }

    // The radio's current-menu list is always shown enabled by the information panel.
    const ListSource passes[] = {
        {LabelToken::Meta, m_view.MetaList, m_view.MetaListIndex, m_view.MetaListEnabled},
        {LabelToken::Info, m_view.InfoList, m_view.InfoListIndex, m_view.InfoListEnabled},
        {LabelToken::Menu, m_view.MenuList, m_view.MenuListIndex, true},
    };
    for (const ListSource &list : passes) {
        for (std::size_t j = 0; j < count; ++j) {
            if (TokenOf(set->Labels[j].Picture) != list.token) {
                continue;
            }
            DrawnItem &label = OverlayLabel[j];
            const bool inList = j < std::size_t(list.rows.size());
            const QString text = inList ? ValueAfterEquals(list.rows[qsizetype(j)]) : QString();
            const bool bold = inList && list.selected == int(j) && j > 0;
            const bool resize = text != label.Text || bold != label.Bold;
            label.Text = text;
            label.ToolTip = label.Text;
            label.Bold = bold;
            label.Row = inList && !text.isEmpty();
            if (inList && list.selected == int(j)) {
                label.Colour = SelectedEntryColour;
            } else {
                label.Colour = list.enabled ? EnabledListColour : complement(GetBackColor(label));
            }
            if (resize) {
                sizeLabel(label);
            }
        }
    }
}

void ScreenRenderer::ColourNameLabels(const QString &menuName) {
    const QString wanted = menuName.toLower();
    for (DrawnItem &label : OverlayNameLabel) {
        label.Colour = label.Text.toLower() == wanted ? CurrentItemColour : OtherItemColour;
    }
}

std::optional<QString> ScreenRenderer::deviceValue(LabelToken token) const {
    switch (token) {
    case LabelToken::Volume:
        return m_radio.reported(RadioSession::Ask::Volume);
    case LabelToken::Version:
        return m_radio.reported(RadioSession::Ask::Version);
    case LabelToken::State:
        return m_radio.reported(RadioSession::Ask::State);
    default:
        return std::nullopt;
    }
}

ScreenRenderer::Drawing ScreenRenderer::drawing() const {
    Drawing d;
    d.caption = Caption;
    d.background = BackGround.cacheKey();
    d.items.reserve(OverlayImages.size() + OverlayNameLabel.size() + StatusImages.size() + OverlayLabel.size() + 1);
    const auto add = [&d](const DrawnItem &item) {
        if (!item.Visible) {
            d.items.emplace_back(); // what a hidden item holds is not drawn
            return;
        }
        const bool text = !item.Text.isEmpty();
        d.items.push_back({true, item.Left, item.Top, item.Size, item.Picture.isNull() ? 0 : item.Picture.cacheKey(),
                           item.Text, text ? item.Colour : 0, text && item.Bold});
    };
    for (const auto *items : {&OverlayImages, &OverlayNameLabel, &StatusImages, &OverlayLabel}) {
        // The count ends each list, so items moving from one list to the next never compare equal.
        d.items.push_back({false, int(items->size()), 0, {}, 0, {}, 0, false});
        for (const DrawnItem &item : *items) {
            add(item);
        }
    }
    add(PleaseWaitImage);
    return d;
}

bool ScreenRenderer::IsPictureOnly(const QString &picture) {
    return picture == u"fanart" || picture == u"coverart" || picture == u"stocks" || picture == u"weather";
}

QString ScreenRenderer::notLiveText() const {
    return m_view.RadioOffline ? QStringLiteral("Offline since ") + m_view.OfflineSince : QString();
}

namespace {

// A picture at its place: on a high-resolution screen its double-size drawing where there is
// one (shown at the picture's size, pixel for pixel), else the picture scaled up.
void drawPicture(QPainter &painter, QPoint at, const QImage &picture, const QImage &sharp, qreal ratio) {
    if (ratio > 1 && !sharp.isNull()) {
        painter.drawImage(QRect(at, picture.size()), sharp);
    } else {
        painter.drawImage(at, picture);
    }
}

} // namespace

QImage ScreenRenderer::render(qreal ratio) const {
    const qreal r = ratio > 1 ? ratio : 1.0;
    QImage screen(qRound(ScreenWidth * r), qRound(ScreenHeight * r), QImage::Format_RGB32);
    screen.setDevicePixelRatio(r);
    screen.fill(Qt::black);
    QPainter painter(&screen);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, r > 1);
    drawPicture(painter, QPoint(0, 0), BackGround, BackGroundSharp, r);

    for (std::size_t j = 0; j < OverlayImages.size(); ++j) {
        const DrawnItem &overlay = OverlayImages[j];
        if (!overlay.Visible) {
            continue;
        }
        drawPicture(painter, QPoint(overlay.Left, overlay.Top), overlay.Picture, overlay.Sharp, r);
        const DrawnItem &label = OverlayNameLabel[j];
        if (!label.Visible || label.Text.isEmpty()) {
            continue;
        }
        // The caption lies inside its picture and is cut by its edges; a dark shadow keeps it
        // readable over any picture.
        painter.save();
        painter.setClipRect(overlay.Rect());
        painter.setFont(nameLabelFont());
        const QRect box = label.Rect().translated(overlay.Left, overlay.Top);
        const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
        painter.fillRect(painter.boundingRect(box, flags, label.Text).adjusted(-2, 0, 2, 1),
                         QColor::fromRgba(CaptionPlate));
        painter.setPen(QColor(0, 0, 0));
        painter.drawText(box.translated(1, 1), flags, label.Text);
        painter.setPen(QColor::fromRgb(label.Colour));
        painter.drawText(box, flags, label.Text);
        painter.restore();
    }
    for (const DrawnItem &status : StatusImages) {
        if (status.Visible) {
            drawPicture(painter, QPoint(status.Left, status.Top), status.Picture, status.Sharp, r);
        }
    }
    for (const DrawnItem &label : OverlayLabel) {
        if (!label.Visible || label.Text.isEmpty()) {
            continue;
        }
        painter.setFont(labelFont(label.Bold));
        painter.setPen(QColor::fromRgb(label.Colour));
        painter.drawText(label.Rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, label.Text);
    }
    if (PleaseWaitImage.Visible) {
        drawPicture(painter, QPoint(PleaseWaitImage.Left, PleaseWaitImage.Top), PleaseWaitImage.Picture,
                    PleaseWaitImage.Sharp, r);
    }
    // A radio that stopped answering: what is drawn is its last known screen, not a live one.
    if (const QString notLive = notLiveText(); !notLive.isEmpty()) {
        painter.fillRect(QRect(0, 0, ScreenWidth, ScreenHeight), QColor(0, 0, 0, 150));
        const QRect band(0, ScreenHeight / 2 - 18, ScreenWidth, 36);
        painter.fillRect(band, QColor(150, 20, 20));
        painter.setFont(labelFont(true));
        painter.setPen(Qt::white);
        painter.drawText(band, Qt::AlignCenter | Qt::TextSingleLine, notLive);
    }
    painter.end();
    return screen;
}

ScreenRenderer::Hit ScreenRenderer::hitTest(QPoint at) const {
    for (std::size_t j = OverlayLabel.size(); j-- > 0;) {
        if (OverlayLabel[j].Visible && OverlayLabel[j].Rect().contains(at)) {
            return {Hit::Label, int(j)};
        }
    }
    for (std::size_t j = StatusImages.size(); j-- > 0;) {
        if (StatusImages[j].Visible && StatusImages[j].Rect().contains(at)) {
            return {Hit::Status, int(j)};
        }
    }
    for (std::size_t j = OverlayImages.size(); j-- > 0;) {
        if (OverlayImages[j].Visible && OverlayImages[j].Rect().contains(at)) {
            return {Hit::Overlay, int(j)};
        }
    }
    return {};
}

QString ScreenRenderer::toolTipAt(QPoint at) const {
    const Hit hit = hitTest(at);
    switch (hit.kind) {
    case Hit::Label:
        return OverlayLabel[std::size_t(hit.index)].ToolTip;
    case Hit::Status:
        return StatusImages[std::size_t(hit.index)].ToolTip;
    case Hit::Overlay:
        return OverlayImages[std::size_t(hit.index)].ToolTip;
    case Hit::Background:
        break;
    }
    return {};
}
