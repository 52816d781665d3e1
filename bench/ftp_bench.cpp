// zorbeth-ftp-bench: sends and receives a generated library of about 100 MB over loopback to a local
// pyftpdlib server, through the program's transfer and through the curl command on the same file in
// the same run. Prints one line per figure, "name: value unit".
//
// Usage: zorbeth-ftp-bench [--megabytes N] [--server-script PATH]

#include "Figures.h"
#include "LibraryGenerator.h"
#include "store/DatabaseFile.h"
#include "sync/FtpLibrary.h"

#include <algorithm>
#include <cstdio>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

bool runCurl(const QStringList& arguments)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"), arguments);
    return curl.waitForFinished(600000) && curl.exitStatus() == QProcess::NormalExit && curl.exitCode() == 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption megabytesOption("megabytes", "Size of the library.", "N", "100");
    const QCommandLineOption scriptOption("server-script", "The FTP test server.", "PATH",
                                          QStringLiteral(ZORBETH_FTP_SERVER_SCRIPT));
    parser.addOptions({megabytesOption, scriptOption});
    parser.process(app);
    const qint64 wanted = parser.value(megabytesOption).toLongLong() * 1000 * 1000;

    QTemporaryDir home;
    QTemporaryDir local;
    const QString libraryPath = local.filePath("zorbeth.txt");
    const QString resourcePath = local.filePath("zorbethresource.res");
    // About 1.6 kB per generated snippet; generate enough, then keep the records up to the size.
    CodeArray records = LibraryGenerator::generate(wanted / 1000);
    QByteArray bytes = DatabaseFile::serialize(records, QStringLiteral("2026-01-01 00:00:00"));
    while (bytes.size() > wanted && records.size() > 1) {
        records.resize(records.size() * 9 / 10);
        bytes = DatabaseFile::serialize(records, QStringLiteral("2026-01-01 00:00:00"));
    }
    QFile out(libraryPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "could not write the library\n");
        return 2;
    }
    out.close();
    report("library size", double(bytes.size()) / 1e6, "MB");

    const QString user = QStringLiteral("bench");
    const QString password = QStringLiteral("bench-pass");
    QProcess server;
    server.start(QStringLiteral("/usr/bin/python3"),
                 {parser.value(scriptOption), home.path(), user, password});
    if (!server.waitForStarted(5000) || !server.waitForReadyRead(10000)) {
        std::fprintf(stderr, "the FTP server did not start\n");
        return 2;
    }
    const int port = server.readLine().trimmed().toInt();
    const QString base = QStringLiteral("ftp://127.0.0.1:%1/").arg(port);

    FtpTransfer::Account account;
    account.server = base;
    account.user = user;
    account.password = password;
    const FtpTransfer::Options options;

    // The machine may be shared: each figure is the best of three rounds, taken in turn.
    bool ok = true;
    double send = 1e9, curlSend = 1e9, receive = 1e9, curlReceive = 1e9;
    const QString curlTarget = local.filePath("curl.txt");
    const QString login = user + u':' + password;
    for (int round = 0; round < 3; ++round) {
        send = std::min(send, seconds([&] {
                            ok = FtpLibrary::send(account, libraryPath, resourcePath, options).ok && ok;
                        }));
        curlSend =
            std::min(curlSend, seconds([&] {
                         ok = runCurl({"-s", "-S", "-u", login, "-T", libraryPath, base + "curl.txt"}) && ok;
                     }));
        receive = std::min(receive, seconds([&] {
                               ok = FtpLibrary::receive(account, libraryPath, resourcePath, options).ok && ok;
                           }));
        curlReceive = std::min(
            curlReceive, seconds([&] {
                ok = runCurl({"-s", "-S", "-u", login, "-o", curlTarget, base + "zorbeth.txt"}) && ok;
            }));
    }
    QString why;
    const double check = seconds([&] { ok = FtpLibrary::isCompleteLibrary(libraryPath, &why) && ok; });
    server.kill();
    server.waitForFinished(5000);
    if (!ok) {
        std::fprintf(stderr, "a transfer failed\n");
        return 1;
    }
    report("send", send, "s");
    report("curl -T", curlSend, "s");
    report("send / curl", send / curlSend, "x");
    report("receive (with check and backup)", receive, "s");
    report("curl -o", curlReceive, "s");
    report("receive / curl", receive / curlReceive, "x");
    report("of which the library check", check, "s");
    return 0;
}
