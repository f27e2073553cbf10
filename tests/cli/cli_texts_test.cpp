// Texts out and back in through zarvelo-cli: texts, texts --table and import-texts.
#include "workspace/workspace.hpp"
#include "cli_runner.hpp"
#include "synthetic_firmware.hpp"
#include "texts/charset.hpp"
#include "texts/text_table.hpp"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zarvelo;

namespace {

QByteArray fileBytes(const QString& path) { return test::readAll(path); }

// The exported lines without their CR LF.
QList<QByteArray> exportedLines(const QString& path) {
    QList<QByteArray> lines = fileBytes(path).split('\n');
    lines.removeLast();
    for (QByteArray& line : lines) line.chop(1);
    return lines;
}

QByteArray joined(const QList<QByteArray>& lines, const char* end) {
    QByteArray out;
    for (const QByteArray& line : lines) out += line + end;
    return out;
}

QString write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    return test::writeTemp(dir, name, Bytes(bytes.begin(), bytes.end()));
}

QByteArray ansi(const char* utf8) {
    const std::optional<std::u32string> text = fromUtf8(utf8);
    QByteArray out;
    for (const char32_t c : *text) out.append(static_cast<char>(*unicodeToAnsi(c)));
    return out;
}

// Texts of the sample with at least `net` characters and no control bytes, from `from` on.
std::size_t plainText(const synth::Sample& sample, std::size_t from, int net) {
    std::size_t k = from;
    while (netLength(sample.textEntries[k]) < net || classifyText(sample.textEntries[k]) != TextWarning::None) ++k;
    return k;
}

class CliTextsTest : public ::testing::Test {
protected:
    void SetUp() override {
        sample = synth::makeSample({.version = 5});
        in = test::writeTemp(dir, "in.DNL", sample.dnl);
        txt = dir.filePath("texte.TXT");
        const test::CliRun r = test::runCli({"texts", in, txt, "--table", dir.filePath("texte.TSV")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        lines = exportedLines(txt);
        ASSERT_EQ(lines.size(), static_cast<qsizetype>(sample.textEntries.size()));
    }
    test::CliRun import(const QString& file, const QString& out, const QStringList& extra = {}) {
        return test::runCli(QStringList{"import-texts", in, file, out} + extra);
    }

    QTemporaryDir dir;
    synth::Sample sample;
    QString in, txt;
    QList<QByteArray> lines;
};

}  // namespace

TEST_F(CliTextsTest, UntouchedFilesGiveTheSavedFileByteForByte) {
    // Texts with control bytes are among them; they must come back untouched.
    ASSERT_TRUE(std::any_of(sample.textEntries.begin(), sample.textEntries.end(),
                            [](const Bytes& e) { return classifyText(e) == TextWarning::ControlCharacters; }));
    const QString saved = dir.filePath("saved.DNL");
    ASSERT_EQ(test::runCli({"save", in, saved}).exitCode, 0);
    for (const QString& file : {txt, dir.filePath("texte.TSV")}) {
        const QString out = dir.filePath("out.DNL");
        const test::CliRun r = import(file, out);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), QByteArray("0 Texte übernommen, 0 abgelehnt."));
        EXPECT_EQ(fileBytes(out), fileBytes(saved)) << file.toStdString();
        QFile::remove(out);
    }

    // The table: header, number, room without and with overlong texts, the row in UTF-8.
    const QList<QByteArray> table = exportedLines(dir.filePath("texte.TSV"));
    ASSERT_EQ(table.size(), lines.size() + 1);
    EXPECT_EQ(table[0], QByteArray("Nr.\tZeichen ohne Überlänge\tZeichen mit Überlänge\tText"));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const Bytes& e = sample.textEntries[static_cast<std::size_t>(i)];
        const QByteArray expected = QByteArray::number(i + 1) + '\t' + QByteArray::number(netLength(e)) + '\t' +
                                    QByteArray::number(grossLength(e)) + '\t' +
                                    QByteArray::fromStdString(ansiToUtf8(lines[i].toStdString()));
        ASSERT_EQ(table[i + 1], expected) << i;
    }
}

