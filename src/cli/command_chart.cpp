// zandor-cli chart TABLE: a chart of table fields (or the age pyramid of two of them) written
// as BMP, PNG, SVG or PDF, drawn by the same chart code as the program's chart windows.
#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "charts/chart_builders.h"
#include "charts/chart_export.h"
#include "cli/cli.h"
#include "cli/commands.h"
#include "tables/table.h"

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

charts::Stacking stackingOf(const std::string& stacking)
{
    if (stacking == "side")
        return charts::Stacking::SideBySide;
    if (stacking == "stacked")
        return charts::Stacking::Stacked;
    if (stacking == "stacked100")
        return charts::Stacking::Stacked100;
    return charts::Stacking::Overlap;
}

int smallNumber(const ParsedArgs& args, const std::string& name, int low, int high, int otherwise)
{
    const auto text = args.value(name);
    if (!text)
        return otherwise;
    if (text->empty() || text->size() > 3 || text->find_first_not_of("0123456789") != std::string::npos
        || std::stoi(*text) < low || std::stoi(*text) > high)
        throw UsageError("--" + name + " takes a whole number from " + std::to_string(low) + " to "
                         + std::to_string(high) + ", not '" + *text + "'");
    return std::stoi(*text);
}

// The dialog's settings as the options give them.
charts::FieldChartRequest requestOf(const ParsedArgs& args)
{
    charts::FieldChartRequest request;
    request.kind = kindOf(*args.value("kind"));
    request.title = QString::fromStdString(args.value("title").value_or(""));
    request.bottomTitle = QString::fromStdString(args.value("x-title").value_or(""));
    request.leftTitle = QString::fromStdString(args.value("y-title").value_or(""));
    request.threeD = args.has("3d");
    request.stacking = stackingOf(args.value("stacking").value_or("overlap"));
    request.marks = args.has("marks");
    request.pointSize = smallNumber(args, "point-size", 1, 40, 4);
    request.pointShape = charts::pointShapeFromIndex(smallNumber(args, "point-style", 0, 8, 0));
    return request;
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
    if (kind == "scatter" && names.size() != 2 && names.size() != 3)
        throw UsageError("--kind scatter takes two or three fields: y, x and the label field");
    const ChartSize size = args.has("size") ? parseSize(*args.value("size")) : ChartSize{};
    const std::string out = args.value("out").value_or("chart.png");
    const QString outPath = QString::fromStdString(out);
    if (!charts::exportFormatFor(outPath))
        throw UsageError("--out: the file name must end in .bmp, .png, .svg or .pdf, not '" + out + "'");
    const charts::FieldChartRequest request = requestOf(args);

    auto table = tables::Table::open(args.positional(0), /*readOnly=*/true);
    const bool labelled = kind == "scatter" && names.size() == 3;
    std::vector<charts::FieldColumn> columns =
        charts::readChartFields(table, labelled ? std::vector<std::string>(names.begin(), names.begin() + 2) : names);
    std::optional<std::vector<QString>> labels;
    if (labelled)
        labels = charts::readLabelField(table, names[2]);
    std::optional<QGuiApplication> app;
    ensureGuiApplication(app);
    charts::ChartModel model = charts::chartWindowModel();
    if (kind == "scatter") {
        charts::describeScatterChart(request, columns[0], columns[1], labels ? &*labels : nullptr, model);
    } else if (kind == "pyramid") {
        charts::describePyramidChart(std::move(columns[0]), std::move(columns[1]), request.title, request.titleFont,
                                     model);
        model.view.enabled = request.threeD;
    } else {
        charts::describeFieldChart(request, std::move(columns), model);
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
        .usage = "chart TABLE --kind line|bar|hbar|point|area|scatter|pyramid --fields F1[,F2...] [--title TEXT] "
                 "[--x-title TEXT] [--y-title TEXT] [--3d] [--stacking overlap|side|stacked|stacked100] [--marks] "
                 "[--point-size N] [--point-style N] [--out FILE] [--size WxH]",
        .help = "Draws the fields of TABLE over its rows (x = row position), one series per field,\n"
                "as the chart definition dialogs do, and writes the chart to FILE in the format\n"
                "its extension names: .bmp, .png, .svg or .pdf (default chart.png).\n"
                "\n"
                "  --kind K      line, bar (vertical bars), hbar (horizontal bars), point, area,\n"
                "                scatter: two or three fields, y, x and a field whose texts label\n"
                "                the points, or pyramid: exactly two fields, male then female;\n"
                "                each row's share of the whole population, males to the left\n"
                "  --fields F    field names, separated by commas, as stored in the table; a\n"
                "                field named twice is drawn twice\n"
                "  --title TEXT  the chart title (none by default)\n"
                "  --x-title TEXT, --y-title TEXT\n"
                "                the titles of the horizontal and the vertical axis\n"
                "  --3d          the 3-D view (flat by default)\n"
                "  --stacking S  bars and areas: overlap (default), side (bars side by side),\n"
                "                stacked, or stacked100 (stacked to 100 %)\n"
                "  --marks       bars: a value mark at every bar\n"
                "  --point-size N   points and scatter: marker size in pixels, 1 to 40 (default 4)\n"
                "  --point-style N  points and scatter: marker shape 0 to 8: rectangle, circle, triangle,\n"
                "                down triangle, cross, diagonal cross, star, diamond, small dot\n"
                "  --out FILE    the file to write; an existing file is replaced only when the\n"
                "                new one is complete (a failure, such as a full disk, leaves it as\n"
                "                it was, exit 1); a named pipe, a device or a folder is refused\n"
                "                (exit 1); a link to a regular file replaces the file it names\n"
                "  --size WxH    the chart's size in pixels (default 800x600); SVG and PDF are\n"
                "                drawn at 96 pixels per inch\n"
                "\n"
                "The options are the settings of the chart definition dialogs; with the same\n"
                "fields and settings the command draws the chart the dialog draws.\n"
                "A field the table lacks, or one that does not hold numbers, is refused by name;\n"
                "a value that is not finite or too large for an axis is refused naming the field\n"
                "and the row (exit 2).\n"
                "Nothing is written to standard output.\n",
        .example = "chart single_region.DB --kind pyramid --fields 男性人口,女性人口 --out 金字塔.png",
        .positionals = {"TABLE"},
        .options = {{"kind", true, {"line", "bar", "hbar", "point", "area", "scatter", "pyramid"}},
                    {"fields", true},
                    {"title", true},
                    {"x-title", true},
                    {"y-title", true},
                    {"3d", false},
                    {"stacking", true, {"overlap", "side", "stacked", "stacked100"}},
                    {"marks", false},
                    {"point-size", true},
                    {"point-style", true},
                    {"out", true},
                    {"size", true}},
        .requiredOptions = {"kind", "fields"},
        .run = runChart,
        .tableHold = TableHold::Shared,
    };
    return command;
}

}  // namespace zandor::cli
