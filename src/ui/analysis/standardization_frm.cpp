#include "ui/analysis/standardization_frm.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <exception>

#include "analysis/standardization.h"
#include "text/refusal.h"
#include "ui/analysis/field_series.h"
#include "ui/common/named.h"
#include "ui/common/prompts.h"
#include "ui/session/session.h"

namespace zandor::ui {

namespace stdz = analysis::standardization;

namespace {

QString qtext(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

struct BoxRow {
    QComboBox** box;
    const char* name;
    const char* label;
};

// A group of field boxes with their labels, each box listing the current table's fields.
QGroupBox* fieldGroup(QWidget* page, const char* title, const QStringList& fields, std::initializer_list<BoxRow> rows)
{
    auto* group = new QGroupBox(QString::fromUtf8(title), page);
    auto* layout = new QFormLayout(group);
    for (const BoxRow& row : rows) {
        *row.box = named(new QComboBox(group), row.name);
        (*row.box)->addItems(fields);
        (*row.box)->setCurrentIndex(-1);
        (*row.box)->setMinimumContentsLength(12);
        layout->addRow(QString::fromUtf8(row.label), *row.box);
    }
    return group;
}

struct EditRow {
    QLineEdit** edit;
    const char* name;
    const char* label;
    std::string_view text;
};

QGroupBox* editGroup(QWidget* page, const char* title, std::initializer_list<EditRow> rows)
{
    auto* group = new QGroupBox(QString::fromUtf8(title), page);
    auto* layout = new QFormLayout(group);
    for (const EditRow& row : rows) {
        *row.edit = named(new QLineEdit(qtext(row.text), group), row.name);
        layout->addRow(QString::fromUtf8(row.label), *row.edit);
    }
    return group;
}

QHBoxLayout* buttonRow(QPushButton* ok, QPushButton* cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace

Tstandardization_Frm::Tstandardization_Frm(Session& session, QWidget* parent) : QDialog(parent), session_(session)
{
    setObjectName(QStringLiteral("standardization_Frm"));
    setWindowTitle(QStringLiteral("人口数据标准化"));
    PageControl1 = named(new QTabWidget(this), "PageControl1");
    PageControl1->addTab(byAgePage(), QStringLiteral("按年龄结构"));
    PageControl1->addTab(ruralUrbanPage(), QStringLiteral("分城乡分年龄结构"));
    (new QVBoxLayout(this))->addWidget(PageControl1);

    const struct {
        QComboBox* box;
        std::vector<double>* series;
    } loaders[] = {{ComboBox4, &male_},       {ComboBox5, &female_},        {ComboBox2, &male_},
                   {ComboBox3, &female_},     {ComboBox1, &urbanMale_},     {ComboBox10, &urbanFemale_}};
    for (const auto& l : loaders)
        connect(l.box, &QComboBox::currentTextChanged, this,
                [this, l] { loadPopulationField(this, session_, l.box, *l.series); });
    connect(Button3, &QPushButton::clicked, this, &Tstandardization_Frm::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &Tstandardization_Frm::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &Tstandardization_Frm::Button4Click);
    connect(Button2, &QPushButton::clicked, this, &Tstandardization_Frm::Button2Click);
}

QWidget* Tstandardization_Frm::byAgePage()
{
    auto* page = named(new QWidget(this), "TabSheet1");
    const QStringList fields = session_.fieldNames();
    auto* standard = fieldGroup(page, "标准年龄结构", fields,
                                {{&ComboBox4, "ComboBox4", "男性年龄别人口"}, {&ComboBox5, "ComboBox5", "女性年龄别人口"}});
    auto* total = editGroup(page, "", {{&Edit7, "Edit7", "被标准化总人口", stdz::kDefaultTotal}});
    auto* result = editGroup(page, "结果存储",
                             {{&Edit5, "Edit5", "男性年龄别人口", stdz::kByAgeFields[0]},
                              {&Edit6, "Edit6", "女性年龄别人口", stdz::kByAgeFields[1]}});
    Button3 = named(new QPushButton(QStringLiteral("确定"), page), "Button3");
    Button4 = named(new QPushButton(QStringLiteral("取消"), page), "Button4");
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(standard);
    layout->addWidget(total);
    layout->addWidget(result);
    layout->addStretch();
    layout->addLayout(buttonRow(Button3, Button4));
    return page;
}

QWidget* Tstandardization_Frm::ruralUrbanPage()
{
    auto* page = named(new QWidget(this), "TabSheet2");
    const QStringList fields = session_.fieldNames();
    auto* urban = fieldGroup(page, "标准城市人口年龄结构", fields,
                             {{&ComboBox1, "ComboBox1", "男性年龄别人口"}, {&ComboBox10, "ComboBox10", "女性年龄别人口"}});
    auto* rural = fieldGroup(page, "标准农村人口年龄结构", fields,
                             {{&ComboBox2, "ComboBox2", "男性年龄别人口"}, {&ComboBox3, "ComboBox3", "女性年龄别人口"}});
    auto* total = editGroup(page, "", {{&Edit8, "Edit8", "被标准化总人口", stdz::kDefaultTotal}});
    auto* result = editGroup(page, "结果存储",
                             {{&Edit1, "Edit1", "农村男性年龄别人口", stdz::kRuralUrbanFields[0]},
                              {&Edit2, "Edit2", "农村女性年龄别人口", stdz::kRuralUrbanFields[1]},
                              {&Edit3, "Edit3", "城市男性年龄别人口", stdz::kRuralUrbanFields[2]},
                              {&Edit4, "Edit4", "城市女性年龄别人口", stdz::kRuralUrbanFields[3]}});
    Button1 = named(new QPushButton(QStringLiteral("确定"), page), "Button1");
    Button2 = named(new QPushButton(QStringLiteral("取消"), page), "Button2");
    auto* standards = new QHBoxLayout;
    standards->addWidget(urban);
    standards->addWidget(rural);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(standards);
    layout->addWidget(total);
    layout->addWidget(result);
    layout->addStretch();
    layout->addLayout(buttonRow(Button1, Button2));
    return page;
}

// Every box of the page chosen, then the engine's press; the grid shows the new fields.
void Tstandardization_Frm::standardizeInto(std::initializer_list<QComboBox*> chosen,
                                           std::vector<std::vector<double>> standard, QLineEdit* total,
                                           std::initializer_list<QLineEdit*> names)
{
    try {
        for (const QComboBox* box : chosen)
            if (box->currentText().isEmpty())
                throw Refusal(std::string(stdz::kTooFewFields));
        analysis::StandardizationRequest request{std::move(standard), total->text().toStdString(), {}, {}};
        for (const QLineEdit* name : names)
            request.names.push_back(name->text().toStdString());
        for (const QComboBox* box : chosen)
            request.fields.push_back(box->currentText().toStdString());
        analysis::standardizeInto(session_.table(), request);
    } catch (const std::exception& e) {
        emit session_.tableChanged();
        Prompts::information(this, QString::fromStdString(e.what()));
        return;
    }
    emit session_.tableChanged();
}

void Tstandardization_Frm::Button3Click()
{
    standardizeInto({ComboBox4, ComboBox5}, {male_, female_}, Edit7, {Edit5, Edit6});
}

void Tstandardization_Frm::Button1Click()
{
    standardizeInto({ComboBox2, ComboBox3, ComboBox1, ComboBox10}, {male_, female_, urbanMale_, urbanFemale_}, Edit8,
                    {Edit1, Edit2, Edit3, Edit4});
}

void Tstandardization_Frm::Button4Click() { close(); }
void Tstandardization_Frm::Button2Click() { close(); }

}  // namespace zandor::ui
