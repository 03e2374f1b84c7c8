#include "store/record_shape.h"

#include <cstdint>

#include "store/record_files.h"

namespace quendro {

RecordFileShape recordFileShape(std::string_view bytes, RecordFileKind kind) {
    if (bytes.empty()) return RecordFileShape::Whole;
    if (bytes.size() < 4) return RecordFileShape::CutShort;
    std::int64_t length = 0, offset = 0, count = 0;
    switch (kind) {
        case RecordFileKind::Heats:
            length = kHeatRecordLength;
            offset = 10;
            count = int16Field(bytes, 0);
            break;
        case RecordFileKind::Ind2:
            length = kInd2RecordLength;
            offset = 1;
            count = int32Field(bytes, 0);
            break;
        case RecordFileKind::Results:
            length = kResultsRecordLength;
            offset = 10;
            count = int32Field(bytes, 0);
            break;
    }
    if (count < 0) return RecordFileShape::NegativeCount;
    if (count > 0 && static_cast<std::int64_t>(bytes.size()) < (count + offset) * length)
        return RecordFileShape::CutShort;
    return RecordFileShape::Whole;
}

}  // namespace quendro
