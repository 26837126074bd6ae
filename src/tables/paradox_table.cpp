#include "tables/paradox.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <limits>
#include <unordered_set>

#include "tables/binary_file.h"
#include "tables/byte_order.h"
#include "tables/paradox_codec.h"
#include "tables/paradox_layout.h"
#include "tables/table_error.h"

namespace zandor::tables::paradox {
namespace {

constexpr std::size_t kNoPosition = std::numeric_limits<std::size_t>::max();

class ParadoxTable final : public TableFile {
public:
    ParadoxTable(BinaryFile file, bool readOnly) : file_(std::move(file)), path_(file_.path()), readOnly_(readOnly)
    {
        load();
    }

    ~ParadoxTable() override
    {
        try {
            flush();
        } catch (const std::exception&) {
            // A destructor cannot report; callers that care call flush() first.
        }
    }

    TableFormat format() const override { return TableFormat::Paradox; }
    const std::string& path() const override { return path_; }
    const std::vector<FieldInfo>& fields() const override { return fields_; }
    std::size_t recordCount() const override { return recordCount_; }
    bool readOnly() const override { return readOnly_; }

    void read(std::size_t index, Record& out) override
    {
        requireRecord(index);
        const auto [pos, slot] = locate(index);
        const std::uint8_t* rec = block(chain_[pos]).bytes.data() + kBlockHeaderSize + slot * recordSize_;
        out.resize(layout_.size());
        for (std::size_t f = 0; f < layout_.size(); ++f)
            out[f] = codec_.decode(f, rec + layout_[f].offset);
    }

    void write(std::size_t index, const Record& record) override
    {
        requireWritable();
        requireRecord(index);
        const auto [pos, slot] = locate(index);
        Cached& b = block(chain_[pos]);
        std::uint8_t* rec = b.bytes.data() + kBlockHeaderSize + slot * recordSize_;
        const std::uint32_t autoInc = codec_.encode(record, index, rec, scratch_, autoInc_);
        std::memcpy(rec, scratch_.data(), recordSize_);
        // A replaced record goes to the file at once, so other readers of the table see it;
        // a block still holding appended records goes out whole on flush.
        if (b.dirty) {
            changed_ = true;
        } else {
            file_.writeAt(blockOffset(b.number) + kBlockHeaderSize + slot * recordSize_, rec, recordSize_);
        }
        if (autoInc != autoInc_) {
            autoInc_ = autoInc;
            changed_ = true;
        }
    }

    void append(const Record& record) override
    {
        requireWritable();
        if (recordCount_ >= std::numeric_limits<std::uint32_t>::max())
            throw TableError("The table " + path_ + " is full");
        const std::uint32_t autoInc = codec_.encode(record, recordCount_, nullptr, scratch_, autoInc_);
        if (chain_.empty() || counts_.back() >= perBlock_)
            addBlock();
        autoInc_ = autoInc;
        Cached& b = block(chain_.back());
        std::memcpy(b.bytes.data() + kBlockHeaderSize + counts_.back() * recordSize_, scratch_.data(), recordSize_);
        b.dirty = true;
        ++counts_.back();
        ++recordCount_;
        changed_ = true;
    }

    void remove(std::size_t index) override
    {
        requireWritable();
        requireRecord(index);
        auto [pos, slot] = locate(index);
        Cached& b = block(chain_[pos]);
        std::uint8_t* base = b.bytes.data() + kBlockHeaderSize;
        const std::size_t n = counts_[pos];
        std::memmove(base + slot * recordSize_, base + (slot + 1) * recordSize_, (n - slot - 1) * recordSize_);
        std::memset(base + (n - 1) * recordSize_, 0, recordSize_);
        b.dirty = true;
        --counts_[pos];
        --recordCount_;
        changed_ = true;
        if (counts_[pos] == 0)
            dropEmptyBlock(pos);
        rebuildStarts();
        // Like a replaced record, a removal reaches the file at once.
        flush();
    }

    void flush() override
    {
        if (readOnly_ || !changed_)
            return;
        for (Cached& c : cache_)
            if (c.number != 0 && c.dirty)
                writeBack(c);
        for (const std::uint32_t number : staleHeaders_) {
            std::uint8_t head[kBlockHeaderSize];
            blockHeader(number, head);
            file_.writeAt(blockOffset(number), head, sizeof head);
        }
        staleHeaders_.clear();
        putLe32(&header_[kRecordCountAt], static_cast<std::uint32_t>(recordCount_));
        putLe16(&header_[kUsedBlocksAt], usedBlocks_);
        putLe16(&header_[kFileBlocksAt], fileBlocks_);
        putLe16(&header_[kFirstBlockAt], chain_.empty() ? 0 : chain_.front());
        putLe16(&header_[kLastBlockAt], chain_.empty() ? 0 : chain_.back());
        putLe16(&header_[kMaxBlocksAt], fileBlocks_);
        putLe16(&header_[kFirstFreeBlockAt], firstFree_);
        putLe32(&header_[kAutoIncAt], autoInc_);
        file_.writeAt(0, header_.data(), kCommonHeaderSize);
        changed_ = false;
    }

private:
    struct Cached {
        std::uint32_t number = 0;  // 0: slot unused
        bool dirty = false;
        std::uint64_t lastUse = 0;
        std::vector<std::uint8_t> bytes;
    };

