#include "workspace/text_file.hpp"

#include "texts/messages.hpp"
#include "workspace/file_io.hpp"

namespace zarvelo {

Result<TextImport> importTextFile(TextSession& session, const std::string& path, OverlongMode mode) {
    const Result<Bytes> file = readWholeFile(path, kMaxTextFileSize, msg::kTextFileTooLarge);
    if (file.ok()) return importTexts(session, file.value(), mode);
    return Status::failure(file.message() == msg::kTextFileTooLarge ? file.message()
                                                                    : msg::kCannotReadTextFile + file.message());
}

}  // namespace zarvelo
