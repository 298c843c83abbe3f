#pragma once
#include <cstdint>

// Constants of the file layout shared by the parser and the writer.
namespace movie::format {

constexpr uint8_t kMagic[4] = {'M', 'V', 'M', 'F'};
constexpr uint32_t kHeaderSize = 12;   // magic, version, stage width, height, frame rate
constexpr uint32_t kRecordHeaderSize = 5;  // kind (1 byte), payload length (4 bytes)
constexpr uint32_t kMaxFrameRate = 120;

enum RecordKind : uint8_t {
    kEnd = 0,
    kPicture = 1,
    kButton = 2,
    kMarker = 3,
    kStartCommand = 4,
};

enum ActionKind : uint8_t {
    kActionCommand = 1,
    kActionOpenUrl = 2,
};

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

}  // namespace movie::format
