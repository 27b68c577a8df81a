#pragma once

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <numeric>
#include <vector>

// Runs the event loop, asleep between events, until done() holds or the time is up; returns
// done(). (QTest::qWaitFor sleeps 10 ms between its looks at the event queue, which would add its
// own delay to every exchange a benchmark times.)
inline bool RunUntil(const std::function<bool()> &done, int timeoutMs) {
    QEventLoop loop;
    QElapsedTimer t;
    t.start();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || t.elapsed() >= timeoutMs) {
            loop.quit();
        }
    });
    check.start(1);
    loop.exec();
    return done();
}

// The least, the mean and the most of some timings (none: all 0).
struct Spread {
    double min = 0;
    double mean = 0;
    double max = 0;
};

inline Spread SpreadOf(const std::vector<double> &samples) {
    if (samples.empty()) {
        return {};
    }
    const auto [least, most] = std::minmax_element(samples.begin(), samples.end());
    return {*least, std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size()), *most};
}
