// zarvelo-cli: the workspace and core for scripts and batch use, without a display.
// Exit status: 0 success, 1 rejected input (German message on stderr), 2 usage error.

#include "app/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <map>

using namespace zarvelo;

namespace {

constexpr int kOk = 0, kRejected = 1, kUsage = 2;

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

QString fromWindows1252(const std::string& bytes) {
    QStringDecoder decode("windows-1252");
    return decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

int fail(const std::string& message) {
    err() << QString::fromStdString(message) << Qt::endl;
    return kRejected;
}

int usage(const QString& message) {
    err() << message << Qt::endl << "Aufruf: zarvelo-cli --help" << Qt::endl;
    return kUsage;
}

struct Context {
    QCommandLineParser& parser;
    QStringList args;  // positional arguments after the command
};

bool load(Workspace& ws, const QString& path, int& status) {
    const LoadOutcome outcome = ws.loadFile(path.toStdString());
    if (!outcome.ok) {
        status = fail(outcome.message);
        return false;
    }
    if (outcome.markerCorrected) err() << "Flashroutine fehlerhaft, wird jetzt korrigiert!" << Qt::endl;
    return true;
}

int cmdInfo(Context& c) {
    if (c.args.size() != 1) return usage("info erwartet genau eine DNL-Datei.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    const auto& v = firmwareVersion(ws.versionIndex);
    QJsonObject o;
    o["version_index"] = ws.versionIndex;
    o["version_name"] = QString::fromLatin1(v.name.data(), static_cast<qsizetype>(v.name.size()));
    o["dsp_logo_supported"] = ws.dspLogoSupported;
    o["vw_overlays"] = ws.vwOverlays;
    o["flash_size"] = static_cast<qint64>(ws.flash.size());
    o["dnl_checksum"] = DNL_lese_Pruefsumme(ws.dnl);
    o["original"] = DNL_CheckOriginal(ws.dnl, ws.versionIndex);
    QJsonArray lines;
    for (const auto& line : ws.infoLines) lines.append(fromWindows1252(line));
    o["info_lines"] = lines;
    o["marker_corrected"] = ws.markerCorrected;
    QTextStream out(stdout);
    if (c.parser.isSet("json")) {
        out << QJsonDocument(o).toJson(QJsonDocument::Indented);
        return kOk;
    }
    out << "Version:        " << ws.versionIndex << " (" << o["version_name"].toString() << ")\n"
        << "DSP-Logo:       " << (ws.dspLogoSupported ? "ja" : "nein") << "\n"
        << "VW-Einblendungen: " << (ws.vwOverlays ? "ja" : "nein") << "\n"
        << "Flash-Größe:    0x" << QString::number(static_cast<qint64>(ws.flash.size()), 16).toUpper() << "\n"
        << "DNL-Prüfsumme:  0x" << QString::number(DNL_lese_Pruefsumme(ws.dnl), 16).toUpper().rightJustified(4, '0')
        << "\n";
    for (const auto& line : lines) out << "  " << line.toString() << "\n";
    return kOk;
}

int cmdBin(Context& c) {
    if (c.args.size() != 2) return usage("bin erwartet eine DNL-Datei und eine BIN-Datei.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    const SaveOutcome saved = ws.saveBin(c.args[1].toStdString());
    return saved.ok ? kOk : fail(saved.message);
}

int cmdSave(Context& c) {
    if (c.args.size() != 2) return usage("save erwartet eine DNL-Datei zum Lesen und eine zum Schreiben.");
    static const std::map<QString, ColourMode> kModes = {{"normal", ColourMode::Normal},
                                                         {"day", ColourMode::AlwaysDay},
                                                         {"swap", ColourMode::Swap},
                                                         {"night", ColourMode::AlwaysNight}};
    ColourMode mode = ColourMode::Normal;
    if (c.parser.isSet("colour-mode")) {
        const auto it = kModes.find(c.parser.value("colour-mode"));
        if (it == kModes.end()) return usage("--colour-mode kennt normal, day, swap und night.");
        mode = it->second;
    }
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    const SaveOutcome saved = ws.saveDnl(c.args[1].toStdString(), mode);
    return saved.ok ? kOk : fail(saved.message);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zarvelo-cli");
    QCoreApplication::setApplicationVersion("1.37");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Zarvelo für Skripte: liest DNL-Dateien, zeigt ihre Daten und schreibt sie neu.\n\n"
        "Befehle:\n"
        "  info DATEI.DNL [--json]                      Zusammenfassung der Datei\n"
        "  bin DATEI.DNL AUSGABE.BIN                    Flash-Abbild direkt nach dem Laden\n"
        "  save DATEI.DNL AUSGABE.DNL [--colour-mode M] neu aufbauen und schreiben\n"
        "                                               (M: normal, day, swap, night)");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("befehl", "info, bin oder save");
    parser.addOption({"json", "Ausgabe als JSON-Objekt (info)."});
    parser.addOption({"colour-mode", "Farbdarstellung im Navi (save): normal, day, swap, night.", "modus"});

    if (!parser.parse(QCoreApplication::arguments())) return usage(parser.errorText());
    if (parser.isSet("help")) parser.showHelp(0);
    if (parser.isSet("version")) parser.showVersion();

    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) return usage("Kein Befehl angegeben.");
    const QString command = args.takeFirst();
    static const std::map<QString, std::function<int(Context&)>> kCommands = {
        {"info", cmdInfo}, {"bin", cmdBin}, {"save", cmdSave}};
    const auto it = kCommands.find(command);
    if (it == kCommands.end()) return usage("Unbekannter Befehl: " + command);
    Context context{parser, args};
    return it->second(context);
}
