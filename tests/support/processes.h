// Running the programs under test: devsim on loopback with its control
// channel, and a command-line tool with its output and exit status.
#pragma once

#include "devsim/core/control.h"
#include "tests/support/loopback.h"
#include "tests/support/test_support.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace testsupport {

struct ToolRun {
    int exitCode = -1;
    QString out, err;
};

inline ToolRun runTool(const QString &program, const QStringList &args, int limitMs = 60000)
{
    QProcess p;
    p.start(program, args);
    ToolRun r;
    if (!p.waitForFinished(limitMs)) {
        p.kill();
        p.waitForFinished();
        r.err = QStringLiteral("timed out");
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// devsim outside the lab: devices on 127.0.0.2 onwards, their port mapped to a free one.
class DevsimProcess
{
public:
    DevsimProcess(const QString &program, const QStringList &deviceArgs)
    {
        m_control = m_dir.filePath(QStringLiteral("devsim.sock"));
        QStringList args{QStringLiteral("--port"), QString::number(port), QStringLiteral("--rate"), QStringLiteral("0"),
                         QStringLiteral("--control"), m_control};
        args << deviceArgs;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, args);
        ready = waitFor([&] {
            m_process.waitForReadyRead(50);
            m_output += m_process.readAll();
            return m_output.contains("devsim ready");
        });
        if (ready) ready = control.connectTo(m_control);
        EXPECT_TRUE(ready) << m_output.constData();
    }
    ~DevsimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000)) m_process.kill();
        m_process.waitForFinished();
    }
    QByteArray get(const QString &mac, const QString &path)
    {
        const auto lines = control.command(QStringLiteral("get %1 %2").arg(mac, path));
        return lines && !lines->isEmpty() ? QByteArray::fromHex(lines->first().toLatin1()) : QByteArray();
    }
    long long counter(const QString &mac, const QString &name)
    {
        const auto lines = control.command(QStringLiteral("counter %1 %2").arg(mac, name));
        return lines && !lines->isEmpty() ? lines->first().toLongLong() : -1;
    }
    QStringList macs()
    {
        QStringList out;
        if (const auto lines = control.command(QStringLiteral("list")))
            for (const QString &l : *lines) out << l.section(QLatin1Char(' '), 2, 2);
        return out;
    }

    quint16 port = freeUdpPort();
    bool ready = false;
    devsim::ControlClient control;

private:
    QTemporaryDir m_dir;
    QString m_control;
    QProcess m_process;
    QByteArray m_output;
};

} // namespace testsupport