TEST_F(CliTextsTest, ThreeChangedLinesEqualThreeSetTextCallsInEveryEncoding) {
    const std::size_t a = plainText(sample, 0, 4), b = plainText(sample, a + 1, 4), c = plainText(sample, b + 1, 4);
    const std::pair<std::size_t, const char*> changes[] = {{a, "Öl"}, {b, "Weg"}, {c, "Grüß"}};

    // set-text three times in a row.
    QString previous = in;
    for (const auto& [k, text] : changes) {
        const QString next = dir.filePath(QStringLiteral("set%1.DNL").arg(k));
        const test::CliRun r = test::runCli({"set-text", previous, QString::number(k + 1), next, "--text", QString::fromUtf8(text)});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        previous = next;
    }
    const QByteArray expected = fileBytes(previous);

    QList<QByteArray> utf8 = lines, windows = lines;
    for (qsizetype i = 0; i < lines.size(); ++i) utf8[i] = QByteArray::fromStdString(ansiToUtf8(lines[i].toStdString()));
    for (const auto& [k, text] : changes) {
        utf8[static_cast<qsizetype>(k)] = text;
        windows[static_cast<qsizetype>(k)] = ansi(text);
    }
    const std::pair<const char*, QByteArray> files[] = {
        {"UTF-8, LF", joined(utf8, "\n")},
        {"UTF-8, CR LF, byte order mark", "\xEF\xBB\xBF" + joined(utf8, "\r\n")},
        {"Windows-1252, CR LF", joined(windows, "\r\n")},
        {"Windows-1252, LF, no last line end", joined(windows, "\n").chopped(1)},
    };
    for (const auto& [name, bytes] : files) {
        const QString out = dir.filePath("out.DNL");
        const test::CliRun r = import(write(dir, "neu.TXT", bytes), out);
        ASSERT_EQ(r.exitCode, 0) << name << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), QByteArray("3 Texte übernommen, 0 abgelehnt.")) << name;
        EXPECT_EQ(fileBytes(out), expected) << name;
        QFile::remove(out);
    }
}

