#include "workspace/text_file.hpp"

#include "workspace/file_io.hpp"

namespace zarvelo {

TextImport importTextFile(TextSession& session, const std::string& path, OverlongMode mode) {
    const FileReadResult file = readWholeFile(path, kMaxTextFileSize, kTextFileTooLarge);
    if (file.error.empty()) return importTexts(session, file.bytes, mode);
    TextImport refused;
    refused.message = file.error == kTextFileTooLarge ? file.error : "Die Textdatei kann nicht gelesen werden: " + file.error;
    return refused;
}

}  // namespace zarvelo
