#include "photo/photo_file.hpp"

#include "photo/messages.hpp"
#include "photo/rgb_qimage.hpp"
#include "workspace/file_io.hpp"
#include "workspace/messages.hpp"
#include "workspace/picture_file.hpp"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

#include <algorithm>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace zarvelo {

namespace {

// The toolkit's own limit for one decoded picture, in MB; above kMaxPhotoPixels in 32 bits.
constexpr int kAllocationLimitMb = 256;

Status tooManyPixels(QSize size) {
    return Status::failure(msg::photoTooManyPixels(size.width(), size.height(), kMaxPhotoPixels / 1'000'000));
}

bool tooLarge(QSize size) {
    return static_cast<long long>(size.width()) * size.height() > kMaxPhotoPixels;
}

Status readerFailure(QImageReader::ImageReaderError error) {
    switch (error) {
    case QImageReader::UnsupportedFormatError: return Status::failure(msg::kPhotoUnknownFormat);
    case QImageReader::InvalidDataError: return Status::failure(msg::kPhotoDamaged);
    case QImageReader::DeviceError: return Status::failure(msg::kPhotoDamaged);
    default: return Status::failure(msg::kPhotoUnsupported);
    }
}

// The toolkit decodes a cut JPEG without complaint and fills the rest with grey, so the
// marker segments are walked here: complete means an end marker after the last scan.
bool jpegComplete(const Bytes& b) {
    std::size_t i = 2;  // after the start marker
    while (i + 1 < b.size()) {
        if (b[i] != 0xFF) return false;
        const std::uint8_t marker = b[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD9) return true;
        if (i + 3 >= b.size()) return false;
        const std::size_t length = (static_cast<std::size_t>(b[i + 2]) << 8) | b[i + 3];
        if (length < 2) return false;
        i += 2 + length;
        if (marker != 0xDA) continue;
        // Entropy-coded data: FF 00 is a data byte, FF D0..D7 a restart; anything else ends the scan.
        while (i + 1 < b.size() && !(b[i] == 0xFF && b[i + 1] != 0x00 && (b[i + 1] < 0xD0 || b[i + 1] > 0xD7))) ++i;
    }
    return false;
}

// The readers report in English on the console; our German message says it instead. (libpng
// writes its own errors to stderr directly, out of reach.)
class QuietReaders {
public:
    QuietReaders() { previous_ = qInstallMessageHandler(&QuietReaders::handle); }
    ~QuietReaders() { qInstallMessageHandler(previous_); }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        const bool reader = context.category && std::string_view(context.category).starts_with("qt.gui.imageio");
        if (!reader && previous_) previous_(type, context, text);
    }
    static inline QtMessageHandler previous_ = nullptr;
};

Photo toPhoto(const QImage& decoded) {
    Photo photo;
    if (!decoded.hasAlphaChannel()) {
        photo.picture = toRgbImage(decoded);
        return photo;
    }
    const int w = decoded.width(), h = decoded.height();
    photo.picture = RgbImage(w, h);
    const QImage image = decoded.convertToFormat(QImage::Format_RGBA8888);
    photo.alpha.resize(static_cast<std::size_t>(w) * h);
    bool opaque = true;
    for (int y = 0; y < h; ++y) {
        const uchar* line = image.constScanLine(y);
        std::uint8_t* rgb = photo.picture.rgb.data() + photo.picture.offset(0, y);
        std::uint8_t* alpha = photo.alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            std::copy_n(line + 4 * x, 3, rgb + 3 * x);
            alpha[x] = line[4 * x + 3];
            opaque = opaque && alpha[x] == 255;
        }
    }
    if (opaque) photo.alpha.clear();
    return photo;
}

Result<Photo> decode(const Bytes& bytes) {
    QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    const QuietReaders quiet;
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty()) return Status::failure(msg::kPhotoUnknownFormat);
    // Our own BMP decoder keeps exact 16-bit colours and refuses cut files, as "BILD-DATEI LADEN" does.
    if (format == "bmp") {
        Result<RgbImage> bmp = decodeBmp(bytes);
        if (!bmp.ok()) return bmp.status();
        Photo photo;
        photo.picture = std::move(bmp).value();
        return photo;
    }
    if (format == "jpeg" && !jpegComplete(bytes)) return Status::failure(msg::kPhotoDamaged);
    const QSize size = reader.size();
    if (size.isValid() && size.isEmpty()) return Status::failure(msg::kPhotoNoPixels);
    if (size.isValid() && tooLarge(size)) return tooManyPixels(size);
    QImageReader::setAllocationLimit(kAllocationLimitMb);
    QImage image;
    if (!reader.read(&image) || image.isNull()) return readerFailure(reader.error());
    if (image.size().isEmpty()) return Status::failure(msg::kPhotoNoPixels);
    if (tooLarge(image.size())) return tooManyPixels(image.size());
    return toPhoto(image);
}

}  // namespace

Result<Photo> loadPhotoFile(const std::string& path) {
    auto refused = [&](const std::string& reason) { return Status::failure(msg::pictureFileUnreadable(path, reason)); };
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return refused(msg::kPhotoFileMissing);
    const Result<Bytes> file = readWholeFile(path, kMaxPhotoFileSize, msg::kPhotoFileTooLarge);
    if (!file.ok()) return refused(file.message());
    if (file->empty()) return refused(msg::kPhotoFileEmpty);
    Result<Photo> decoded = decode(file.value());
    if (!decoded.ok()) return refused(decoded.message());
    return decoded;
}

const char* photoFileFilter() {
    return "Bilder (*.jpg *.jpeg *.png *.bmp *.gif *.webp *.tif *.tiff *.JPG *.JPEG *.PNG *.BMP)|"
           "*.jpg;*.jpeg;*.png;*.bmp;*.gif;*.webp;*.tif;*.tiff;*.JPG;*.JPEG;*.PNG;*.BMP";
}

}  // namespace zarvelo
