#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include "ZorbethTestPaths.h"

// What one run of zorbeth-cli gave; exitCode stays -1 when it crashed or did not end in time.
struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// Runs zorbeth-cli with the arguments. The program folder comes from the arguments, or from
// envFolder as $ZORBETH_FOLDER; the tester's own $ZORBETH_FOLDER never leaks in.
inline CliRun runCli(const QStringList& arguments, const QString& envFolder = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("ZORBETH_FOLDER"));
    if (!envFolder.isEmpty()) {
        env.insert(QStringLiteral("ZORBETH_FOLDER"), envFolder);
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ZORBETH_CLI_PATH), arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        return {};
    }
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}
