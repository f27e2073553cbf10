// Runs the real zarvelo-cli binary, as a script would.
#include "workspace/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "cli_runner.hpp"
#include "synthetic_firmware.hpp"
#include "texts/text_table.hpp"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvelo;

TEST(Cli, InfoJson) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 2, .damagedSecondMarker = true});
    const test::CliRun r = test::runCli({"info", test::writeTemp(dir, "a.DNL", sample.dnl), "--json"});
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
    const test::CliRun r = test::runCli({"info", "--json", test::writeTemp(dir, "a.DNL", dnl)});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o["info_lines"].toArray()[0].toString(), QString::fromUtf8("Grüße €"));
    EXPECT_FALSE(o["original"].toBool());
}

TEST(Cli, BinAndSaveWriteWhatTheWorkspaceWrites) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 4});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    ASSERT_EQ(test::runCli({"bin", in, dir.filePath("out.BIN")}).exitCode, 0);
    EXPECT_EQ(test::readAll(dir.filePath("out.BIN")),
              QByteArray(reinterpret_cast<const char*>(sample.flash.data()), static_cast<qsizetype>(sample.flash.size())));

    for (const char* mode : {"normal", "day", "swap", "night"}) {
        const QString out = dir.filePath(QString("out-%1.DNL").arg(mode));
        const test::CliRun r = test::runCli({"save", in, out, "--colour-mode", mode});
        ASSERT_EQ(r.exitCode, 0) << mode << r.err.toStdString();
        Workspace ws;
        ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
        const Bytes rebuilt = ws.rebuilt(static_cast<ColourMode>(QStringList{"normal", "day", "swap", "night"}.indexOf(mode))).dnl;
        EXPECT_EQ(test::readAll(out), QByteArray(reinterpret_cast<const char*>(rebuilt.data()), static_cast<qsizetype>(rebuilt.size())))
            << mode;
    }
}

TEST(Cli, ExitCodesAndMessages) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 1});
    Bytes bad = sample.dnl;
    bad[100] ^= 1;
    const QString good = test::writeTemp(dir, "good.DNL", sample.dnl);
    const QString broken = test::writeTemp(dir, "bad.DNL", bad);

    const test::CliRun rejected = test::runCli({"info", broken});
    EXPECT_EQ(rejected.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(rejected.err).trimmed(), "Prüfsummenfehler!");

    const test::CliRun missing = test::runCli({"info", dir.filePath("fehlt.DNL")});
    EXPECT_EQ(missing.exitCode, 1);

    struct Case {
        QStringList args;
    };
    const QStringList usageCases[] = {{}, {"frobnicate"}, {"info"}, {"bin", good}, {"save", good, "x", "--colour-mode", "purple"},
                                      {"info", good, "--no-such-option"}};
    for (const auto& args : usageCases) EXPECT_EQ(test::runCli(args).exitCode, 2) << args.join(' ').toStdString();

    const test::CliRun help = test::runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("info"));

    // A rejected save writes nothing.
    EXPECT_EQ(test::runCli({"save", broken, dir.filePath("never.DNL")}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("never.DNL")));
}

namespace {

// A sample whose flash image lost its text end marker, rebuilt into a valid DNL file.
Bytes sampleWithoutTextEndMarker(int version) {
    const synth::Sample sample = synth::makeSample({.version = version});
    Bytes flash = sample.flash;
    const auto from = flash.begin() + firmwareVersion(version).textTableOffset;
    const auto marker = std::search(from, flash.end(), kTextEndMarker.begin(), kTextEndMarker.end());
    EXPECT_NE(marker, flash.end());
    std::fill_n(marker, kTextEndMarker.size(), 0x41);
    return synth::withFlash(sample.dnl, flash);
}

}  // namespace

