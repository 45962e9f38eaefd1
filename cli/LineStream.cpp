// Copyright (c) 2026 The Gridwise developers. SPDX-License-Identifier: MIT
#include "cli/LineStream.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include <unistd.h>

namespace gwcli {

namespace {

constexpr std::size_t kReadBlock = 1 << 20;
constexpr std::size_t kBatchLines = 4096;
constexpr std::size_t kBatchBytes = 1 << 18;

// Lines of a batch: their text back to back and where each one ends. A line
// that was too long to keep is marked by an end of kTooLong and no text.
constexpr std::uint32_t kTooLong = 0xffffffffu;

struct Batch {
    std::string text;
    std::vector<std::uint32_t> ends;
    std::vector<InputLine> lines;
    std::string out;
    std::uint64_t failed = 0;
    bool done = false;

    void clear() {
        text.clear();
        ends.clear();
        out.clear();
        failed = 0;
        done = false;
    }
};

void convertBatch(Batch& batch, LineConverter& converter) {
    batch.out.clear();
    batch.out.reserve(batch.text.size() + batch.ends.size() * 8 + 64);
    batch.lines.clear();
    std::size_t begin = 0;
    for (std::uint32_t end : batch.ends) {
        if (end == kTooLong) {
            batch.lines.push_back({std::string_view(), true});
            continue;
        }
        batch.lines.push_back({std::string_view(batch.text.data() + begin, end - begin), false});
        begin = end;
    }
    batch.failed = converter.convertLines(batch.lines, batch.out);
}

// Cuts the input into batches of lines.
class LineReader {
public:
    explicit LineReader(int fd) : fd_(fd), block_(kReadBlock) {}

    // Fills batch with the next lines; false when the input has ended and batch
    // holds no line.
    bool next(Batch& batch) {
        batch.clear();
        while (batch.ends.size() < kBatchLines && batch.text.size() < kBatchBytes) {
            if (pos_ == filled_) {
                if (ended_) break;
                refill();
                continue;
            }
            const char* start = block_.data() + pos_;
            const std::size_t avail = filled_ - pos_;
            const void* nl = std::memchr(start, '\n', avail);
            const std::size_t take = nl ? static_cast<const char*>(nl) - start : avail;
            if (nl && partial_.empty() && !skipping_ && !first_ && take <= kLineMax) {
                // A whole line within the block goes into the batch at once.
                const std::size_t length = take > 0 && start[take - 1] == '\r' ? take - 1 : take;
                batch.text.append(start, length);
                batch.ends.push_back(static_cast<std::uint32_t>(batch.text.size()));
                pos_ += take + 1;
                continue;
            }
            if (!skipping_) {
                if (partial_.size() + take > kLineMax) {
                    skipping_ = true;
                    partial_.clear();
                } else {
                    partial_.append(start, take);
                }
            }
            pos_ += take;
            if (nl) {
                ++pos_;
                finishLine(batch);
            }
        }
        if (ended_ && pos_ == filled_ && (!partial_.empty() || skipping_)) finishLine(batch);
        return !batch.ends.empty();
    }

