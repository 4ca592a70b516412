#include "gpu/ImageSource.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace {

// The Windows BMP header: file header and the start of the info header.
constexpr size_t kBmpHeaderBytes = 54;
constexpr uint32_t kBmpInfoHeaderBytes = 40;
constexpr uint32_t kBmpUncompressed = 0;
constexpr uint32_t kBmpBitFields = 3;

// A PNG is its signature, then chunks: a 4-byte big-endian length, a 4-byte
// type, the data and a 4-byte checksum, the last chunk of type IEND.
constexpr unsigned char kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr uint64_t kPngChunkFrame = 12;              // length, type and checksum
constexpr uint32_t kPngLargestChunk = 0x7FFFFFFFu;   // the format's own bound on a length

// A TGA is an 18-byte header, an ID field, a colour map, then the pixels,
// plain or as run-length packets: a count byte, then one pixel repeated
// (top bit set) or that many pixels.
constexpr size_t kTgaHeaderBytes = 18;
constexpr unsigned char kTgaRunLength = 8;       // the image type bit for packets
constexpr unsigned char kTgaPacketRepeats = 0x80;

// A JPEG is markers, each 0xFF and a code: the start, segments that give
// their length after the code, the coded pixels after each scan header (where
// 0xFF is followed by 0x00 or a restart marker), and the end marker last.
constexpr unsigned char kJpegMarker = 0xFF;
constexpr unsigned char kJpegStart = 0xD8;
constexpr unsigned char kJpegEnd = 0xD9;
constexpr unsigned char kJpegStuffedZero = 0x00;
constexpr unsigned char kJpegTemporary = 0x01;
constexpr unsigned char kJpegFirstRestart = 0xD0;

// Does a marker with this code stand alone, without a length?
bool jpegMarkerStandsAlone(unsigned char code) {
    return code == kJpegStuffedZero || code == kJpegTemporary || (code >= kJpegFirstRestart && code <= kJpegStart);
}

uint32_t littleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

uint32_t bigEndian(const unsigned char* bytes) {
    return uint32_t{bytes[0]} << 24 | uint32_t{bytes[1]} << 16 | uint32_t{bytes[2]} << 8 | bytes[3];
}

// The raw bytes of a source, read at any offset without FreeImage: a file
// through one stream and a window of it, memory directly.
class RawBytes {
public:
    RawBytes(const char* path, const unsigned char* data, size_t size) : data(data), total(size) {
        if (!path) return;
        stream.open(path, std::ios::binary | std::ios::ate);
        total = stream ? static_cast<uint64_t>(stream.tellg()) : 0;
    }

    uint64_t size() const { return total; }

    // Copies count bytes (at most kWindowBytes) from offset; false when they
    // are not all there.
    bool read(uint64_t offset, unsigned char* out, size_t count) {
        if (offset > total || count > total - offset) return false;
        if (!stream.is_open()) {
            if (!data) return false;
            std::memcpy(out, data + offset, count);
            return true;
        }
        if (offset < windowStart || offset + count > windowStart + window.size()) {
            window.resize(static_cast<size_t>(std::min<uint64_t>(kWindowBytes, total - offset)));
            windowStart = offset;
            stream.seekg(static_cast<std::streamoff>(offset));
            if (!stream.read(reinterpret_cast<char*>(window.data()), static_cast<std::streamsize>(window.size()))) {
                window.clear();
                return false;
            }
        }
        std::memcpy(out, window.data() + (offset - windowStart), count);
        return true;
    }

private:
    static constexpr size_t kWindowBytes = 64 * 1024;

    std::ifstream stream;               // open for a file source
    std::vector<unsigned char> window;  // the bytes of the file last read, from windowStart
    uint64_t windowStart = 0;
    const unsigned char* data;          // the bytes of a memory source
    uint64_t total;                     // how many bytes the source has
};

// How many bytes an uncompressed BMP with this header needs, or 0 when the
// header is not one this check understands.
uint64_t bmpBytesNeeded(const unsigned char* header) {
    const uint32_t compression = littleEndian(header + 30, 4);
    if (littleEndian(header + 14, 4) < kBmpInfoHeaderBytes ||
        (compression != kBmpUncompressed && compression != kBmpBitFields))
        return 0;
    // Sizes in 64 bits: a hostile header can claim any width and height.
    const uint64_t width = std::llabs(static_cast<int32_t>(littleEndian(header + 18, 4)));
    const uint64_t height = std::llabs(static_cast<int32_t>(littleEndian(header + 22, 4)));
    const uint64_t bitsPerPixel = littleEndian(header + 28, 2);
    const uint64_t rowBytes = (width * bitsPerPixel + 31) / 32 * 4;
    return littleEndian(header + 10, 4) + rowBytes * height;
}

}  // namespace

ImageSource ImageSource::file(const char* path) { return ImageSource(path, nullptr, 0, nullptr); }

ImageSource ImageSource::memory(const unsigned char* data, size_t size) {
    // FreeImage only reads through this handle; its parameter is not const.
    const DWORD length = size > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    return ImageSource(nullptr, data, length, FreeImage_OpenMemory(const_cast<BYTE*>(data), length));
}

ImageSource::~ImageSource() {
    if (bytes) FreeImage_CloseMemory(bytes);
}