    [[noreturn]] void damaged(const std::string& what) const
    {
        throw TableError("The Paradox table " + path_ + " is damaged: " + what);
    }

    void requireWritable() const
    {
        if (readOnly_)
            throw TableError("The table " + path_ + " is read-only");
    }
    void requireRecord(std::size_t index) const
    {
        if (index >= recordCount_)
            throw TableError("The table " + path_ + " has no " + recordLabel(index) + " (it has " +
                             std::to_string(recordCount_) + " records)");
    }

    std::uint64_t blockOffset(std::uint32_t number) const
    {
        return headerSize_ + static_cast<std::uint64_t>(number - 1) * blockSize_;
    }

    // ---- header -------------------------------------------------------------------------

    void load()
    {
        Header h = readHeader(file_);
        header_ = std::move(h.common);
        fields_ = std::move(h.fields);
        layout_ = std::move(h.layout);
        codePage_ = h.codePage;
        recordSize_ = h.recordSize;
        headerSize_ = h.headerSize;
        blockSize_ = h.blockSize;
        // Keyed tables keep a primary index in a separate file that changes here would leave
        // stale; they, and write-protected tables, are opened for reading only.
        if (h.readOnly)
            readOnly_ = true;
        autoInc_ = h.autoInc;
        firstFree_ = h.firstFree;
        usedBlocks_ = h.usedBlocks;
        perBlock_ = (blockSize_ - kBlockHeaderSize) / recordSize_;
        loadChain(file_.size(), h.fileBlocks, h.firstBlock);
        // A header that disagrees with its blocks cannot tell which records are the table's;
        // reading either would risk losing records at the next rewrite.
        if (recordCount_ != h.recordCount)
            damaged("its header counts " + std::to_string(h.recordCount) + " records, but its block chain holds " +
                    std::to_string(recordCount_));
        scratch_.resize(recordSize_);
        for (Cached& c : cache_)
            c.bytes.reserve(blockSize_);
    }

    // Follows the chain of data blocks from the first, checking every block against the file
    // before trusting it.
    void loadChain(std::uint64_t fileSize, std::uint32_t declaredBlocks, std::uint32_t first)
    {
        const std::uint64_t room = fileSize - headerSize_;
        const std::uint64_t present = (room + blockSize_ - 1) / blockSize_;  // a last block may be short
        if (declaredBlocks > present)
            throw TableError("The file " + path_ + " is truncated (it declares " + std::to_string(declaredBlocks) +
                             " blocks, has room for " + std::to_string(present) + ")");
        fileBlocks_ = declaredBlocks;
        std::vector<bool> seen(static_cast<std::size_t>(present) + 1, false);
        std::uint32_t number = first;
        while (number != 0) {
            if (number > present)
                damaged("the block chain points to block " + std::to_string(number) + " beyond the end of the file");
            if (seen[number])
                damaged("the block chain loops back to block " + std::to_string(number));
            seen[number] = true;
            std::uint8_t head[kBlockHeaderSize];
            file_.readExact(blockOffset(number), head, sizeof head);
            const auto last = static_cast<std::int16_t>(getLe16(head + 4));
            if (last < -static_cast<int>(recordSize_) || last % static_cast<int>(recordSize_) != 0 ||
                last / static_cast<int>(recordSize_) + 1 > static_cast<int>(perBlock_))
                damaged("block " + std::to_string(number) + " declares a bad record offset " + std::to_string(last));
            const std::uint32_t count = static_cast<std::uint32_t>(last / static_cast<int>(recordSize_) + 1);
            if (blockOffset(number) + kBlockHeaderSize + static_cast<std::uint64_t>(count) * recordSize_ > fileSize)
                throw TableError("The file " + path_ + " is truncated (block " + std::to_string(number) +
                                 " ends beyond the end of the file)");
            chain_.push_back(number);
            counts_.push_back(count);
            recordCount_ += count;
            fileBlocks_ = std::max(fileBlocks_, number);
            number = getLe16(head);
        }
        position_.assign(fileBlocks_ + 1, kNoPosition);
        for (std::size_t p = 0; p < chain_.size(); ++p)
            position_[chain_[p]] = p;
        rebuildStarts();
    }

