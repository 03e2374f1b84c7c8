#include "cli/publish/meet_payload.h"

#include "store/ind2_table.h"

namespace quendro {
namespace {

MeetFileRead readMeetFileOf(FileSystem& files, const MeetSource& source,
                            const MeetFileOnServer& file) {
    switch (file.kind) {
        case MeetFileOnServer::Kind::Heats:
            return readMeetFile(files, source.folder, file.localPath, RecordFileKind::Heats);
        case MeetFileOnServer::Kind::Ind2:
            // The results file lies in a folder of its own, and stays inside it.
            return readMeetFile(files, folderOf(file.localPath), file.localPath,
                                RecordFileKind::Results);
        case MeetFileOnServer::Kind::Copy:
        case MeetFileOnServer::Kind::Lap:
            break;
    }
    return readMeetFile(files, source.folder, file.localPath, std::nullopt);
}

}  // namespace

MeetPayload meetPayloadOf(FileSystem& files, const MeetSource& source,
                          const MeetFileOnServer& file, bool unfinishedLineToo) {
    MeetPayload payload;
    MeetFileRead read = readMeetFileOf(files, source, file);
    if (!read.ok()) {
        payload.state = MeetPayload::State::HeldBack;
        payload.problem = read.problem;
        return payload;
    }
    payload.bytes = std::move(read.bytes);
    switch (file.kind) {
        case MeetFileOnServer::Kind::Copy:
        case MeetFileOnServer::Kind::Heats:
            // The reader took the heat table only whole: every counted record is there.
            break;
        case MeetFileOnServer::Kind::Lap: {
            std::string_view lines = wholeLinesOf(payload.bytes, unfinishedLineToo);
            if (lines.size() != payload.bytes.size()) {
                payload.held = ChangeWatch::Held::Lines;
                payload.bytes.resize(lines.size());
            }
            if (payload.bytes.empty() && payload.held == ChangeWatch::Held::Lines)
                payload.state = MeetPayload::State::Waiting;
            break;
        }
        case MeetFileOnServer::Kind::Ind2:
            payload.bytes = ind2FromResults(payload.bytes).bytes;
            break;
    }
    return payload;
}

}  // namespace quendro
