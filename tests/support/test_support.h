// Helpers shared by the tests: hex literals and waiting for a condition.
#pragma once

#include "common/bytes.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>
#include <QThread>

#include <string>
#include <string_view>

namespace testsupport {

// "ba 3a 00 01" -> bytes; blanks are ignored.
inline kyvo::Bytes hex(std::string_view text)
{
    kyvo::Bytes out;
    int high = -1;
    for (char c : text) {
        int v;
        if (c >= '0' && c <= '9') v = c - '0';
        else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
        else continue;
        if (high < 0) high = v;
        else {
            out.push_back(std::uint8_t(high << 4 | v));
            high = -1;
        }
    }
    return out;
}

inline std::string toHex(kyvo::ByteView bytes)
{
    static const char d[] = "0123456789abcdef";
    std::string s;
    for (std::uint8_t b : bytes) {
        if (!s.empty()) s += ' ';
        s += d[b >> 4];
        s += d[b & 15];
    }
    return s;
}

// Processes events until cond() holds or the limit passes. Integration tests
// use generous limits: they wait for an outcome, they do not time it.
template <typename Cond> bool waitFor(Cond &&cond, int limitMs = 10000)
{
    QDeadlineTimer deadline(limitMs);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QTest::qWait(1);
    }
    return true;
}

// Waits without processing events (the window's thread stays busy) until a
// count that a worker thread moves has stopped moving for 50 ms.
template <typename Count> void waitUntilSettled(Count &&count, int limitMs = 5000)
{
    QDeadlineTimer deadline(limitMs);
    auto last = count();
    while (!deadline.hasExpired()) {
        QThread::msleep(50);
        const auto now = count();
        if (now == last) return;
        last = now;
    }
}

} // namespace testsupport
