#include "cli/publish/uploader.h"

#include <functional>

#include "cli/publish/failure_words.h"
#include "platform/gzip.h"
#include "reports/web_json.h"

namespace quendro {
namespace {

std::size_t digestOf(const std::string& bytes) {
    return std::hash<std::string>{}(bytes);
}

}  // namespace

bool Uploader::learnStorage(std::string& failure) {
    if (storesGzip_) return true;
    // Any answer will do, a 404 too: the header comes with every answer.
    HttpAnswer answer = http_.get(askUrl_);
    if (!answer.answered()) {
        failure = failureWords(askUrl_, answer);
        return false;
    }
    storesGzip_ = answer.storesGzip;
    if (*storesGzip_)
        out_ << "サーバーは gzip で保存します: 大会のファイルとウェブ用データを .gz で送ります\n";
    return true;
}

bool Uploader::holds(const std::string& address, const std::string& bytes) const {
    auto last = digests_.find(address);
    return last != digests_.end() && last->second == digestOf(bytes);
}

void Uploader::remember(const std::string& address, const std::string& bytes) {
    digests_[address] = digestOf(bytes);
}

std::vector<Uploader::Sent> Uploader::putAll(
    const std::vector<std::pair<std::string, const std::string*>>& files) {
    std::vector<Upload> uploads;
    uploads.reserve(files.size());
    const std::string suffix = storesGzip() ? ".gz" : "";
    for (const auto& [address, bytes] : files) {
        const GzipEffort effort = isWebSearchShard(address) ? GzipEffort::Most : GzipEffort::Usual;
        uploads.push_back({address + suffix, storesGzip() ? gzipBytes(*bytes, effort) : *bytes});
    }
    std::vector<HttpAnswer> answers = http_.putAll(uploads);
    std::vector<Sent> sent(files.size());
    for (size_t k = 0; k < files.size(); ++k) {
        if (!answers[k].ok()) {
            sent[k].failure = failureWords(uploads[k].url, answers[k]);
            continue;
        }
        sent[k].ok = true;
        ++taken_;
        remember(files[k].first, *files[k].second);
    }
    return sent;
}

Uploader::Plain Uploader::putUnlessHeld(const std::string& url, const std::string& bytes,
                                        std::string& failure) {
    if (holds(url, bytes)) return Plain::Held;
    HttpAnswer held = http_.get(url);
    if (held.status == 200 && held.body == bytes) {
        remember(url, bytes);
        return Plain::Held;
    }
    HttpAnswer answer = http_.put(url, bytes);
    if (!answer.ok()) {
        failure = failureWords(url, answer);
        return Plain::Failed;
    }
    ++taken_;
    remember(url, bytes);
    return Plain::Sent;
}

Uploader::ReadBack Uploader::readBack(std::chrono::milliseconds within) const {
    std::vector<std::string> urls;
    for (const auto& [address, digest] : digests_) urls.push_back(address);
    // A server that stores gzip serves NAME unpacked from NAME.gz: the bytes
    // read back are those the address took.
    std::vector<HttpAnswer> answers = http_.getAll(urls, within);
    ReadBack back;
    for (size_t k = 0; k < urls.size(); ++k) {
        if (!answers[k].answered()) {
            if (back.unanswered.empty()) back.unanswered = failureWords(urls[k], answers[k]);
        } else if (answers[k].status != 200 || answers[k].failure != DownloadFailure::None ||
                   digestOf(answers[k].body) != digests_.at(urls[k])) {
            back.differing.push_back(urls[k]);
        }
    }
    if (!back.differing.empty())
        back.outcome = ReadBack::Outcome::Differs;
    else if (!back.unanswered.empty())
        back.outcome = ReadBack::Outcome::Unchecked;
    return back;
}

}  // namespace quendro
