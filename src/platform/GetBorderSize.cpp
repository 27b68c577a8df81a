#include "platform/GetBorderSize.h"

#include <QWindow>

BorderSize GetBorderSize(const QWindow *window) {
    BorderSize size;
    if (!window) {
        return size;
    }
    const QRect outer = window->frameGeometry();
    const QRect inner = window->geometry();
    if (!outer.isValid() || !inner.isValid()) {
        return size;
    }
    size.outerWidth = outer.width();
    size.outerHeight = outer.height();
    size.innerWidth = inner.width();
    size.innerHeight = inner.height();
    size.borderWidth = (outer.width() - inner.width()) / 2;
    size.titleHeight = inner.top() - outer.top();
    size.bottomHeight = outer.bottom() - inner.bottom();
    size.failed = false;
    return size;
}
