#include "tables/batch_move.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tables/ascii_table.h"
#include "tables/binary_file.h"
#include "tables/codepage.h"
#include "tables/replace.h"
#include "tables/statements.h"
#include "tables/table_error.h"
#include "tables/table_lock.h"

namespace zandor::tables {
namespace {

namespace fs = std::filesystem;

// A path cut into folder (with its slash), stem and extension (with its dot).
struct PathParts {
    std::string folder;
    std::string stem;
    std::string extension;
};

PathParts split(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const auto dot = path.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && dot > nameStart;
    PathParts p;
    p.folder = path.substr(0, nameStart);
    p.stem = path.substr(nameStart, (hasExtension ? dot : path.size()) - nameStart);
    p.extension = hasExtension ? path.substr(dot) : std::string();
    return p;
}

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Extensions (with the dot) of the files beside `path` that share its stem and differ only in
// a single extension: a dBase table's .cpg and memo file, a Paradox table's .MB.
std::vector<std::string> companionExtensions(const std::string& path)
{
    const PathParts parts = split(path);
    std::vector<std::string> found;
    std::error_code ec;
    fs::directory_iterator it(parts.folder.empty() ? fs::path(".") : fs::path(parts.folder), ec);
    if (ec)
        return found;
    const std::string prefix = parts.stem + ".";
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const std::string extension = name.substr(parts.stem.size());
        if (extension == parts.extension || extension.find('.', 1) != std::string::npos)
            continue;
        found.push_back(extension);
    }
    return found;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    if (from.empty())
        return text;
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::string_view storageName(StorageType storage)
{
    switch (storage) {
    case StorageType::Alpha: return "Char";
    case StorageType::LongInt: return "Integer";
    case StorageType::Number: return "Float";
    case StorageType::Date: return "Date";
    case StorageType::Logical: return "Boolean";
    case StorageType::ShortInt: return "Short integer";
    case StorageType::AutoInc: return "Auto-increment";
    case StorageType::Currency: return "Currency";
    case StorageType::Time: return "Time";
    case StorageType::Timestamp: return "Timestamp";
    case StorageType::Memo: return "Memo";
    case StorageType::Blob: return "Binary";
    case StorageType::Bcd: return "BCD";
    case StorageType::Bytes: return "Bytes";
    case StorageType::Other: return "Other";
    }
    return "Other";
}

bool writableStorage(StorageType storage)
{
    switch (storage) {
    case StorageType::Alpha:
    case StorageType::LongInt:
    case StorageType::Number:
    case StorageType::Date:
    case StorageType::Logical:
        return true;
    default:
        return false;
    }
}

}  // namespace

bool carriedByReader(StorageType storage, TableFormat format)
{
    switch (storage) {
    case StorageType::Blob:
    case StorageType::Other:
        return false;
    case StorageType::Memo:
        // A Paradox record holds the start of its memo (all of it when short); a dBase record
        // holds only the block number of the text in the memo file.
        return format == TableFormat::Paradox;
    default:
        return true;
    }
}

namespace {

std::string defText(const FieldDef& def)
{
    std::string text(kindName(def.kind));
    if (def.kind == FieldKind::Char)
        text += "(" + std::to_string(def.size) + ")";
    return text;
}

// Bytes a text takes in a table's code page (its UTF-8 length when it has no form there;
// writing it fails later with the codec's own message).
std::size_t storedLength(const std::string& text)
{
    const auto encoded = encodeText(text, kDefaultCodePage);
    return encoded ? encoded->size() : text.size();
}

void checkTargetName(const std::string& target, TableFormat format)
{
    const std::string extension = lowered(split(target).extension);
    bool suits = false;
    std::string wanted;
    switch (format) {
    case TableFormat::Paradox:
        suits = extension.empty() || extension == ".db";
        wanted = ".db";
        break;
    case TableFormat::DBase:
    case TableFormat::FoxPro:
        suits = extension == ".dbf";
        wanted = ".dbf";
        break;
    case TableFormat::Ascii:
        suits = extension == ".txt";
        wanted = ".txt";
        break;
    }
    if (!suits)
        throw TableError("The name " + target + " does not suit a " + std::string(formatName(format)) +
                         " table: use the extension " + wanted);
}

}  // namespace

std::vector<TargetField> fieldsForFormat(TableFile& source, TableFormat format, std::vector<std::string>& remarks,
                                         int omit)
{
    const auto& fields = source.fields();
    const int limit = maxCharWidth(format);
    std::vector<TargetField> out;
    std::vector<std::size_t> measured;  // positions in `out` of text fields whose width comes from the values
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (static_cast<int>(i) == omit)
            continue;
        if (!carriedByReader(fields[i].storage, source.format())) {
            remarks.push_back(fields[i].name + ": " + std::string(storageName(fields[i].storage)) +
                              " field not copied (its content is kept in a separate file that is not read)");
            continue;
        }
        TargetField t{fields[i].def(), static_cast<int>(i)};
        if (t.def.kind == FieldKind::Char && (fields[i].storage != StorageType::Alpha || t.def.size > limit))
            measured.push_back(out.size());
        out.push_back(std::move(t));
    }
    if (!measured.empty()) {
        std::vector<std::size_t> longest(measured.size(), 0);
        std::vector<std::size_t> longestRecord(measured.size(), 0);
        Record record;
        for (std::size_t r = 0; r < source.recordCount(); ++r) {
            source.read(r, record);
            for (std::size_t k = 0; k < measured.size(); ++k) {
                const auto column = static_cast<std::size_t>(out[measured[k]].source);
                if (column >= record.size() || isNull(record[column]))
                    continue;
                const std::size_t length = storedLength(toText(record[column]));
                if (length > longest[k]) {
                    longest[k] = length;
                    longestRecord[k] = r;
                }
            }
        }
        for (std::size_t k = 0; k < measured.size(); ++k) {
            FieldDef& def = out[measured[k]].def;
            if (longest[k] > static_cast<std::size_t>(limit))
                throw TableError("The field " + def.name + " of " + source.path() + " holds a text of " +
                                 std::to_string(longest[k]) + " bytes (record " + std::to_string(longestRecord[k] + 1) +
                                 "), longer than the " + std::to_string(limit) + " a " +
                                 std::string(formatName(format)) + " text field holds");
            // Keep the declared width where the format allows it, so later values fit as before.
            def.size = std::max({static_cast<int>(longest[k]), std::min(def.size, limit), 1});
        }
    }
    for (const TargetField& t : out) {
        const FieldInfo& info = fields[static_cast<std::size_t>(t.source)];
        const bool changed = !writableStorage(info.storage) ||
                             (info.storage == StorageType::Alpha && t.def.size != info.def().size);
        if (changed) {
            const std::string from = info.storage == StorageType::Alpha ? "Char(" + std::to_string(info.def().size) + ")"
                                                                        : std::string(storageName(info.storage));
            std::string remark = info.name + ": " + from + " → " + defText(t.def);
            if (info.storage == StorageType::Memo)
                remark += " (the text held in the table itself; text kept only in the memo file is not copied)";
            remarks.push_back(std::move(remark));
        }
    }
    return out;
}