    void rebuildStarts()
    {
        starts_.resize(counts_.size());
        std::size_t start = 0;
        for (std::size_t p = 0; p < counts_.size(); ++p) {
            starts_[p] = start;
            start += counts_[p];
        }
        lastPos_ = 0;
    }

    // Chain position and slot of a record; sequential access stays on the same or next block.
    std::pair<std::size_t, std::size_t> locate(std::size_t index)
    {
        auto inside = [&](std::size_t p) { return index >= starts_[p] && index < starts_[p] + counts_[p]; };
        std::size_t p = lastPos_;
        if (p >= chain_.size() || !inside(p)) {
            if (p + 1 < chain_.size() && inside(p + 1))
                ++p;
            else
                p = static_cast<std::size_t>(std::upper_bound(starts_.begin(), starts_.end(), index) -
                                             starts_.begin()) -
                    1;
        }
        lastPos_ = p;
        return {p, index - starts_[p]};
    }

    // ---- block cache --------------------------------------------------------------------

    void blockHeader(std::uint32_t number, std::uint8_t* out) const
    {
        const std::size_t p = number < position_.size() ? position_[number] : kNoPosition;
        if (p == kNoPosition)
            return;
        putLe16(out, p + 1 < chain_.size() ? chain_[p + 1] : 0);
        putLe16(out + 2, p > 0 ? chain_[p - 1] : 0);
        putLe16(out + 4, static_cast<std::uint16_t>((static_cast<int>(counts_[p]) - 1) * static_cast<int>(recordSize_)));
    }

    void writeBack(Cached& c)
    {
        blockHeader(c.number, c.bytes.data());
        file_.writeAt(blockOffset(c.number), c.bytes.data(), blockSize_);
        staleHeaders_.erase(c.number);
        c.dirty = false;
    }

    Cached& block(std::uint32_t number, bool fresh = false)
    {
        ++useClock_;
        Cached* victim = &cache_[0];
        for (Cached& c : cache_) {
            if (c.number == number) {
                c.lastUse = useClock_;
                return c;
            }
            if (c.number == 0 || (victim->number != 0 && c.lastUse < victim->lastUse))
                victim = &c;
        }
        if (victim->number != 0 && victim->dirty)
            writeBack(*victim);
        victim->number = 0;
        victim->bytes.assign(blockSize_, 0);
        if (!fresh) {
            const std::uint64_t at = blockOffset(number);
            if (at < file_.size())
                file_.readSome(at, victim->bytes.data(),
                               static_cast<std::size_t>(std::min<std::uint64_t>(blockSize_, file_.size() - at)));
        }
        victim->number = number;
        victim->dirty = fresh;
        victim->lastUse = useClock_;
        return *victim;
    }

    void forget(std::uint32_t number)
    {
        for (Cached& c : cache_)
            if (c.number == number) {
                c.number = 0;
                c.dirty = false;
            }
        staleHeaders_.erase(number);
    }

    // The block's links changed: its header is rewritten on flush.
    void relinked(std::uint32_t number)
    {
        for (Cached& c : cache_)
            if (c.number == number) {
                c.dirty = true;
                return;
            }
        staleHeaders_.insert(number);
    }

    void addBlock()
    {
        if (fileBlocks_ >= kMaxBlockNumber)
            throw TableError("The table " + path_ + " is full (" + std::to_string(kMaxBlockNumber) + " blocks)");
        const std::uint32_t number = fileBlocks_ + 1;
        block(number, true);
        fileBlocks_ = number;
        usedBlocks_ = static_cast<std::uint16_t>(std::min<std::uint32_t>(usedBlocks_ + 1u, kMaxBlockNumber));
        if (!chain_.empty())
            relinked(chain_.back());
        const std::size_t start = starts_.empty() ? 0 : starts_.back() + counts_.back();
        chain_.push_back(number);
        counts_.push_back(0);
        starts_.push_back(start);
        position_.resize(fileBlocks_ + 1, kNoPosition);
        position_[number] = chain_.size() - 1;
        changed_ = true;
    }