    std::uint64_t bytesRead() const { return bytesRead_; }
    bool failed() const { return failed_; }

private:
    void refill() {
        pos_ = filled_ = 0;
        for (;;) {
            const ssize_t n = ::read(fd_, block_.data(), block_.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed_ = true;
            if (n <= 0) {
                ended_ = true;
                return;
            }
            filled_ = static_cast<std::size_t>(n);
            bytesRead_ += filled_;
            return;
        }
    }

    void finishLine(Batch& batch) {
        if (skipping_) {
            batch.ends.push_back(kTooLong);
            skipping_ = false;
            first_ = false;
            return;
        }
        std::string_view line(partial_);
        if (first_ && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        first_ = false;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        batch.text.append(line);
        batch.ends.push_back(static_cast<std::uint32_t>(batch.text.size()));
        partial_.clear();
    }

    int fd_;
    std::vector<char> block_;
    std::size_t pos_ = 0, filled_ = 0;
    std::string partial_;
    bool skipping_ = false, ended_ = false, failed_ = false, first_ = true;
    std::uint64_t bytesRead_ = 0;
};

class Progress {
public:
    Progress(bool enabled, std::uint64_t size) : enabled_(enabled), size_(size), start_(Clock::now()), last_(start_) {}

    void update(std::uint64_t lines, std::uint64_t bytes, bool final) {
        if (!enabled_) return;
        const auto now = Clock::now();
        if (!final && now - last_ < std::chrono::milliseconds(500)) return;
        last_ = now;
        const double seconds = std::chrono::duration<double>(now - start_).count();
        const double rate = seconds > 0 ? static_cast<double>(lines) / seconds : 0.0;
        if (size_ > 0)
            std::fprintf(stderr, "\r%llu points, %.0f points/s, %.0f%%   ", static_cast<unsigned long long>(lines),
                         rate, 100.0 * static_cast<double>(bytes) / static_cast<double>(size_));
        else
            std::fprintf(stderr, "\r%llu points, %.0f points/s   ", static_cast<unsigned long long>(lines), rate);
        if (final) std::fputc('\n', stderr);
        std::fflush(stderr);
    }

private:
    using Clock = std::chrono::steady_clock;
    bool enabled_;
    std::uint64_t size_;
    Clock::time_point start_, last_;
};

bool writeOut(std::FILE* out, const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

} // namespace

StreamResult streamLines(int fd, std::FILE* out, const StreamOptions& options,
                         const std::function<std::unique_ptr<LineConverter>()>& makeConverter) {
    StreamResult result;
    LineReader reader(fd);
    Progress progress(options.progress, options.inputSize);
    auto account = [&](const Batch& b) {
        result.lines += b.ends.size();
        result.failed += b.failed;
        if (!writeOut(out, b.out)) result.writeError = true;
        progress.update(result.lines, reader.bytesRead(), false);
    };

    if (options.threads <= 1) {
        std::unique_ptr<LineConverter> converter = makeConverter();
        Batch batch;
        while (!result.writeError && reader.next(batch)) {
            convertBatch(batch, *converter);
            account(batch);
        }
    } else {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Batch*> todo;
        bool finished = false;
        // The calling thread is one of the converting threads: it reads and writes,
        // and converts waiting batches while the oldest is not done yet, so that N
        // threads keep N cores busy.
        std::vector<std::unique_ptr<LineConverter>> converters;
        for (int i = 0; i < options.threads; ++i) converters.push_back(makeConverter());
        LineConverter& own = *converters.back();
        std::vector<std::thread> workers;
        for (int i = 0; i + 1 < options.threads; ++i) {
            workers.emplace_back([&, i] {
                for (;;) {
                    Batch* b;
                    {
                        std::unique_lock<std::mutex> lock(mutex);
                        changed.wait(lock, [&] { return finished || !todo.empty(); });
                        if (todo.empty()) return;
                        b = todo.front();
                        todo.pop_front();
                    }
                    convertBatch(*b, *converters[i]);
                    {
                        std::lock_guard<std::mutex> lock(mutex);
                        b->done = true;
                    }
                    changed.notify_all();
                }
            });
        }
        // A ring of batches: the oldest is written before its place is reused.
        const std::size_t ringSize = 2 * static_cast<std::size_t>(options.threads) + 1;
        std::vector<Batch> ring(ringSize);
        std::deque<Batch*> inFlight;
        auto writeOldest = [&] {
            Batch* b = inFlight.front();
            for (;;) {
                Batch* help = nullptr;
                {
                    std::unique_lock<std::mutex> lock(mutex);
                    changed.wait(lock, [&] { return b->done || !todo.empty(); });
                    if (b->done) break;
                    help = todo.front();
                    todo.pop_front();
                }
                convertBatch(*help, own);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    help->done = true;
                }
                changed.notify_all();
            }
            inFlight.pop_front();
            account(*b);
        };
        std::size_t slot = 0;
        for (;;) {
            if (inFlight.size() == ringSize) writeOldest();
            Batch& b = ring[slot];
            if (result.writeError || !reader.next(b)) break;
            slot = (slot + 1) % ringSize;
            inFlight.push_back(&b);
            {
                std::lock_guard<std::mutex> lock(mutex);
                todo.push_back(&b);
            }
            changed.notify_all();
        }
        while (!inFlight.empty()) writeOldest();
        {
            std::lock_guard<std::mutex> lock(mutex);
            finished = true;
        }
        changed.notify_all();
        for (auto& w : workers) w.join();
    }
    if (std::fflush(out) != 0) result.writeError = true;
    result.readError = reader.failed();
    progress.update(result.lines, reader.bytesRead(), true);
    return result;
}

} // namespace gwcli