std::vector<std::string> rewriteTable(TableFile& source, const std::string& linkOrTarget, TableFormat format,
                                      const std::vector<TargetField>& fields, const CopyHook& afterRecord,
                                      ExistingTarget existing)
{
    // A table reached through a symbolic link is rewritten where it lies; the link stays.
    std::string target = linkOrTarget;
    std::error_code linkError;
    if (fs::is_symlink(fs::symlink_status(linkOrTarget, linkError))) {
        target = fs::canonical(linkOrTarget, linkError).string();
        if (linkError)
            throw TableError("Cannot follow the link " + linkOrTarget + ": " + linkError.message());
    }
    const auto& sourceFields = source.fields();
    std::vector<FieldDef> defs;
    for (const TargetField& f : fields) {
        if (f.source >= static_cast<int>(sourceFields.size()))
            throw TableError("Internal error: field " + f.def.name + " names a source field that does not exist");
        defs.push_back(f.def);
    }

    // The new table is written under the target's own name in a fresh work folder beside it
    // (on the same disk, so moving it in is one rename); formats that record their file's name
    // inside (a Paradox header, an ASCII schema) then name the target, not a temporary file.
    // The target is held exclusively from here until it is replaced.
    const TableLock lock = TableLock::acquire(target, TableLock::Mode::Exclusive);
    requireRegularOrMissing(target);
    if (existing == ExistingTarget::Refuse && fileExists(target))
        throw TableExists("The table " + target + " already exists");
    const PathParts targetParts = split(target);
    const std::string fileName = targetParts.stem + targetParts.extension;
    WorkFolder work(target);
    const std::string& workFolder = work.path();
    const std::string temp = work.file(fileName);
    // Messages of the format's writer name the file it writes; the user knows it as the target.
    const std::string targetFolder = targetParts.folder.empty() ? "." : targetParts.folder.substr(0, targetParts.folder.size() - 1);
    auto inTargetTerms = [&](const std::string& message) {
        return replaceAll(replaceAll(message, temp, target), workFolder, targetFolder);
    };
    std::vector<std::string> remarks;
    std::unique_ptr<TableFile> out;
    try {
        CreateResult created = createTableFile(temp, format, defs);
        out = std::move(created.table);
        faultPoint();
        for (std::string& remark : created.remarks)
            remarks.push_back(inTargetTerms(remark));
        const auto& outFields = out->fields();
        if (outFields.size() != fields.size())
            throw TableError("The new table " + temp + " has " + std::to_string(outFields.size()) + " fields instead of " +
                             std::to_string(fields.size()));
        Record in;
        Record record(fields.size());
        const std::size_t count = source.recordCount();
        for (std::size_t r = 0; r < count; ++r) {
            source.read(r, in);
            for (std::size_t j = 0; j < fields.size(); ++j) {
                const int column = fields[j].source;
                const bool newValue = r < fields[j].values.size();
                const bool fromSource = !newValue && column >= 0 && static_cast<std::size_t>(column) < in.size();
                if (!fromSource && !newValue) {
                    record[j] = std::monostate{};
                    continue;
                }
                try {
                    record[j] = coerceToField(fromSource ? in[static_cast<std::size_t>(column)] : Value{fields[j].values[r]},
                                              outFields[j]);
                } catch (const TableError& e) {
                    throw TableError("Record " + std::to_string(r + 1) + ", field " + outFields[j].name + ": " +
                                     e.what());
                }
            }
            out->append(record);
            if (afterRecord)
                afterRecord(r + 1);
        }
        out->flush();
        out.reset();
    } catch (const TableError& e) {
        out.reset();
        throw TableError(inTargetTerms(e.what()));
    }
    // The new table is complete: put it and its companion files in place of the old ones,
    // the table itself first. Each keeps the owner and access rights of the file it replaces.
    const std::vector<std::string> oldCompanions = companionExtensions(target);
    const std::vector<std::string> installed = work.install(fileName, existing == ExistingTarget::Replace);
    // A code page file left from the old table would make its text be read in the wrong
    // code page; other old companions (memo, index) are left as they were.
    if (format == TableFormat::DBase || format == TableFormat::FoxPro) {
        for (const std::string& extension : oldCompanions)
            if (lowered(extension) == ".cpg" &&
                std::find(installed.begin(), installed.end(), targetParts.stem + extension) == installed.end())
                std::remove((targetParts.folder + targetParts.stem + extension).c_str());
    }
    return remarks;
}