    // A block emptied by a removal leaves the chain. The first block of the chain is kept by
    // moving the next block's records into it, so the chain keeps starting at the same block.
    void dropEmptyBlock(std::size_t pos)
    {
        if (pos == 0 && chain_.size() > 1) {
            Cached& next = block(chain_[1]);
            const std::vector<std::uint8_t> moved(next.bytes.begin() + kBlockHeaderSize,
                                                  next.bytes.begin() + kBlockHeaderSize + counts_[1] * recordSize_);
            Cached& first = block(chain_[0]);
            std::copy(moved.begin(), moved.end(), first.bytes.begin() + kBlockHeaderSize);
            first.dirty = true;
            counts_[0] = counts_[1];
            counts_[1] = 0;
            pos = 1;
        }
        const std::uint32_t number = chain_[pos];
        chain_.erase(chain_.begin() + static_cast<std::ptrdiff_t>(pos));
        counts_.erase(counts_.begin() + static_cast<std::ptrdiff_t>(pos));
        position_[number] = kNoPosition;
        for (std::size_t p = pos; p < chain_.size(); ++p)
            position_[chain_[p]] = p;
        if (pos > 0)
            relinked(chain_[pos - 1]);
        if (pos < chain_.size())
            relinked(chain_[pos]);
        releaseBlock(number);
    }

    // Gives a block that left the chain back: the file shrinks by one block, the last block
    // moving into the freed place when it is in use. A file whose last block is on the free
    // list of another program gets the block onto that list instead.
    void releaseBlock(std::uint32_t number)
    {
        const std::uint32_t last = fileBlocks_;
        forget(number);
        if (number != last) {
            const std::size_t lastPos = position_[last];
            if (lastPos == kNoPosition) {
                std::uint8_t head[kBlockHeaderSize];
                putLe16(head, firstFree_);
                putLe16(head + 2, 0);
                putLe16(head + 4, static_cast<std::uint16_t>(-static_cast<int>(recordSize_)));
                file_.writeAt(blockOffset(number), head, sizeof head);
                firstFree_ = static_cast<std::uint16_t>(number);
                usedBlocks_ = usedBlocks_ > 0 ? usedBlocks_ - 1 : 0;
                return;
            }
            const std::vector<std::uint8_t> bytes = block(last).bytes;
            forget(last);
            Cached& moved = block(number, true);
            moved.bytes = bytes;
            chain_[lastPos] = number;
            position_[number] = lastPos;
            position_[last] = kNoPosition;
            if (lastPos > 0)
                relinked(chain_[lastPos - 1]);
            if (lastPos + 1 < chain_.size())
                relinked(chain_[lastPos + 1]);
        }
        file_.truncate(blockOffset(last));
        --fileBlocks_;
        usedBlocks_ = usedBlocks_ > 0 ? usedBlocks_ - 1 : 0;
        position_.resize(fileBlocks_ + 1);
    }

    BinaryFile file_;
    std::string path_;
    bool readOnly_;
    std::vector<std::uint8_t> header_;  // the common header, patched and rewritten on flush
    std::vector<FieldInfo> fields_;
    std::vector<FieldLayout> layout_;
    int codePage_ = kDefaultCodePage;
    std::uint32_t recordSize_ = 0;
    std::uint32_t headerSize_ = 0;
    std::uint32_t blockSize_ = 0;
    std::uint32_t perBlock_ = 0;
    std::uint32_t fileBlocks_ = 0;
    std::uint16_t usedBlocks_ = 0;
    std::uint16_t firstFree_ = 0;
    std::uint32_t autoInc_ = 0;
    RecordCodec codec_{layout_, fields_, codePage_, path_};

    std::vector<std::uint32_t> chain_;   // block numbers in record order
    std::vector<std::uint32_t> counts_;  // records in each block of the chain
    std::vector<std::size_t> starts_;    // index of the first record of each block
    std::vector<std::size_t> position_;  // chain position of each block number
    std::size_t recordCount_ = 0;
    std::size_t lastPos_ = 0;
    bool changed_ = false;

    std::array<Cached, 4> cache_;
    std::uint64_t useClock_ = 0;
    std::unordered_set<std::uint32_t> staleHeaders_;
    std::vector<std::uint8_t> scratch_;
};

}  // namespace

std::unique_ptr<TableFile> open(const std::string& path, bool readOnly)
{
    return std::make_unique<ParadoxTable>(BinaryFile::openExisting(path, !readOnly), readOnly);
}

CreateResult create(const std::string& path, const std::vector<FieldDef>& fields)
{
    const std::vector<std::uint8_t> header = newTableHeader(path, fields);
    if (fileExists(path))
        throw TableError("Cannot create the table " + path + ": the file exists");
    {
        BinaryFile file = BinaryFile::createNew(path);
        try {
            file.writeAt(0, header.data(), header.size());
        } catch (...) {
            file.close();
            std::remove(path.c_str());
            throw;
        }
    }
    CreateResult result;
    result.table = open(path, false);
    return result;
}

}  // namespace zandor::tables::paradox
