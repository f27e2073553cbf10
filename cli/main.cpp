// zarvelo-cli: the workspace and core for scripts and batch use, without a display.
// Exit status: 0 success, 1 rejected input (German message on stderr), 2 usage error.

#include "photo/photo_file.hpp"
#include "photo/rgb_qimage.hpp"
#include "workspace/file_io.hpp"
#include "workspace/picture_file.hpp"
#include "workspace/start_image_handover.hpp"
#include "workspace/text_file.hpp"
#include "workspace/workspace.hpp"
#include "flash/dnl_file.hpp"
#include "flash/firmware_versions.hpp"
#include "flash/messages.hpp"
#include "graphics/messages.hpp"
#include "graphics/photo_fit_session.hpp"
#include "graphics/picture_quality.hpp"
#include "graphics/rgb_image.hpp"
#include "texts/charset.hpp"
#include "texts/messages.hpp"
#include "texts/text_session.hpp"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>

using namespace zarvelo;

namespace {

constexpr int kOk = 0, kRejected = 1, kUsage = 2;

QTextStream& err() {
    static QTextStream s(stderr);
    return s;
}

QString fromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

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
    const Status loaded = ws.loadFile(path.toStdString());
    if (!loaded.ok()) {
        status = fail(loaded.message());
        return false;
    }
    if (ws.markerCorrected()) err() << msg::kMarkerCorrected << Qt::endl;
    return true;
}

