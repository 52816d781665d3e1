#include "cli/CliCommands.h"

#include <cstdio>
#include <QCoreApplication>
#include <QFile>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly);
    err.open(stderr, QIODevice::WriteOnly);
    CliCommands commands(out, err);
    return commands.run(app.arguments().mid(1));
}
