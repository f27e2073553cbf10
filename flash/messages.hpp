#pragma once
// The program's own German messages of the file container.

namespace zarvelo::msg {

inline constexpr const char* kChecksumError = "Prüfsummenfehler!";
inline constexpr const char* kUnknownVersion = "unbekannte Softwareversion";
inline constexpr const char* kMarkerCorrected = "Flashroutine fehlerhaft, wird jetzt korrigiert!";
inline constexpr const char* kFileTooShort =
    "Die DNL-Datei ist zu kurz: Kopf und Abschluss einer DNL-Datei brauchen zusammen mindestens 100 Bytes.";
inline constexpr const char* kRecordCutOff =
    "Die DNL-Datei ist unvollständig: der letzte Datensatz ist am Dateiende abgeschnitten.";
inline constexpr const char* kShortMarkerRecord =
    "Die DNL-Datei ist beschädigt: ein Datensatz für die Flashroutine (Adresse 0x6000) hat weniger als 4 Datenbytes.";
inline constexpr const char* kNoFileLoaded = "Es ist keine DNL-Datei geladen.";
inline constexpr const char* kFileTooLarge = "Die Datei ist zu groß für eine DNL-Datei.";

}  // namespace zarvelo::msg