std::vector<std::string> createTable(const std::string& path, TableFormat format, const std::vector<FieldDef>& fields,
                                     const std::function<void(TableFile&)>& fill)
{
    const TableLock lock = TableLock::acquire(path, TableLock::Mode::Exclusive);
    requireRegularOrMissing(path);
    if (fileExists(path))
        throw TableExists("The table " + path + " already exists");
    const PathParts parts = split(path);
    const std::string fileName = parts.stem + parts.extension;
    WorkFolder work(path);
    const std::string temp = work.file(fileName);
    std::vector<std::string> remarks;
    try {
        CreateResult created = createTableFile(temp, format, fields);
        faultPoint();
        if (fill)
            fill(*created.table);
        created.table->flush();
        created.table.reset();
        remarks = std::move(created.remarks);
    } catch (const TableError& e) {
        throw TableError(replaceAll(replaceAll(e.what(), temp, path), work.path() + "/", parts.folder));
    }
    work.install(fileName, false);
    return remarks;
}

std::vector<std::string> copyTable(const std::string& source, const std::string& target, TableFormat format,
                                   const CopyHook& afterRecord)
{
    checkTargetName(target, format);
    std::error_code ec;
    if (source == target || (fileExists(target) && fs::equivalent(source, target, ec)))
        throw TableError("A table cannot be copied onto itself: " + target);
    // The source is held for reading, as a window showing it does, so that no change of it
    // comes into the copy half way.
    const TableLock reading = TableLock::acquire(source, TableLock::Mode::Shared);
    auto in = openTableFile(source, true);
    std::vector<std::string> remarks;
    const std::vector<TargetField> fields = fieldsForFormat(*in, format, remarks);
    // Whether the copy replaces a table is settled under the target's lock: nothing of it
    // there then, and the new table is only created.
    const TableLock lock = TableLock::acquire(target, TableLock::Mode::Exclusive);
    const PathParts parts = split(target);
    bool present = fs::exists(fs::symlink_status(target, ec));
    if (format == TableFormat::DBase || format == TableFormat::FoxPro)
        for (const char* cpg : {".cpg", ".CPG"})
            present = present || fs::exists(fs::symlink_status(parts.folder + parts.stem + cpg, ec));
    if (format == TableFormat::Ascii)
        present = present || fs::exists(fs::symlink_status(ascii::schemaPath(target), ec));
    std::vector<std::string> more = rewriteTable(*in, target, format, fields, afterRecord,
                                                 present ? ExistingTarget::Replace : ExistingTarget::Refuse);
    remarks.insert(remarks.end(), more.begin(), more.end());
    return remarks;
}

}  // namespace zandor::tables
