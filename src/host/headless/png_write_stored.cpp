// Frames as PNG without a compression library: the image data is a zlib stream of stored
// (uncompressed) deflate blocks. Larger files than libpng's, the same pixels.
#include <cstdio>
#include <cstring>

#include "host/headless/png_presenter.h"

namespace tavrik {

namespace {

uint32_t crcTableEntry(uint32_t n) {
  for (int k = 0; k < 8; ++k) {
    n = (n & 1) != 0 ? 0xEDB88320u ^ (n >> 1) : n >> 1;
  }
  return n;
}

uint32_t crc32(uint32_t crc, const uint8_t* data, size_t size) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc = crcTableEntry((crc ^ data[i]) & 0xFF) ^ (crc >> 8);
  }
  return ~crc;
}

void putBigEndian(uint8_t* out, uint32_t value) {
  out[0] = static_cast<uint8_t>(value >> 24);
  out[1] = static_cast<uint8_t>(value >> 16);
  out[2] = static_cast<uint8_t>(value >> 8);
  out[3] = static_cast<uint8_t>(value);
}

// Writes one chunk whose data arrives in pieces; the CRC covers the type and the data.
class Chunk {
 public:
  Chunk(std::FILE* file, const char* type, uint32_t size) : file_(file) {
    uint8_t head[8];
    putBigEndian(head, size);
    std::memcpy(head + 4, type, 4);
    crc_ = crc32(0, head + 4, 4);
    ok_ = std::fwrite(head, 1, 8, file_) == 8;
  }
  void put(const uint8_t* data, size_t size) {
    crc_ = crc32(crc_, data, size);
    ok_ = ok_ && std::fwrite(data, 1, size, file_) == size;
  }
  bool end() {
    uint8_t tail[4];
    putBigEndian(tail, crc_);
    return ok_ && std::fwrite(tail, 1, 4, file_) == 4;
  }

 private:
  std::FILE* file_;
  uint32_t crc_ = 0;
  bool ok_ = true;
};

// The zlib stream of the filtered rows: a header, stored blocks of up to 65535 bytes each, and
// the Adler-32 of the data. Each row is a filter byte 0 and its RGB bytes.
bool writeImageData(std::FILE* file, const FrameView& frame, std::vector<uint8_t>& row) {
  const size_t rowSize = static_cast<size_t>(frame.width) * 3 + 1;
  const size_t dataSize = rowSize * static_cast<size_t>(frame.height);
  constexpr size_t kBlock = 65535;
  const size_t blocks = (dataSize + kBlock - 1) / kBlock;
  Chunk chunk(file, "IDAT", static_cast<uint32_t>(2 + blocks * 5 + dataSize + 4));
  const uint8_t zlibHeader[2] = {0x78, 0x01};
  chunk.put(zlibHeader, 2);

  uint32_t adlerA = 1;
  uint32_t adlerB = 0;
  size_t left = dataSize;  // bytes of the stream still to write
  size_t blockLeft = 0;    // bytes still to write in the current block
  row.resize(rowSize);
  row[0] = 0;
  for (int y = 0; y < frame.height; ++y) {
    widenRow(frame.pixels + static_cast<size_t>(y) * frame.pitch, frame.width, row.data() + 1);
    for (size_t at = 0; at < rowSize;) {
      if (blockLeft == 0) {
        blockLeft = left < kBlock ? left : kBlock;
        const uint8_t last = left == blockLeft ? 1 : 0;
        const uint16_t size = static_cast<uint16_t>(blockLeft);
        const uint8_t head[5] = {last, static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                                 static_cast<uint8_t>(~size), static_cast<uint8_t>(~size >> 8)};
        chunk.put(head, 5);
      }
      const size_t n = rowSize - at < blockLeft ? rowSize - at : blockLeft;
      chunk.put(row.data() + at, n);
      for (size_t i = 0; i < n; ++i) {
        adlerA = (adlerA + row[at + i]) % 65521;
        adlerB = (adlerB + adlerA) % 65521;
      }
      at += n;
      blockLeft -= n;
      left -= n;
    }
  }
  uint8_t adler[4];
  putBigEndian(adler, adlerB << 16 | adlerA);
  chunk.put(adler, 4);
  return chunk.end();
}

}  // namespace

bool encodePng(std::FILE* file, const FrameView& frame, std::vector<uint8_t>& row) {
  const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  bool ok = std::fwrite(signature, 1, 8, file) == 8;

  uint8_t header[13] = {};
  putBigEndian(header, static_cast<uint32_t>(frame.width));
  putBigEndian(header + 4, static_cast<uint32_t>(frame.height));
  header[8] = 8;  // bits per channel
  header[9] = 2;  // RGB
  Chunk ihdr(file, "IHDR", sizeof header);
  ihdr.put(header, sizeof header);
  ok = ihdr.end() && ok;
  ok = ok && writeImageData(file, frame, row);
  Chunk iend(file, "IEND", 0);
  return iend.end() && ok;
}

}  // namespace tavrik