TEST(Cli, TextsExportAndCount) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 5});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    const test::CliRun info = test::runCli({"info", "--json", in});
    ASSERT_EQ(info.exitCode, 0);
    EXPECT_EQ(QJsonDocument::fromJson(info.out).object()["text_count"].toInt(), static_cast<int>(sample.textEntries.size()));
    EXPECT_FALSE(QJsonDocument::fromJson(info.out).object().contains("text_error"));

    const QString out = dir.filePath("texte.TXT");
    const test::CliRun r = test::runCli({"texts", in, out});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray file = test::readAll(out);
    ASSERT_TRUE(file.endsWith("\r\n"));
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast();
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(sample.textEntries.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        ASSERT_TRUE(line.endsWith('\r')) << i;
        const Bytes& entry = sample.textEntries[static_cast<std::size_t>(i)];
        // Visible bytes only, national characters as Windows-1252.
        std::size_t visible = 0;
        for (auto b : entry) visible += b >= 0x20 && b != 0xFF;
        EXPECT_EQ(static_cast<std::size_t>(line.size() - 1), visible) << i;
        for (char c : line.chopped(1)) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << i;
        if (std::find(entry.begin(), entry.end(), 0x91) != entry.end()) {
            EXPECT_TRUE(line.contains('\xE4')) << i;
        }
    }
}

