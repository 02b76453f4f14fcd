// Whole-record byte images: records move in and out of stores only this way.
#pragma once

#include <algorithm>
#include <cstdint>
#include <span>

#include "profiles/ProfileRecords.h"

namespace monitor {

template <class Record>
requires kIsRecord<Record> std::span<const std::uint8_t, sizeof(Record)> RecordBytes(const Record& record) {
  return std::span<const std::uint8_t, sizeof(Record)>(reinterpret_cast<const std::uint8_t*>(&record),
                                                       sizeof(Record));
}

template <class Record>
requires kIsRecord<Record> std::span<std::uint8_t, sizeof(Record)> RecordBytes(Record& record) {
  return std::span<std::uint8_t, sizeof(Record)>(reinterpret_cast<std::uint8_t*>(&record), sizeof(Record));
}

// Copies a stored image over the front of a record. A shorter image fills
// only its own bytes and the rest of the record keeps what it held; a longer
// one is cut at the record's size. Returns the number of bytes copied.
template <class Record>
requires kIsRecord<Record> std::size_t CopyImageInto(Record& record, std::span<const std::uint8_t> image) {
  const std::size_t count = std::min(image.size(), sizeof(Record));
  std::copy_n(image.begin(), count, RecordBytes(record).begin());
  return count;
}

}  // namespace monitor
