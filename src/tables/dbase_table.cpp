#include "tables/dbase.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "tables/binary_file.h"
#include "tables/byte_order.h"
#include "tables/dbase_codec.h"
#include "tables/dbase_layout.h"
#include "tables/table_error.h"

namespace zandor::tables::dbase {
namespace {

constexpr std::size_t kChunkBytes = std::size_t{1} << 20;  // read-ahead and append buffer

// ---- the open table ----------------------------------------------------------------------

class DbfTable final : public TableFile {
public:
    DbfTable(BinaryFile file, Layout layout, bool readOnly)
        : file_(std::move(file)), layout_(std::move(layout)), readOnly_(readOnly),
          diskCount_(layout_.recordCount)
    {
        path_ = file_.path();
        scanDeleted();
    }

    ~DbfTable() override
    {
        try {
            if (!readOnly_)
                flush();
        } catch (...) {
            // A destructor cannot report; flush() is the place where write errors surface.
        }
    }

    TableFormat format() const override { return layout_.foxPro ? TableFormat::FoxPro : TableFormat::DBase; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return layout_.fields; }
    std::size_t recordCount() const override { return hasDeleted_ ? live_.size() : totalCount(); }
    bool readOnly() const override { return readOnly_; }

    void read(std::size_t index, Record& out) override
    {
        const std::uint64_t phys = physical(index);
        const unsigned char* rec = recordBytes(phys);
        out.resize(layout_.columns.size());
        for (std::size_t i = 0; i < layout_.columns.size(); ++i)
            out[i] = codec_.decode(rec, i, index);
    }

    void write(std::size_t index, const Record& record) override
    {
        requireWritable();
        const std::uint64_t phys = physical(index);
        std::vector<unsigned char> bytes(layout_.recordLength);
        std::memcpy(bytes.data(), recordBytes(phys), bytes.size());
        codec_.encodeRecord(record, bytes.data(), index, false);
        storeRecord(phys, bytes.data());
    }

    void append(const Record& record) override
    {
        requireWritable();
        if (totalCount() >= std::numeric_limits<std::uint32_t>::max())
            throw TableError("The table " + path_ + " cannot hold more records");
        std::vector<unsigned char>& bytes = scratch_;
        bytes.assign(layout_.recordLength, 0);
        codec_.blankRecord(bytes.data());
        codec_.encodeRecord(record, bytes.data(), recordCount(), true);
        const std::uint64_t phys = totalCount();
        pending_.insert(pending_.end(), bytes.begin(), bytes.end());
        if (hasDeleted_)
            live_.push_back(static_cast<std::uint32_t>(phys));
        headerDirty_ = true;
        if (pending_.size() >= kChunkBytes)
            writePending();
    }

    void remove(std::size_t index) override
    {
        requireWritable();
        const std::uint64_t phys = physical(index);
        const unsigned char mark = '*';
        std::vector<unsigned char> bytes(layout_.recordLength);
        std::memcpy(bytes.data(), recordBytes(phys), bytes.size());
        bytes[0] = mark;
        storeRecord(phys, bytes.data());
        if (!hasDeleted_) {
            live_.clear();
            live_.reserve(totalCount());
            for (std::uint64_t i = 0; i < totalCount(); ++i)
                live_.push_back(static_cast<std::uint32_t>(i));
            hasDeleted_ = true;
        }
        live_.erase(live_.begin() + static_cast<std::ptrdiff_t>(index));
    }

    void flush() override
    {
        if (readOnly_)
            return;
        writePending();
        if (!headerDirty_)
            return;
        unsigned char head[8];
        head[0] = layout_.version;
        todayInto(head + 1);
        putLe32(head + 4, static_cast<std::uint32_t>(diskCount_));
        file_.writeAt(0, head, sizeof head);
        const unsigned char eof = kEndOfFile;
        file_.writeAt(layout_.headerLength + diskCount_ * layout_.recordLength, &eof, 1);
        headerDirty_ = false;
    }

private:
    std::uint64_t totalCount() const { return diskCount_ + pending_.size() / layout_.recordLength; }

    void requireWritable() const
    {
        if (readOnly_)
            throw TableError("The table " + path_ + " is read-only");
    }

    std::uint64_t physical(std::size_t index) const
    {
        if (index >= recordCount())
            throw TableError("The table " + path_ + " has no " + recordName(index) + " (it has " +
                             std::to_string(recordCount()) + " records)");
        return hasDeleted_ ? live_[index] : index;
    }

