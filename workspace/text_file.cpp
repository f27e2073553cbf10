#include "workspace/text_file.hpp"

#include "workspace/file_io.hpp"

namespace zarvelo {

TextImport importTextFile(TextSession& session, const std::string& path, OverlongMode mode) {
    const Result<Bytes> file = readWholeFile(path, kMaxTextFileSize, kTextFileTooLarge);
    if (file.ok()) return importTexts(session, file.value(), mode);
    TextImport refused;
    refused.message = file.message() == kTextFileTooLarge ? file.message() : "Die Textdatei kann nicht gelesen werden: " + file.message();
    return refused;
}

}  // namespace zarvelo
