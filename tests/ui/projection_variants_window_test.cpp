// "多方案预测" walked by object name over the sample: the check box on the TFR page, the four
// variants run by "开始预测", the results dialog's variant chooser, the fan charts of total
// population and births, the comparison listing; a refused variant named, the others shown.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "projection/indicators.h"
#include "projection/variants.h"
#include "projection_window_support.h"
#include "ui/charts/graph.h"
#include "ui/projection/pop_data_result_frm.h"
#include "ui/projection/pop_result_frm.h"
#include "ui/projection/single_region_frm.h"

using namespace testing_support;
using zandor::Edition;
namespace projection = zandor::projection;

class ProjectionVariantsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void fourVariantsFromOneRun()
    {
        QTemporaryDir dir;
        PromptRecorder prompts;
        auto window = mainWindowWithSample(Edition::Full, dir);
        action(window.get(), QStringLiteral("Projection1"))->trigger();
        auto* dialog = window->singleRegionForm();
        QVERIFY(dialog);
        for (int i = 0; i < 5; ++i)
            child<QComboBox>(dialog, (std::string("ComboBox") + char('2' + i)).c_str())->setCurrentText(QString::fromUtf8(kFieldNames[i]));
        child<QSpinBox>(dialog, "SpinEdit10")->setValue(2000);
        child<QSpinBox>(dialog, "SpinEdit11")->setValue(2004);
        dialog->SpinEdit11DblClick();
        auto* variants = child<QCheckBox>(dialog, "CheckBoxVariants");
        QCOMPARE(variants->text(), QString("多方案预测"));
        QCOMPARE(variants->parentWidget(), child<QWidget>(dialog, "TabSheet2"));
        QVERIFY(!variants->isChecked());
        variants->setChecked(true);
        child<QPushButton>(dialog, "BitBtn2")->click();
        QVERIFY(runsEnded(dialog));
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.messages.join('\n')));
        auto* results = dialog->resultForm();
        QVERIFY(results && results->isVisible());

        // The same four runs through the engine.
        EngineRun engine = chooseSampleFields(dir.filePath(QStringLiteral("single_region.DB")), 2000, 2004);
        const projection::RunOptions options;
        const auto runs = projection::projectVariants(engine.inputs, projection::parseSchedules(engine.inputs, engine.grids, options), options);
        std::vector<projection::VariantResultsView> views;
        for (const auto& run : runs)
            views.push_back({run.variant, &run.run->results});

        auto* chooser = child<QComboBox>(results, "ComboBoxVariant");
        QCOMPARE(chooser->count(), 4);
        QCOMPARE(chooser->itemText(1), QString("高方案"));
        chooser->setCurrentIndex(1);
        child<QComboBox>(results, "ComboBox1")->setCurrentText("出生人数");
        child<QPushButton>(results, "BitBtn2")->click();
        auto* listing = results->findChildren<zandor::ui::Tpop_data_resultForm1*>().last();
        QCOMPARE(listing->lines(), projection::textListing(runs[1].run->results, "出生人数", Edition::Full));

        child<QPushButton>(results, "ButtonVariantListing")->click();
        listing = results->findChildren<zandor::ui::Tpop_data_resultForm1*>().last();
        QCOMPARE(listing->lines(), projection::variantComparisonListing(views, "出生人数", Edition::Full));

        child<QPushButton>(results, "ButtonVariantChart")->click();
        const auto charts = results->findChildren<zandor::ui::TGraph*>();
        QCOMPARE(charts.size(), 2);
        for (int c = 0; c < 2; ++c) {
            const auto& series = charts[c]->chartModel().series;
            QCOMPARE(series.size(), std::size_t(4));
            QCOMPARE(series[3].title, QString("不变方案"));
            const int code = c == 0 ? projection::indicator::kTotal : projection::indicator::kBirths;
            for (std::size_t v = 0; v < 4; ++v)
                for (int t = 0; t < 4; ++t)
                    QCOMPARE(series[v].points.at(t).y, projection::indicatorValues(runs[v].run->results, code)[t]);
        }
    }

    // A variant that was refused: named in the dialog, left out of the chooser and the charts.
    void refusedVariantIsNamed()
    {
        ResultsFixture f;
        auto& kept = f.window->session().singleRegion;
        const char* refusal = "高方案: 2003年的预测结果超出了数值范围.";
        for (projection::Variant v : projection::kVariants) {
            if (v == projection::Variant::High)
                kept.variants.push_back({v, std::nullopt, refusal});
            else
                kept.variants.push_back({v, kept.results, {}});
        }
        zandor::ui::Tpop_result_Form1 results(f.window->session(), f.window->grid(), f.window.get());
        auto* chooser = child<QComboBox>(&results, "ComboBoxVariant");
        QCOMPARE(chooser->count(), 3);
        QCOMPARE(chooser->itemText(1), QString("低方案"));
        QVERIFY(child<QLabel>(&results, "LabelRefusedVariants")->text().contains(QString::fromUtf8(refusal)));
        child<QPushButton>(&results, "ButtonVariantChart")->click();
        QCOMPARE(results.findChildren<zandor::ui::TGraph*>().at(0)->chartModel().series.size(), std::size_t(3));
    }
};

QTEST_MAIN(ProjectionVariantsWindowTest)
#include "projection_variants_window_test.moc"