    // Reads the deletion flags once, in large blocks, to number the live records.
    void scanDeleted()
    {
        const std::uint64_t count = diskCount_;
        if (count == 0)
            return;
        const std::uint64_t perChunk = std::max<std::uint64_t>(1, (4 * kChunkBytes) / layout_.recordLength);
        std::vector<unsigned char> buf;
        for (std::uint64_t first = 0; first < count; first += perChunk) {
            const std::uint64_t n = std::min(perChunk, count - first);
            buf.resize(n * layout_.recordLength);
            file_.readExact(layout_.headerLength + first * layout_.recordLength, buf.data(), buf.size());
            for (std::uint64_t i = 0; i < n; ++i) {
                const bool deleted = buf[i * layout_.recordLength] == '*';
                if (deleted && !hasDeleted_) {
                    hasDeleted_ = true;
                    live_.reserve(count);
                    for (std::uint64_t j = 0; j < first + i; ++j)
                        live_.push_back(static_cast<std::uint32_t>(j));
                }
                if (hasDeleted_ && !deleted)
                    live_.push_back(static_cast<std::uint32_t>(first + i));
            }
        }
    }

    // The bytes of physical record `phys`, from the append buffer or the read-ahead block.
    const unsigned char* recordBytes(std::uint64_t phys)
    {
        if (phys >= diskCount_)
            return pending_.data() + (phys - diskCount_) * layout_.recordLength;
        if (phys < cacheFirst_ || phys >= cacheFirst_ + cacheCount_) {
            const std::uint64_t perChunk = std::max<std::uint64_t>(1, kChunkBytes / layout_.recordLength);
            const std::uint64_t n = std::min(perChunk, diskCount_ - phys);
            cache_.resize(n * layout_.recordLength);
            cacheCount_ = 0;
            file_.readExact(layout_.headerLength + phys * layout_.recordLength, cache_.data(), cache_.size());
            cacheFirst_ = phys;
            cacheCount_ = n;
        }
        return cache_.data() + (phys - cacheFirst_) * layout_.recordLength;
    }

    void storeRecord(std::uint64_t phys, const unsigned char* bytes)
    {
        const std::size_t len = layout_.recordLength;
        if (phys >= diskCount_) {
            std::memcpy(pending_.data() + (phys - diskCount_) * len, bytes, len);
            return;
        }
        file_.writeAt(layout_.headerLength + phys * len, bytes, len);
        if (phys >= cacheFirst_ && phys < cacheFirst_ + cacheCount_)
            std::memcpy(cache_.data() + (phys - cacheFirst_) * len, bytes, len);
        headerDirty_ = true;
    }

    void writePending()
    {
        if (pending_.empty())
            return;
        file_.writeAt(layout_.headerLength + diskCount_ * layout_.recordLength, pending_.data(), pending_.size());
        diskCount_ += pending_.size() / layout_.recordLength;
        pending_.clear();
        headerDirty_ = true;
    }

    BinaryFile file_;
    std::string path_;
    Layout layout_;
    RecordCodec codec_{layout_, path_};
    bool readOnly_ = true;
    std::uint64_t diskCount_ = 0;  // records on disk (the header's count after flush)
    bool hasDeleted_ = false;
    std::vector<std::uint32_t> live_;  // physical numbers of live records, when some are deleted
    std::vector<unsigned char> cache_;
    std::uint64_t cacheFirst_ = 0;
    std::uint64_t cacheCount_ = 0;
    std::vector<unsigned char> pending_;  // appended records not yet on disk
    std::vector<unsigned char> scratch_;
    bool headerDirty_ = false;
};

}  // namespace

std::unique_ptr<TableFile> open(const std::string& path, bool readOnly)
{
    BinaryFile file = BinaryFile::openExisting(path, !readOnly);
    Layout layout = readLayout(file);
    return std::make_unique<DbfTable>(std::move(file), std::move(layout), readOnly);
}

CreateResult create(const std::string& path, const std::vector<FieldDef>& fields, TableFormat format)
{
    CreateResult result;
    const std::vector<std::uint8_t> bytes = newHeader(path, fields, format, result.remarks);
    const bool fox = format == TableFormat::FoxPro;

    if (fileExists(path))
        throw TableError("Cannot create " + path + ": the file already exists");
    {
        BinaryFile file = BinaryFile::createNew(path);
        try {
            file.writeAt(0, bytes.data(), bytes.size());
            if (!fox) {
                const std::string cpg = withExtension(path, ".cpg", ".CPG");
                std::remove(cpg.c_str());
                BinaryFile cpgFile = BinaryFile::createNew(cpg);
                cpgFile.writeAt(0, "936", 3);
            }
        } catch (...) {
            file.close();
            std::remove(path.c_str());
            throw;
        }
    }
    result.table = open(path, false);
    return result;
}

}  // namespace zandor::tables::dbase