TEST(Cli, SetTextStoresLikeTheEditor) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 7});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    // The first text of at least six visible bytes without control bytes.
    std::size_t k = 0;
    while (netLength(sample.textEntries[k]) < 6 || classifyText(sample.textEntries[k]) != TextWarning::None) ++k;
    const QString number = QString::number(k + 1);

    const QString out = dir.filePath("out.DNL");
    const test::CliRun r = test::runCli({"set-text", in, number, out, "--text", QString::fromUtf8("Grüß")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();

    // The same road through the workspace gives the same file.
    Workspace ws;
    ASSERT_TRUE(ws.loadBytes(sample.dnl, "x").ok());
    Result<TextList> texts = ws.BIN_zu_TexteArray();
    ASSERT_TRUE(texts.ok()) << texts.message();
    ASSERT_TRUE(Edit_zu_TexteArray(texts.value(), k, "Gr\xFC\xDF", OverlongMode::Sperren).ok());
    ASSERT_TRUE(ws.TexteArray_zu_BIN(texts.value()).ok());
    const Bytes rebuilt = ws.rebuilt(ColourMode::Normal).dnl;
    EXPECT_EQ(test::readAll(out), QByteArray(reinterpret_cast<const char*>(rebuilt.data()), static_cast<qsizetype>(rebuilt.size())));

    Workspace reread;
    ASSERT_TRUE(reread.loadFile(out.toStdString()).ok());
    const Result<TextList> again = reread.BIN_zu_TexteArray();
    ASSERT_TRUE(again.ok()) << again.message();
    const Bytes& stored = again->entry(k);
    EXPECT_EQ(stored.size(), sample.textEntries[k].size());
    EXPECT_EQ(Bytes(stored.begin(), stored.begin() + 5), (Bytes{0x47, 0x72, 0x99, 0x8D, 0x00}));
}

TEST(Cli, SetTextRefusesWhatDoesNotFit) {
    QTemporaryDir dir;
    const auto sample = synth::makeSample({.version = 2});
    const QString in = test::writeTemp(dir, "in.DNL", sample.dnl);
    // A text with filler after its terminator, so overlong texts gain space.
    std::size_t k = 0;
    while (grossLength(sample.textEntries[k]) <= netLength(sample.textEntries[k]) ||
           classifyText(sample.textEntries[k]) != TextWarning::None)
        ++k;
    const int net = netLength(sample.textEntries[k]), gross = grossLength(sample.textEntries[k]);
    const QString number = QString::number(k + 1);
    const QString out = dir.filePath("out.DNL");

    struct Case {
        QStringList extra;
        int exitCode;
        const char* message;
    };
    const Case cases[] = {
        {{"--text", QString(net + 1, 'x')}, 1, "Der Text ist zu lang"},
        {{"--text", QString(gross + 1, 'x'), "--overlong"}, 1, "Der Text ist zu lang"},
        {{"--text", QString::fromUtf8("Pfeil →")}, 1, "gibt es im Windows-Zeichensatz (Windows-1252) nicht"},
        {{"--text", "a\tb"}, 1, "Steuerzeichen"},
        {{"--text", QString::fromUtf8("ÿ")}, 1, "„ÿ“"},
        // Characters the unit would show as another one.
        {{"--text", QString::fromUtf8("5 €")}, 1, "Das Zeichen „€“ kann nicht eingetragen werden: das Navi zeigt es als „á“."},
        {{"--text", QString::fromUtf8("São")}, 1, "Das Zeichen „ã“ kann nicht eingetragen werden: das Navi zeigt es als „O“."},
    };
    for (const auto& c : cases) {
        const test::CliRun r = test::runCli(QStringList{"set-text", in, number, out} + c.extra);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.extra.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    const test::CliRun hint = test::runCli({"set-text", in, number, out, "--text", QString(gross, 'x')});
    EXPECT_TRUE(hint.err.contains("--overlong")) << hint.err.toStdString();

    // Exactly the room the mode allows.
    EXPECT_EQ(test::runCli({"set-text", in, number, out, "--text", QString(net, 'x')}).exitCode, 0);
    EXPECT_EQ(test::runCli({"set-text", in, number, out, "--text", QString(gross, 'x'), "--overlong"}).exitCode, 0);
    Workspace reread;
    ASSERT_TRUE(reread.loadFile(out.toStdString()).ok());
    const Result<TextList> texts = reread.BIN_zu_TexteArray();
    ASSERT_TRUE(texts.ok()) << texts.message();
    EXPECT_EQ(rowText(texts->entry(k)), std::string(static_cast<std::size_t>(gross), 'x'));

    // Text numbers and usage.
    const QString count = QString::number(sample.textEntries.size());
    const test::CliRun zero = test::runCli({"set-text", in, "0", out, "--text", "x"});
    EXPECT_EQ(zero.exitCode, 1);
    EXPECT_TRUE(QString::fromUtf8(zero.err).contains("Text Nr. 0 gibt es nicht: die Datei hat " + count + " Texte."));
    for (const QString& bad : {QString::number(sample.textEntries.size() + 1), QString("+0"), QString("99999999999999999999999")})
        EXPECT_EQ(test::runCli({"set-text", in, bad, out, "--text", "x"}).exitCode, 1) << bad.toStdString();
    const QStringList usageCases[] = {{"set-text", in, "eins", out, "--text", "x"},
                                      {"set-text", in, "1.5", out, "--text", "x"},
                                      {"set-text", in, number, out},
                                      {"set-text", in, number, "--text", "x"},
                                      {"texts", in}};
    for (const auto& args : usageCases) EXPECT_EQ(test::runCli(args).exitCode, 2) << args.join(' ').toStdString();
}

TEST(Cli, UnreadableTextTable) {
    QTemporaryDir dir;
    const QString in = test::writeTemp(dir, "in.DNL", sampleWithoutTextEndMarker(4));
    const test::CliRun info = test::runCli({"info", "--json", in});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(info.out).object();
    EXPECT_TRUE(o.contains("text_count"));
    EXPECT_TRUE(o["text_count"].isNull());
    EXPECT_TRUE(o["text_error"].toString().startsWith(QString::fromUtf8("Die Texte dieser Datei können nicht bearbeitet werden: ")));

    const test::CliRun texts = test::runCli({"texts", in, dir.filePath("t.TXT")});
    EXPECT_EQ(texts.exitCode, 1);
    EXPECT_EQ(QString::fromUtf8(texts.err).trimmed(), o["text_error"].toString());
    EXPECT_FALSE(QFile::exists(dir.filePath("t.TXT")));
    EXPECT_EQ(test::runCli({"set-text", in, "1", dir.filePath("o.DNL"), "--text", "x"}).exitCode, 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("o.DNL")));
}
