#include "gpu/ImageSource.h"

#include <algorithm>
#include <array>
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
// The closing chunk: no data, and the checksum of its type.
constexpr unsigned char kPngEnd[12] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
constexpr uint32_t kCrcPolynomial = 0xEDB88320u;  // a chunk's CRC-32, bits reversed

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

// The CRC-32 of a PNG chunk, continued over count more bytes.
uint32_t crc32(uint32_t crc, const unsigned char* bytes, size_t count) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> entries{};
        for (uint32_t n = 0; n < 256; ++n) {
            entries[n] = n;
            for (int bit = 0; bit < 8; ++bit) entries[n] = entries[n] & 1 ? kCrcPolynomial ^ (entries[n] >> 1) : entries[n] >> 1;
        }
        return entries;
    }();
    crc = ~crc;
    for (size_t i = 0; i < count; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
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

    static constexpr size_t kWindowBytes = 64 * 1024;

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
    std::ifstream stream;               // open for a file source
    std::vector<unsigned char> window;  // the bytes of the file last read, from windowStart
    uint64_t windowStart = 0;
    const unsigned char* data;          // the bytes of a memory source
    uint64_t total;                     // how many bytes the source has
};

// A PNG as FreeImage reads it through its I/O callbacks: the bytes of the
// source up to the end of its pixels, then a closing IEND chunk.
class PngPixelsOnly {
public:
    PngPixelsOnly(const char* path, const unsigned char* data, size_t size, uint64_t pixelsEnd)
        : raw(path, data, size), pixelsEnd(pixelsEnd) {}

    BitmapPtr decode(int flags) {
        FreeImageIO io{read, nullptr, seek, tell};
        return BitmapPtr(FreeImage_LoadFromHandle(FIF_PNG, &io, this, flags));
    }

private:
    // As fread: whole items of size bytes, as many as count and the stream allow.
    static unsigned DLL_CALLCONV read(void* buffer, unsigned size, unsigned count, fi_handle handle) {
        PngPixelsOnly& png = *static_cast<PngPixelsOnly*>(handle);
        const uint64_t total = png.pixelsEnd + sizeof kPngEnd;
        const uint64_t wanted = size == 0 || png.position >= total ? 0 : std::min<uint64_t>(uint64_t{size} * count, total - png.position) / size * size;
        unsigned char* out = static_cast<unsigned char*>(buffer);
        for (uint64_t done = 0; done < wanted;) {
            const uint64_t at = png.position + done;
            size_t piece = static_cast<size_t>(std::min<uint64_t>(wanted - done, at < png.pixelsEnd ? png.pixelsEnd - at : total - at));
            if (at >= png.pixelsEnd) {
                std::memcpy(out + done, kPngEnd + (at - png.pixelsEnd), piece);
            } else if (!png.raw.read(at, out + done, piece = std::min(piece, RawBytes::kWindowBytes))) {
                return 0;  // the source changed under us
            }
            done += piece;
        }
        png.position += wanted;
        return size == 0 ? 0 : static_cast<unsigned>(wanted / size);
    }

    static int DLL_CALLCONV seek(fi_handle handle, long offset, int origin) {
        PngPixelsOnly& png = *static_cast<PngPixelsOnly*>(handle);
        const int64_t base = origin == SEEK_SET ? 0 : origin == SEEK_CUR ? static_cast<int64_t>(png.position)
                                                                          : static_cast<int64_t>(png.pixelsEnd + sizeof kPngEnd);
        if (base + offset < 0) return -1;
        png.position = static_cast<uint64_t>(base + offset);
        return 0;
    }

    static long DLL_CALLCONV tell(fi_handle handle) { return static_cast<long>(static_cast<PngPixelsOnly*>(handle)->position); }

    RawBytes raw;
    uint64_t pixelsEnd;     // where the first run of IDAT chunks ends
    uint64_t position = 0;  // the next byte FreeImage reads
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

std::string ImageSource::unfitForDecoder(FREE_IMAGE_FORMAT format) const {
    const PngChunks png = format == FIF_PNG ? pngChunks() : PngChunks{};
    if (png.cutShort) return "The file ends before its last chunk";
    if (png.pixelsDamaged) return "A chunk of its pixels fails its checksum";
    if (format == FIF_TARGA && tgaCutShort()) return "The file ends before its last pixel row";
    return {};
}

BitmapPtr ImageSource::load(FREE_IMAGE_FORMAT format, int flags) const {
    return unfitForDecoder(format).empty() ? decode(format, flags) : nullptr;
}

BitmapPtr ImageSource::decode(FREE_IMAGE_FORMAT format, int flags) const {
    if (format == FIF_PNG && !(flags & FIF_LOAD_NOPIXELS))
        if (const uint64_t pixelsEnd = pngChunks().pixelsEnd) return PngPixelsOnly(path, data, size, pixelsEnd).decode(flags);
    if (path) return BitmapPtr(FreeImage_Load(format, path, flags));
    if (!bytes) return nullptr;
    // Every load starts at the first byte, whatever an earlier one read.
    FreeImage_SeekMemory(bytes, 0, SEEK_SET);
    return BitmapPtr(FreeImage_LoadFromMemory(format, bytes, flags));
}

BitmapPtr ImageSource::loadWhole(FREE_IMAGE_FORMAT format, std::string& reason) const {
    reason = unfitForDecoder(format);
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

ImageSource::PngChunks ImageSource::pngChunks() const {
    RawBytes raw(path, data, size);
    PngChunks png;
    unsigned char bytes[sizeof kPngSignature];
    if (!raw.read(0, bytes, sizeof kPngSignature) || std::memcmp(bytes, kPngSignature, sizeof kPngSignature) != 0)
        return png;  // not a PNG by its content; FreeImage decides
    std::vector<unsigned char> piece;
    bool inPixels = false;
    for (uint64_t offset = sizeof kPngSignature;;) {
        if (!raw.read(offset, bytes, 8)) return png.cutShort = true, png;
        const uint32_t length = bigEndian(bytes);
        if (length > kPngLargestChunk || kPngChunkFrame + length > raw.size() - offset) return png.cutShort = true, png;
        if (std::memcmp(bytes + 4, "IEND", 4) == 0) return png;
        inPixels = std::memcmp(bytes + 4, "IDAT", 4) == 0 && (inPixels || png.pixelsEnd == 0);
        if (inPixels) {  // its type and data against its checksum
            uint32_t crc = crc32(0, bytes + 4, 4);
            for (uint64_t at = offset + 8; at < offset + 8 + length; at += piece.size()) {
                piece.resize(static_cast<size_t>(std::min<uint64_t>(RawBytes::kWindowBytes, offset + 8 + length - at)));
                if (!raw.read(at, piece.data(), piece.size())) return png.cutShort = true, png;
                crc = crc32(crc, piece.data(), piece.size());
            }
            if (!raw.read(offset + 8 + length, bytes, 4)) return png.cutShort = true, png;
            png.pixelsDamaged = png.pixelsDamaged || bigEndian(bytes) != crc;
            png.pixelsEnd = offset + kPngChunkFrame + length;
        }
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
