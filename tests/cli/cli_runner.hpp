#pragma once
// Runs the real zarvelo-cli binary, as a script would, and prepares its input files.

#include "flash/bytes.hpp"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace zarvelo::test {

struct CliRun {
    int exitCode;
    QByteArray out, err;
};

inline CliRun runCli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZARVELO_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

// Writes `bytes` as `name` into `dir` and returns the path.
inline QString writeTemp(const QTemporaryDir& dir, const QString& name, ByteView bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace zarvelo::test
