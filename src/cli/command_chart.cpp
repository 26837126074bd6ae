// zandor-cli chart TABLE: a chart of table fields (or the age pyramid of two of them) written
// as BMP, PNG, SVG or PDF, drawn by the same chart code as the program's chart windows.
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "charts/chart_builders.h"
#include "charts/chart_export.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "tables/numeric_column.h"
#include "tables/table.h"
#include "tables/table_error.h"

namespace zandor::cli {

namespace {

constexpr int kMaxSide = 20000;  // pixels; larger images would need gigabytes

struct ChartSize {
    int width = 800;
    int height = 600;
};

ChartSize parseSize(const std::string& text)
{
    const auto x = text.find_first_of("xX");
    const auto number = [&](const std::string& part) {
        if (part.empty() || part.size() > 6 || part.find_first_not_of("0123456789") != std::string::npos)
            throw UsageError("--size takes WIDTHxHEIGHT in pixels, for example 800x600, not '" + text + "'");
        const int value = std::stoi(part);
        if (value < 1 || value > kMaxSide)
            throw UsageError("--size: each side must be 1 to " + std::to_string(kMaxSide) + " pixels, not '" + text
                             + "'");
        return value;
    };
    if (x == std::string::npos)
        number("");
    return ChartSize{number(text.substr(0, x)), number(text.substr(x + 1))};
}

std::vector<std::string> splitFields(const std::string& list)
{
    std::vector<std::string> names;
    std::string::size_type start = 0;
    while (true) {
        const auto comma = list.find(',', start);
        names.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (names.back().empty())
            throw UsageError("--fields: empty field name in '" + list + "'");
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

charts::SeriesKind kindOf(const std::string& kind)
{
    if (kind == "line")
        return charts::SeriesKind::Line;
    if (kind == "bar")
        return charts::SeriesKind::Bar;
    if (kind == "hbar")
        return charts::SeriesKind::HorizBar;
    if (kind == "point")
        return charts::SeriesKind::Point;
    return charts::SeriesKind::Area;
}

// The values of the named fields over all rows of the table, in table order.
std::vector<charts::FieldColumn> readFields(const std::string& path, const std::vector<std::string>& names)
{
    auto table = tables::Table::open(path, /*readOnly=*/true);
    std::vector<charts::FieldColumn> columns;
    for (const std::string& name : names) {
        const int index = table.fieldIndex(name);
        if (index < 0)
            throw tables::TableError("the table " + path + " has no field '" + name + "'");
        const auto kind = table.fields()[static_cast<std::size_t>(index)].kind();
        if (kind != tables::FieldKind::Integer && kind != tables::FieldKind::Float)
            throw tables::TableError("the field '" + name + "' of " + path + " does not hold numbers");
        columns.push_back({QString::fromStdString(name), {}});
    }
    for (std::size_t k = 0; k < names.size(); ++k)
        columns[k].values = tables::readNumericColumn(table, names[k]);
    return columns;
}

// Qt's notes about the session (no runtime folder, no display settings) are no concern of a
// batch command; only its errors reach standard error.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        const QByteArray text = message.toLocal8Bit();
        std::fprintf(stderr, "zandor-cli: %s\n", text.constData());
    }
}

// Fonts and painting need a GUI application; without a display the offscreen platform serves.
void ensureGuiApplication(std::optional<QGuiApplication>& app)
{
    if (QCoreApplication::instance())
        return;
    qInstallMessageHandler(quietMessages);
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "zandor-cli";
    static char* argv[] = {name, nullptr};
    app.emplace(argc, argv);
}

int runChart(const ParsedArgs& args, Streams&)
{
    const std::string kind = *args.value("kind");
    const std::vector<std::string> names = splitFields(*args.value("fields"));
    if (kind == "pyramid" && names.size() != 2)
        throw UsageError("--kind pyramid takes exactly two fields: the male and the female population");
    const ChartSize size = args.has("size") ? parseSize(*args.value("size")) : ChartSize{};
    const std::string out = args.value("out").value_or("chart.png");
    const QString outPath = QString::fromStdString(out);
    if (!charts::exportFormatFor(outPath))
        throw UsageError("--out: the file name must end in .bmp, .png, .svg or .pdf, not '" + out + "'");
    const QString title = QString::fromStdString(args.value("title").value_or(""));
    const bool threeD = args.has("3d");

    const std::vector<charts::FieldColumn> columns = readFields(args.positional(0), names);
    std::optional<QGuiApplication> app;
    ensureGuiApplication(app);
    charts::ChartModel model;
    if (kind == "pyramid") {
        model = charts::pyramidChart(columns[0].name, columns[1].name,
                                     charts::pyramidShares(columns[0].values, columns[1].values), title);
        model.view.enabled = threeD;
    } else {
        model = charts::fieldChart(kindOf(kind), columns, title, threeD);
    }
    try {
        charts::exportChart(charts::Chart(std::move(model)), outPath, QSize(size.width, size.height));
    } catch (const charts::ExportError& e) {
        throw std::runtime_error(e.what());
    }
    return kExitOk;
}

}  // namespace

const CommandSpec& chartCommand()
{
    static const CommandSpec command{
        .name = "chart",
        .summary = "a chart of table fields, as BMP, PNG, SVG or PDF",
        .usage = "chart TABLE --kind line|bar|hbar|point|area|pyramid --fields F1[,F2...] [--title TEXT] "
                 "[--3d] [--out FILE] [--size WxH]",
        .help = "Draws the fields of TABLE over its rows (x = row position), one series per field,\n"
                "as the chart definition dialogs do, and writes the chart to FILE in the format\n"
                "its extension names: .bmp, .png, .svg or .pdf (default chart.png).\n"
                "\n"
                "  --kind K      line, bar (vertical bars), hbar (horizontal bars), point, area,\n"
                "                or pyramid: exactly two fields, male then female; each row's\n"
                "                share of the whole population, males to the left\n"
                "  --fields F    field names, separated by commas, as stored in the table\n"
                "  --title TEXT  the chart title (none by default)\n"
                "  --3d          the 3-D view (flat by default)\n"
                "  --out FILE    the file to write; an existing file is replaced only when the\n"
                "                new one is complete\n"
                "  --size WxH    the chart's size in pixels (default 800x600); SVG and PDF are\n"
                "                drawn at 96 pixels per inch\n"
                "\n"
                "Nothing is written to standard output.\n",
        .example = "chart single_region.DB --kind pyramid --fields 男性人口,女性人口 --out 金字塔.png",
        .positionals = {"TABLE"},
        .options = {{"kind", true, {"line", "bar", "hbar", "point", "area", "pyramid"}},
                    {"fields", true},
                    {"title", true},
                    {"3d", false},
                    {"out", true},
                    {"size", true}},
        .requiredOptions = {"kind", "fields"},
        .run = runChart,
    };
    return command;
}

}  // namespace zandor::cli