ImageSource::ImageSource(ImageSource&& other) noexcept
    : path(other.path), data(other.data), size(other.size), bytes(other.bytes) {
    other.bytes = nullptr;
}

FREE_IMAGE_FORMAT ImageSource::format() const {
    if (!path) return bytes ? FreeImage_GetFileTypeFromMemory(bytes, 0) : FIF_UNKNOWN;
    const FREE_IMAGE_FORMAT byContent = FreeImage_GetFileType(path, 0);
    return byContent != FIF_UNKNOWN ? byContent : FreeImage_GetFIFFromFilename(path);
}

std::string ImageSource::cutShortForDecoder(FREE_IMAGE_FORMAT format) const {
    if (format == FIF_PNG && pngCutShort()) return "The file ends before its last chunk";
    if (format == FIF_TARGA && tgaCutShort()) return "The file ends before its last pixel row";
    return {};
}

BitmapPtr ImageSource::load(FREE_IMAGE_FORMAT format, int flags) const {
    return cutShortForDecoder(format).empty() ? decode(format, flags) : nullptr;
}

BitmapPtr ImageSource::decode(FREE_IMAGE_FORMAT format, int flags) const {
    if (path) return BitmapPtr(FreeImage_Load(format, path, flags));
    if (!bytes) return nullptr;
    // Every load starts at the first byte, whatever an earlier one read.
    FreeImage_SeekMemory(bytes, 0, SEEK_SET);
    return BitmapPtr(FreeImage_LoadFromMemory(format, bytes, flags));
}

BitmapPtr ImageSource::loadWhole(FREE_IMAGE_FORMAT format, std::string& reason) const {
    reason = cutShortForDecoder(format);
    if (reason.empty() && format == FIF_JPEG && jpegCutShort()) reason = "The file ends before its end marker";
    if (!reason.empty()) return nullptr;
    BitmapPtr image = decode(format, 0);
    if (!image) {
        reason = "FreeImage could not decode it";
    } else if (format == FIF_BMP && bmpCutShort()) {
        reason = "The file ends before its last pixel row";
    } else {
        return image;
    }
    return nullptr;
}

bool ImageSource::bmpCutShort() const {
    RawBytes raw(path, data, size);
    unsigned char header[kBmpHeaderBytes];
    return raw.read(0, header, kBmpHeaderBytes) && raw.size() < bmpBytesNeeded(header);
}

bool ImageSource::pngCutShort() const {
    RawBytes raw(path, data, size);
    unsigned char bytes[sizeof kPngSignature];
    if (!raw.read(0, bytes, sizeof kPngSignature) || std::memcmp(bytes, kPngSignature, sizeof kPngSignature) != 0)
        return false;  // not a PNG by its content; FreeImage decides
    for (uint64_t offset = sizeof kPngSignature;;) {
        if (!raw.read(offset, bytes, 8)) return true;
        const uint32_t length = bigEndian(bytes);
        if (length > kPngLargestChunk || kPngChunkFrame + length > raw.size() - offset) return true;
        if (std::memcmp(bytes + 4, "IEND", 4) == 0) return false;
        offset += kPngChunkFrame + length;
    }
}

bool ImageSource::jpegCutShort() const {
    RawBytes raw(path, data, size);
    unsigned char bytes[4];
    if (!raw.read(0, bytes, 2) || bytes[0] != kJpegMarker || bytes[1] != kJpegStart)
        return false;  // not a JPEG by its content; FreeImage decides
    // From marker to marker, stepping over segments by their length and over
    // everything else (coded pixels, stray bytes) a byte at a time.
    for (uint64_t offset = 2;;) {
        if (!raw.read(offset, bytes, 2)) return true;
        if (bytes[0] != kJpegMarker || bytes[1] == kJpegMarker) {
            ++offset;
        } else if (bytes[1] == kJpegEnd) {
            return false;
        } else if (jpegMarkerStandsAlone(bytes[1])) {
            offset += 2;
        } else {
            if (!raw.read(offset + 2, bytes + 2, 2)) return true;
            offset += 2 + (uint32_t{bytes[2]} << 8 | bytes[3]);
        }
    }
}

bool ImageSource::tgaCutShort() const {
    RawBytes raw(path, data, size);
    unsigned char header[kTgaHeaderBytes];
    if (!raw.read(0, header, kTgaHeaderBytes)) return true;
    const unsigned char type = header[2];
    if ((type & ~kTgaRunLength) < 1 || (type & ~kTgaRunLength) > 3) return false;  // not a kind FreeImage reads
    const uint64_t mapBytes = header[1] == 1 ? littleEndian(header + 5, 2) * ((header[7] + 7u) / 8) : 0;
    const uint64_t pixels = uint64_t{littleEndian(header + 12, 2)} * littleEndian(header + 14, 2);
    const uint64_t pixelBytes = (header[16] + 7u) / 8;
    uint64_t offset = kTgaHeaderBytes + header[0] + mapBytes;
    if (!(type & kTgaRunLength)) return raw.size() < offset + pixels * pixelBytes;
    for (uint64_t covered = 0; covered < pixels;) {
        unsigned char packet;
        if (!raw.read(offset, &packet, 1)) return true;
        const uint64_t count = (packet & ~kTgaPacketRepeats) + 1u;
        offset += 1 + (packet & kTgaPacketRepeats ? 1 : count) * pixelBytes;
        covered += count;
    }
    return raw.size() < offset;
}