int cmdInfo(Context& c) {
    if (c.args.size() != 1) return usage("info erwartet genau eine DNL-Datei.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    const auto& v = firmwareVersion(ws.versionIndex());
    QJsonObject o;
    o["version_index"] = ws.versionIndex();
    o["version_name"] = QString::fromLatin1(v.name.data(), static_cast<qsizetype>(v.name.size()));
    o["dsp_logo_supported"] = ws.dspLogoSupported();
    o["vw_overlays"] = ws.vwOverlays();
    o["flash_size"] = static_cast<qint64>(ws.flash().size());
    o["dnl_checksum"] = DNL_lese_Pruefsumme(ws.dnl());
    o["original"] = DNL_CheckOriginal(ws.dnl(), ws.versionIndex());
    QJsonArray lines;
    for (const auto& line : ws.infoLines()) lines.append(fromUtf8(ansiToUtf8(line)));
    o["info_lines"] = lines;
    o["marker_corrected"] = ws.markerCorrected();
    // A table the text editor cannot open gives null and the reason.
    const Result<TextList> texts = ws.BIN_zu_TexteArray();
    o["text_count"] = texts ? QJsonValue(texts->textCount()) : QJsonValue();
    if (!texts) o["text_error"] = QString::fromStdString(texts.message());
    o["start_image_offset"] = static_cast<qint64>(ws.startImageOffset());
    o["image_data_size"] = static_cast<qint64>(ws.imageDataSize());
    o["start_image_colours"] = ws.startImageColourCount();
    o["dsp_logo_colours"] = ws.dspLogoSupported() ? QJsonValue(static_cast<qint64>(ws.dspIndexList().size())) : QJsonValue();
    const GridState grid = ws.gridState();
    o["grid"] = grid == GridState::Absent ? QJsonValue() : QJsonValue(grid == GridState::Active ? "active" : "inactive");
    const DayNightDiff dayNight = ws.Check_TagNachtDiff();
    o["day_night"] = dayNight == DayNightDiff::Identical ? "identical" : dayNight == DayNightDiff::Differs ? "differs" : "none";
    o["available_entries"] = ws.availableCount();
    QTextStream out(stdout);
    if (c.parser.isSet("json")) {
        out << QJsonDocument(o).toJson(QJsonDocument::Indented);
        return kOk;
    }
    out << "Version:        " << ws.versionIndex() << " (" << o["version_name"].toString() << ")\n"
        << "DSP-Logo:       " << (ws.dspLogoSupported() ? "ja" : "nein") << "\n"
        << "VW-Einblendungen: " << (ws.vwOverlays() ? "ja" : "nein") << "\n"
        << "Flash-Größe:    0x" << QString::number(static_cast<qint64>(ws.flash().size()), 16).toUpper() << "\n"
        << "DNL-Prüfsumme:  0x" << QString::number(DNL_lese_Pruefsumme(ws.dnl()), 16).toUpper().rightJustified(4, '0')
        << "\n"
        << "Texte:          "
        << (texts ? QString::number(texts->textCount()) : QString::fromStdString(texts.message())) << "\n";
    for (const auto& line : lines) out << "  " << line.toString() << "\n";
    out << "Startbild:      0x" << QString::number(ws.startImageOffset(), 16).toUpper() << ", " << ws.imageDataSize()
        << " Bytes, " << ws.startImageColourCount() << " Farben" << (ws.startImageHeaderFound() ? "" : " (kein Bildkopf gefunden)")
        << "\n";
    if (ws.dspLogoSupported()) out << "DSP-Logo-Farben: " << ws.dspIndexList().size() << "\n";
    if (grid != GridState::Absent) out << "Gitter:         " << (grid == GridState::Active ? "aktiv" : "inaktiv") << "\n";
    out << "Tag/Nacht:      "
        << (dayNight == DayNightDiff::Identical ? "identisch"
            : dayNight == DayNightDiff::Differs ? "Startbild variiert zwischen Tag und Nacht"
                                                : "Unterschiede nur in unbenutzten Farben")
        << "\n"
        << "Freie Einträge: " << ws.availableCount() << "\n";
    return kOk;
}

int cmdBin(Context& c) {
    if (c.args.size() != 2) return usage("bin erwartet eine DNL-Datei und eine BIN-Datei.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    const Status saved = ws.saveBin(c.args[1].toStdString());
    return saved.ok() ? kOk : fail(saved.message());
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
    QString grid;
    if (c.parser.isSet("grid")) {
        grid = c.parser.value("grid");
        if (grid != "on" && grid != "off") return usage("--grid kennt on und off.");
    }
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    if (!grid.isEmpty()) {
        if (const Status switched = ws.BIN_Gitter(grid == "on"); !switched.ok()) return fail(switched.message());
    }
    if (c.parser.isSet("fix-day-night")) {
        // From the day view, as after a load.
        if (const Status fixed = ws.P_FixTagNachtClick(true); !fixed.ok()) return fail(fixed.message());
    }
    const Status saved = ws.saveDnl(c.args[1].toStdString(), mode);
    return saved.ok() ? kOk : fail(saved.message());
}

// The text editor's session over the loaded file's texts.
std::optional<TextSession> openTexts(const QString& path, Workspace& ws, int& status) {
    if (!load(ws, path, status)) return std::nullopt;
    Result<TextList> texts = ws.BIN_zu_TexteArray();
    if (!texts) {
        status = fail(texts.message());
        return std::nullopt;
    }
    return TextSession(std::move(texts).value());
}

int cmdTexts(Context& c) {
    const bool table = c.parser.isSet("table");
    if (c.args.size() != 2 && !(table && c.args.size() == 1))
        return usage("texts erwartet eine DNL-Datei und eine TXT-Datei (oder --table TSV-Datei).");
    Workspace ws;
    int status = kOk;
    const std::optional<TextSession> session = openTexts(c.args[0], ws, status);
    if (!session) return status;
    if (c.args.size() == 2) {
        const Status written = writeFileAtomically(c.args[1].toStdString(), session->exportText());
        if (!written.ok()) return fail(written.message());
    }
    if (table) {
        const Status written = writeFileAtomically(c.parser.value("table").toStdString(), session->exportTable());
        if (!written.ok()) return fail(written.message());
    }
    return kOk;
}

int cmdSetText(Context& c) {
    if (c.args.size() != 3)
        return usage("set-text erwartet eine DNL-Datei, eine Textnummer und eine DNL-Datei zum Schreiben.");
    if (!c.parser.isSet("text")) return usage("set-text braucht den neuen Text: --text TEXT.");
    // Digits that overflow are still a number, just one no file has.
    static const QRegularExpression kDigits("^[+-]?[0-9]+$");
    if (!kDigits.match(c.args[1]).hasMatch()) return usage("Die Textnummer ist keine Zahl: " + c.args[1]);
    bool fits = false;
    qlonglong number = c.args[1].toLongLong(&fits);
    if (!fits) number = -1;
    const std::u32string typed = c.parser.value("text").toStdU32String();
    const OverlongMode mode = c.parser.isSet("overlong") ? OverlongMode::Erlauben : OverlongMode::Sperren;

    Workspace ws;
    int status = kOk;
    std::optional<TextSession> session = openTexts(c.args[0], ws, status);
    if (!session) return status;
    if (number < 1 || static_cast<std::size_t>(number) > session->textCount())
        return fail(msg::noSuchTextInFile(c.args[1].toStdString(), session->textCount()));
    const auto position = static_cast<std::size_t>(number - 1);
    const Status stored = session->storeTyped(position, typed, mode);
    if (!stored) {
        std::string message = stored.message();
        const Bytes& entry = session->entry(position);
        const auto overlong = static_cast<std::size_t>(storeLimit(entry, OverlongMode::Erlauben));
        if (mode == OverlongMode::Sperren && typed.size() > static_cast<std::size_t>(storeLimit(entry, mode)) &&
            typed.size() <= overlong)
            message += " Mit --overlong passen bis zu " + std::to_string(overlong) + " Zeichen.";
        return fail(message);
    }
    const Status written = ws.TexteArray_zu_BIN(session->list());
    if (!written) return fail(written.message());
    const Status saved = ws.saveDnl(c.args[2].toStdString(), ColourMode::Normal);
    return saved.ok() ? kOk : fail(saved.message());
}

// A translator's file back in: every changed line stored as the text editor stores a typed
// text. All or nothing unless --partial.
int cmdImportTexts(Context& c) {
    if (c.args.size() != 3)
        return usage("import-texts erwartet eine DNL-Datei, eine Textdatei und eine DNL-Datei zum Schreiben.");
    const OverlongMode mode = c.parser.isSet("overlong") ? OverlongMode::Erlauben : OverlongMode::Sperren;
    const bool partial = c.parser.isSet("partial");
    Workspace ws;
    int status = kOk;
    std::optional<TextSession> session = openTexts(c.args[0], ws, status);
    if (!session) return status;
    const Result<TextImport> read = importTextFile(*session, c.args[1].toStdString(), mode);
    if (!read) return fail(read.message());
    const TextImport& imported = read.value();

    const bool refused = !imported.refused.empty();
    QTextStream out(stdout);
    QTextStream& report = refused && !partial ? err() : out;
    for (const RefusedText& text : imported.refused) report << fromUtf8(text.line()) << "\n";
    if (!imported.note.empty()) report << fromUtf8(imported.note) << "\n";
    if (refused && !partial) {
        report << "Nichts geschrieben: " << imported.refused.size()
               << (imported.refused.size() == 1 ? " Text passt" : " Texte passen")
               << " nicht. Mit --partial werden die übrigen übernommen." << Qt::endl;
        return kRejected;
    }
    const Status written = ws.TexteArray_zu_BIN(session->list());
    if (!written) return fail(written.message());
    const Status saved = ws.saveDnl(c.args[2].toStdString(), ColourMode::Normal);
    if (!saved.ok()) return fail(saved.message());
    out << fromUtf8(imported.summary()) << Qt::endl;
    return kOk;
}

// Writes a picture as a 24-bit BMP file, completely or not at all.
int writeBmp(const RgbImage& picture, const QString& path) {
    const Status written = writeBmpFile(path.toStdString(), picture);
    return written.ok() ? kOk : fail(written.message());
}

// The previews as the main page shows them with all colours, without overlays.
int exportPreview(Context& c, bool logo) {
    if (c.args.size() != 2)
        return usage(logo ? "export-logo erwartet eine DNL-Datei und eine BMP-Datei."
                          : "export-image erwartet eine DNL-Datei und eine BMP-Datei.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;
    if (logo && !ws.dspLogoSupported()) return fail("Diese Softwareversion hat kein DSP-Logo.");
    const bool day = !c.parser.isSet("night");
    return writeBmp(logo ? ws.dspLogoPreview(day) : ws.startImagePreview(day), c.args[1]);
}

int cmdExportImage(Context& c) { return exportPreview(c, false); }
int cmdExportLogo(Context& c) { return exportPreview(c, true); }

// A picture file as the editor's open dialog loads it.
bool readPicture(const QString& path, RgbImage& picture, int& status) {
    Result<RgbImage> loaded = loadPictureFile(path.toStdString());
    if (!loaded.ok()) {
        status = fail(loaded.message());
        return false;
    }
    picture = std::move(loaded).value();
    return true;
}

// A colour count option: 1..256, or absent (0).
bool colourOption(const QCommandLineParser& parser, const QString& name, int& value) {
    value = 0;
    if (!parser.isSet(name)) return true;
    bool ok = false;
    value = parser.value(name).toInt(&ok);
    return ok && value >= 1 && value <= 256;
}

// How --fit crops and fills: the dialog's settings for a centred frame.
struct FitOptions {
    bool fit = false;
    CropMode mode = CropMode::Fill;
    Rgb background{0, 0, 0};
};

// Reads --fit, --crop and --background; an empty string when they are fine, else the usage message.
QString fitOptions(const QCommandLineParser& parser, FitOptions& options) {
    options.fit = parser.isSet("fit");
    if (!options.fit && (parser.isSet("crop") || parser.isSet("background")))
        return "--crop und --background gelten nur zusammen mit --fit.";
    if (parser.isSet("crop")) {
        static const std::map<QString, CropMode> kModes = {
            {"fill", CropMode::Fill}, {"fit", CropMode::Fit}, {"stretch", CropMode::Stretch}};
        const auto it = kModes.find(parser.value("crop"));
        if (it == kModes.end()) return "--crop kennt fill, fit und stretch.";
        options.mode = it->second;
    }
    if (parser.isSet("background")) {
        static const QRegularExpression kHex("^#?([0-9A-Fa-f]{6})$");
        const QRegularExpressionMatch m = kHex.match(parser.value("background"));
        if (!m.hasMatch()) return "--background erwartet eine Farbe als RRGGBB, zum Beispiel 000000 für Schwarz.";
        const uint rgb = m.captured(1).toUInt(nullptr, 16);
        options.background = {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                              static_cast<std::uint8_t>(rgb)};
    }
    return {};
}

// A photo of any format and size, cropped, scaled and fitted as the editor's "FOTO ANPASSEN"
// does with the frame left centred; returns the scaled picture the fit is measured against.
bool fitPhoto(StartImageEditor& editor, const QString& path, PhotoTarget target, const FitOptions& options, int colours,
              RgbImage& scaled, int& status) {
    if (target == PhotoTarget::DspLogo && !editor.dspLogoSupported) {
        status = fail(msg::kNoDspLogoSupport);
        return false;
    }
    Result<Photo> loaded = loadPhotoFile(path.toStdString());
    if (!loaded.ok()) {
        status = fail(loaded.message());
        return false;
    }
    PhotoFitSession session(std::move(loaded).value(), editor);
    session.setTarget(target);
    session.setMode(options.mode);
    session.setBackground(options.background);
    if (colours > 0) session.setColours(colours);
    PhotoFitResult result = session.fit();
    if (!result.fit.ok()) {
        status = fail(result.fit.message());
        return false;
    }
    if (const Result<ImportKind> imported = editor.importPicture(result.fit->picture()); !imported.ok()) {
        status = fail(imported.message());
        return false;
    }
    scaled = std::move(result.scaled);
    return true;
}

QString quality(const RgbImage& written, const RgbImage& scaled) {
    const double p = psnr(written, scaled);
    return "Ähnlichkeit (SSIM) " + QString::number(ssim(written, scaled), 'f', 4) + ", PSNR " +
           (std::isinf(p) ? QStringLiteral("unendlich") : QString::number(p, 'f', 2) + " dB");
}

// The start image editor as a user drives it: take over, import, move the sliders, accept,
// save with the normal colour mode. With --fit the pictures take the photo road instead.
int cmdImportImage(Context& c) {
    if (c.args.size() != 2) return usage("import-image erwartet eine DNL-Datei zum Lesen und eine zum Schreiben.");
    int colours = 0, logoColours = 0;
    if (!colourOption(c.parser, "colours", colours)) return usage("--colours erwartet eine Farbanzahl von 1 bis 256.");
    if (!colourOption(c.parser, "logo-colours", logoColours))
        return usage("--logo-colours erwartet eine Farbanzahl von 1 bis 256.");
    FitOptions fit;
    if (const QString wrong = fitOptions(c.parser, fit); !wrong.isEmpty()) return usage(wrong);
    if (fit.fit && !c.parser.isSet("image") && !c.parser.isSet("logo"))
        return usage("--fit braucht ein Foto: --image FOTO oder --logo FOTO.");
    Workspace ws;
    int status = kOk;
    if (!load(ws, c.args[0], status)) return status;

    StartImageEditor editor;
    editor.Zeige_vorhandene_Bilder_an(editorInputs(ws));
    RgbImage scaledImage, scaledLogo;
    for (const char* option : {"image", "logo"}) {
        if (!c.parser.isSet(option)) continue;
        const bool logo = option == std::string("logo");
        if (fit.fit) {
            const PhotoTarget target = logo ? PhotoTarget::DspLogo : PhotoTarget::StartImage;
            if (!fitPhoto(editor, c.parser.value(option), target, fit, logo ? logoColours : colours,
                          logo ? scaledLogo : scaledImage, status))
                return status;
            continue;
        }
        RgbImage picture;
        if (!readPicture(c.parser.value(option), picture, status)) return status;
        if (const Result<ImportKind> imported = editor.importPicture(picture); !imported.ok())
            return fail(imported.message());
    }
    // A fitted picture has its colour count already; the sliders serve the other pictures.
    if (colours > 0 && scaledImage.width == 0) editor.TB_StartbildChange(colours);
    if (logoColours > 0 && scaledLogo.width == 0) {
        if (!ws.dspLogoSupported()) return fail(msg::kNoDspLogoSupport);
        editor.reduceLogoTo(logoColours);
    }
    const Status written = BB_schreibe_NEU_in_BINClick(ws, editor);
    if (!written.ok()) return fail(written.message());
    const Status saved = ws.saveDnl(c.args[1].toStdString(), ColourMode::Normal);
    if (!saved.ok()) return fail(saved.message());

    QTextStream out(stdout);
    out << "Startbild: " << editor.O.count << " Farben, max. möglich " << editor.maximumPossible << ", geschrieben "
        << editor.AKT.count << " (verfügbare Farben: " << editor.availableCount << ")\n";
    if (editor.dspLogoSupported)
        for (const auto& line : editor.fit.report) out << QString::fromStdString(line) << "\n";
    if (scaledImage.width > 0)
        out << "Startbild angepasst: " << quality(editorPicture(editor, PhotoTarget::StartImage), scaledImage) << "\n";
    if (scaledLogo.width > 0)
        out << "DSP-Logo angepasst: " << quality(editorPicture(editor, PhotoTarget::DspLogo), scaledLogo) << "\n";
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("zarvelo-cli");
    QCoreApplication::setApplicationVersion(ZARVELO_VERSION);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Zarvelo für Skripte: liest DNL-Dateien, zeigt ihre Daten und schreibt sie neu.\n\n"
        "Befehle:\n"
        "  info DATEI.DNL [--json]                      Zusammenfassung der Datei\n"
        "  bin DATEI.DNL AUSGABE.BIN                    Flash-Abbild direkt nach dem Laden\n"
        "  save DATEI.DNL AUSGABE.DNL [--colour-mode M] neu aufbauen und schreiben\n"
        "       [--grid on|off] [--fix-day-night]       (M: normal, day, swap, night;\n"
        "                                               Gitterlinien vorher ein- oder ausschalten;\n"
        "                                               vorher Tag und Nacht angleichen)\n"
        "  texts DATEI.DNL AUSGABE.TXT [--table T.TSV]  Liste der Texte (Windows-1252, CR LF);\n"
        "                                               --table: Tabelle für Übersetzer (UTF-8)\n"
        "  import-texts DATEI.DNL TEXTE.TXT AUSGABE.DNL [--overlong] [--partial]\n"
        "                                               geänderte Texte aus der Datei eintragen;\n"
        "                                               --partial: die passenden, Rest im Bericht\n"
        "  set-text DATEI.DNL NR AUSGABE.DNL --text TEXT [--overlong]\n"
        "                                               Text Nr. NR ersetzen und speichern;\n"
        "                                               --overlong: Überlange Texte erlauben\n"
        "  export-image DATEI.DNL BILD.BMP [--night]    Startbild als 24-Bit-BMP\n"
        "  export-logo DATEI.DNL LOGO.BMP [--night]     DSP-Logo als 24-Bit-BMP\n"
        "  import-image DATEI.DNL AUSGABE.DNL [--image BILD.BMP] [--colours N]\n"
        "       [--logo LOGO.BMP] [--logo-colours M]    neues Startbild und DSP-Logo einsetzen\n"
        "                                               (die Bildgröße entscheidet: 320 x 234\n"
        "                                               Startbild, 79 x 20 DSP-Logo); N, M: Farben\n"
        "  import-image DATEI.DNL AUSGABE.DNL --image FOTO --fit [--crop fill|fit|stretch]\n"
        "       [--background RRGGBB] [--colours N] [--logo FOTO] [--logo-colours M]\n"
        "                                               Fotos jeder Größe (PNG, JPEG, BMP, GIF,\n"
        "                                               WebP, TIFF) zuschneiden, skalieren und in\n"
        "                                               den Platz der Firmware einpassen;\n"
        "                                               N, M: höchstens so viele Farben");
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument("befehl", "info, bin, save, texts, set-text, import-texts, export-image, export-logo oder import-image");
    parser.addOption({"json", "Ausgabe als JSON-Objekt (info)."});
    parser.addOption({"colour-mode", "Farbdarstellung im Navi (save): normal, day, swap, night.", "modus"});
    parser.addOption({"text", "Neuer Text (set-text).", "text"});
    parser.addOption({"overlong", "Überlange Texte erlauben: der Text darf den Füllraum nutzen (set-text, import-texts)."});
    parser.addOption({"table", "Die Texte zusätzlich als Tabelle für Übersetzer schreiben (texts).", "tsv"});
    parser.addOption({"partial", "Passende Texte eintragen, auch wenn andere abgelehnt werden (import-texts)."});
    parser.addOption({"grid", "Gitterlinien im Navi (save): on oder off.", "on|off"});
    parser.addOption({"fix-day-night",
                      "Wie \"Korrigieren?\": die im Startbild und DSP-Logo verwendeten Einträge der Nachtpalette "
                      "bekommen die Farben der Tagpalette (save)."});
    parser.addOption({"night", "Mit der Nachtpalette (export-image, export-logo)."});
    parser.addOption({"image", "Neues Startbild (import-image).", "bild"});
    parser.addOption({"colours", "Farbanzahl des Startbildes, 1 bis 256 (import-image).", "n"});
    parser.addOption({"logo", "Neues DSP-Logo (import-image).", "logo"});
    parser.addOption({"logo-colours", "Farbanzahl des DSP-Logos, 1 bis 256 (import-image).", "m"});
    parser.addOption({"fit", "Fotos jeder Größe und jedes gängigen Formats einpassen (import-image)."});
    parser.addOption({"crop", "Zuschnitt mit --fit: fill (füllen, Vorgabe), fit (einpassen), stretch (strecken).",
                      "fill|fit|stretch"});
    parser.addOption({"background", "Hintergrundfarbe mit --fit für Rand und Transparenz, Vorgabe 000000.", "rrggbb"});

    if (!parser.parse(QCoreApplication::arguments())) return usage(parser.errorText());
    if (parser.isSet("help")) parser.showHelp(0);
    if (parser.isSet("version")) parser.showVersion();

    QStringList args = parser.positionalArguments();
    if (args.isEmpty()) return usage("Kein Befehl angegeben.");
    const QString command = args.takeFirst();
    static const std::map<QString, std::function<int(Context&)>> kCommands = {
        {"info", cmdInfo}, {"bin", cmdBin}, {"save", cmdSave}, {"texts", cmdTexts}, {"set-text", cmdSetText}, {"import-texts", cmdImportTexts},
        {"export-image", cmdExportImage}, {"export-logo", cmdExportLogo}, {"import-image", cmdImportImage}};
    const auto it = kCommands.find(command);
    if (it == kCommands.end()) return usage("Unbekannter Befehl: " + command);
    Context context{parser, args};
    return it->second(context);
}
