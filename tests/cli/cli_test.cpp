// Runs the real zarvelo-cli binary, as a script would.
#include "app/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "synthetic_firmware.hpp"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

struct CliRun {
    int exitCode;
    QByteArray out, err;
};

CliRun cli(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZARVELO_CLI_PATH), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            p.readAllStandardError()};
}

QString writeTemp(const QTemporaryDir& dir, const QString& name, ByteView bytes) {
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

}  // namespace

TEST(Cli, InfoJson) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 2, .damagedSecondMarker = true});
    const CliRun r = cli({"info", writeTemp(dir, "a.DNL", sample.dnl), "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o["version_index"].toInt(), 2);
    EXPECT_EQ(o["version_name"].toString(), "VW 1999.04 nonDX");
    EXPECT_TRUE(o["dsp_logo_supported"].toBool());
    EXPECT_TRUE(o["vw_overlays"].toBool());
    EXPECT_EQ(o["flash_size"].toInt(), 0x80000);
    EXPECT_EQ(o["dnl_checksum"].toInt(), 0x9FF3);
    EXPECT_TRUE(o["original"].toBool());
    EXPECT_TRUE(o["marker_corrected"].toBool());
    const QJsonArray lines = o["info_lines"].toArray();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].toString().toStdString(), sample.infoLines[0]);
    EXPECT_EQ(lines[3].toString(), "Datei ist Original");
}

TEST(Cli, InfoLinesAreDecodedAsWindows1252) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 6});
    // Put "Grüße €" (Windows-1252 bytes) into the string of the first pointer.
    Bytes dnl = sample.dnl;
    const std::string wanted = "Gr\xFC\xDF" "e \x80";
    std::string current = sample.infoLines[0];
    auto it = std::search(dnl.begin(), dnl.end(), current.begin(), current.end());
    ASSERT_NE(it, dnl.end());
    std::copy(wanted.begin(), wanted.end(), it);
    *(it + static_cast<std::ptrdiff_t>(wanted.size())) = 0;
    DNL_schreibe_Pruefsumme(dnl, DNL_rechne_Pruefsumme(dnl));
    const CliRun r = cli({"info", "--json", writeTemp(dir, "a.DNL", dnl)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o["info_lines"].toArray()[0].toString(), QString::fromUtf8("Grüße €"));
    EXPECT_FALSE(o["original"].toBool());
}

TEST(Cli, BinAndSaveWriteWhatTheWorkspaceWrites) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 4});
    const QString in = writeTemp(dir, "in.DNL", sample.dnl);
    ASSERT_EQ(cli({"bin", in, dir.filePath("out.BIN")}).exitCode, 0);
    EXPECT_EQ(readAll(dir.filePath("out.BIN")),
              QByteArray(reinterpret_cast<const char*>(sample.flash.data()), static_cast<qsizetype>(sample.flash.size())));

    for (const char* mode : {"normal", "day", "swap", "night"}) {
        const QString out = dir.filePath(QString("out-%1.DNL").arg(mode));
        const CliRun r = cli({"save", in, out, "--colour-mode", mode});
        ASSERT_EQ(r.exitCode, 0) << mode << r.err.toStdString();
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok);
        ws.rebuildDnl(static_cast<ColourMode>(QStringList{"normal", "day", "swap", "night"}.indexOf(mode)));
        EXPECT_EQ(readAll(out), QByteArray(reinterpret_cast<const char*>(ws.dnl.data()), static_cast<qsizetype>(ws.dnl.size())))
            << mode;
    }
}

TEST(Cli, ExitCodesAndMessages) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 1});
    Bytes bad = sample.dnl;
    bad[100] ^= 1;
    const QString good = writeTemp(dir, "good.DNL", sample.dnl);
    const QString broken = writeTemp(dir, "bad.DNL", bad);

    const CliRun rejected = cli({"info", broken});
    EXPECT_EQ(rejected.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(rejected.err).trimmed(), "Prüfsummenfehler!");

    const CliRun missing = cli({"info", dir.filePath("fehlt.DNL")});
    EXPECT_EQ(missing.exitCode, 1);

    struct Case {
        QStringList args;
    };
    const QStringList usageCases[] = {{}, {"frobnicate"}, {"info"}, {"bin", good}, {"save", good, "x", "--colour-mode", "purple"},
                                      {"info", good, "--no-such-option"}};
    for (const auto& args : usageCases) EXPECT_EQ(cli(args).exitCode, 2) << args.join(' ').toStdString();

    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("info"));

    // A rejected save writes nothing.
    EXPECT_EQ(cli({"save", broken, dir.filePath("never.DNL")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("never.DNL")));
}