TEST_F(CliTextsTest, RefusedTextsAreReportedAndWithoutPartialNothingIsWritten) {
    const std::size_t good = plainText(sample, 0, 3), tooLong = plainText(sample, good + 1, 3),
                      badChar = plainText(sample, tooLong + 1, 3);
    const int net = netLength(sample.textEntries[tooLong]), gross = grossLength(sample.textEntries[tooLong]);
    QList<QByteArray> changed = lines;
    changed[static_cast<qsizetype>(good)] = "Neu";
    changed[static_cast<qsizetype>(tooLong)] = QByteArray(gross + 2, 'x');
    changed[static_cast<qsizetype>(badChar)] = "5 \x80";  // "€" in Windows-1252
    const QByteArray tooLongLine = "Text Nr. " + QByteArray::number(static_cast<int>(tooLong) + 1) + ": Der Text ist um " +
                                   QByteArray::number(gross + 2 - net) + " Zeichen zu lang: " +
                                   QByteArray::number(gross + 2) + " Zeichen, Platz für höchstens " +
                                   QByteArray::number(net);
    const QByteArray badCharLine = "Text Nr. " + QByteArray::number(static_cast<int>(badChar) + 1) +
                                   ": An Stelle 3: Das Zeichen „€“ kann nicht eingetragen werden: das Navi zeigt es als „á“.";
    const QString file = write(dir, "neu.TXT", joined(changed, "\r\n"));
    const QString out = dir.filePath("out.DNL");

    // Each refusal alone: all or nothing.
    for (const auto& [k, line] : {std::pair{tooLong, tooLongLine}, std::pair{badChar, badCharLine}}) {
        QList<QByteArray> one = lines;
        one[static_cast<qsizetype>(good)] = "Neu";
        one[static_cast<qsizetype>(k)] = changed[static_cast<qsizetype>(k)];
        const test::CliRun r = import(write(dir, "eins.TXT", joined(one, "\r\n")), out);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.startsWith(line)) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains("Nichts geschrieben: 1 Text passt nicht.")) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(QFile::exists(out));
    }
    // A line less is refused naming both numbers, with --partial as well.
    const QString count = QString::number(lines.size());
    for (const QStringList& extra : {QStringList{}, QStringList{"--partial"}}) {
        const test::CliRun r = import(write(dir, "kurz.TXT", joined(lines.mid(1), "\r\n")), out, extra);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(QString::fromUtf8(r.err).contains(QStringLiteral("Die Textdatei hat %1 Zeilen, die geladene Datei hat %2 Texte")
                                                          .arg(lines.size() - 1)
                                                          .arg(count)))
            << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }

    // With --partial: the fitting text is stored, the report names the rest, the count last.
    const test::CliRun partial = import(file, out, {"--partial"});
    ASSERT_EQ(partial.exitCode, 0) << partial.err.toStdString();
    QList<QByteArray> report = partial.out.trimmed().split('\n');
    ASSERT_EQ(report.size(), 3);
    EXPECT_TRUE(report[0].startsWith(tooLongLine));
    EXPECT_EQ(report[1], badCharLine);
    EXPECT_EQ(report[2], QByteArray("1 Text übernommen, 2 abgelehnt."));
    const QString setText = dir.filePath("set.DNL");
    ASSERT_EQ(test::runCli({"set-text", in, QString::number(good + 1), setText, "--text", "Neu"}).exitCode, 0);
    EXPECT_EQ(fileBytes(out), fileBytes(setText));

    // --overlong gives a text the filler, as set-text --overlong does.
    QList<QByteArray> overlong = lines;
    overlong[static_cast<qsizetype>(tooLong)] = QByteArray(gross, 'x');
    QFile::remove(out);
    EXPECT_EQ(import(write(dir, "lang.TXT", joined(overlong, "\r\n")), out).exitCode, 1);
    ASSERT_EQ(import(write(dir, "lang.TXT", joined(overlong, "\r\n")), out, {"--overlong"}).exitCode, 0);
    ASSERT_EQ(test::runCli({"set-text", in, QString::number(tooLong + 1), setText, "--text", QString(gross, 'x'), "--overlong"})
                  .exitCode,
              0);
    EXPECT_EQ(fileBytes(out), fileBytes(setText));
}

TEST_F(CliTextsTest, BadFilesChangeNothing) {
    const QString out = dir.filePath("out.DNL");
    QByteArray withNul = joined(lines, "\r\n");
    withNul.insert(withNul.indexOf('\n') + 2, '\0');
    const std::pair<QByteArray, const char*> cases[] = {
        {QByteArray(), "Die Textdatei ist leer."},
        {QByteArray("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), "Die Datei ist keine Textdatei"},
        {withNul, "Die Datei ist keine Textdatei: Zeile 2 enthält ein Nullbyte."},
        {QByteArray(1024 * 1024 + 1, 'a'), "Die Textdatei ist größer als 1 MiB"},
        {joined(lines, "\r\n") + "\r\n", "Zeilen, die geladene Datei hat"},
    };
    for (const auto& [bytes, message] : cases) {
        const test::CliRun r = import(write(dir, "x.TXT", bytes), out, {"--partial"});
        EXPECT_EQ(r.exitCode, 1) << message;
        EXPECT_TRUE(r.err.contains(message)) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    EXPECT_EQ(import(dir.filePath("fehlt.TXT"), out).exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));

    // Usage.
    for (const QStringList& args : {QStringList{"import-texts", in, txt}, QStringList{"texts", in},
                                    QStringList{"import-texts", in, txt, out, "extra"}})
        EXPECT_EQ(test::runCli(args).exitCode, 2) << args.join(' ').toStdString();
    // The table alone, without the plain list.
    const QString onlyTable = dir.filePath("nur.TSV");
    EXPECT_EQ(test::runCli({"texts", in, "--table", onlyTable}).exitCode, 0);
    EXPECT_TRUE(QFile::exists(onlyTable));
}
