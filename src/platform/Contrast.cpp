#include "platform/Contrast.h"

#include <algorithm>
#include <cmath>

namespace {

double channel(double value) {
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

QColor mixed(const QColor &from, const QColor &to, double amount) {
    const auto mix = [amount](int a, int b) { return int(std::lround(a + (b - a) * amount)); };
    const QColor f = from.toRgb(), t = to.toRgb();
    return QColor(mix(f.red(), t.red()), mix(f.green(), t.green()), mix(f.blue(), t.blue()), f.alpha());
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor &wanted, const QColor &background, double ratio) {
    if (ContrastRatio(wanted, background) >= ratio) {
        return wanted;
    }
    // Towards the end that can reach the ratio: black on a light background, white on a dark one.
    const QColor end = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                                    : QColor(Qt::white);
    double low = 0, high = 1;
    for (int step = 0; step < 20; ++step) {
        const double mid = (low + high) / 2;
        (ContrastRatio(mixed(wanted, end, mid), background) >= ratio ? high : low) = mid;
    }
    return mixed(wanted, end, high);
}

QPalette WithReadableDisabledText(QPalette palette) {
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::Text, QPalette::Base},
        {QPalette::WindowText, QPalette::Window},
        {QPalette::ButtonText, QPalette::Button},
    };
    for (const auto &[text, background] : pairs) {
        const QColor on = palette.color(QPalette::Disabled, background);
        palette.setColor(QPalette::Disabled, text, ReadableOn(palette.color(QPalette::Disabled, text), on));
    }
    return palette;
}
