#include "workspace/text_file.hpp"

#include "texts/messages.hpp"
#include "workspace/file_io.hpp"

namespace zarvelo {

using msg::kTextFileTooLarge;

Result<TextImport> importTextFile(TextSession& session, const std::string& path, OverlongMode mode) {
    const FileReadResult file = readWholeFile(path, kMaxTextFileSize, kTextFileTooLarge);
    if (file.error.empty()) return importTexts(session, file.bytes, mode);
    return Status::failure(file.error == kTextFileTooLarge ? file.error : msg::kCannotReadTextFile + file.error);
}

}  // namespace zarvelo
