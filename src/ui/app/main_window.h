// Tvendol: the main window. It holds the current table in DBGrid1 under the menu bar and
// the two tool bars, and runs every menu command; analysis commands first check that a
// table is open.
#pragma once

#include <QMainWindow>
#include <QPointer>

#include "text/edition.h"

class QMenu;
class QToolBar;

namespace zandor::ui {

class DataGrid;
class HelpWindow;
class Navigator;
class Session;
class TAbout_Frm;
class TLife_table_frm;
class TSingle_Region_frm;
class TTable_info_frm;
class TNew_Table_Frm;
class TTable_Restructure_Frm;
class Tconvert_table_frm;
class Tcompute_Frm;

class Tvendol : public QMainWindow {
    Q_OBJECT
public:
    explicit Tvendol(Edition edition, QWidget* parent = nullptr);
    ~Tvendol() override;

    Session& session() { return *session_; }
    DataGrid* grid() const { return DBGrid1; }

    // Makes the table at `path` the current table, as Open does once a file is chosen. On
    // failure the message is shown and the previous table stays open; false then.
    bool openTable(const QString& path);

    // The most recently created dialogs (kept until the program ends).
    TTable_info_frm* tableInfoForm() const;
    TAbout_Frm* aboutForm() const;
    HelpWindow* helpWindow() const;
    TLife_table_frm* lifeTableForm() const;
    TSingle_Region_frm* singleRegionForm() const;
    TNew_Table_Frm* newTableForm() const;
    TTable_Restructure_Frm* restructureForm() const;
    Tconvert_table_frm* convertForm() const;
    Tcompute_Frm* computeForm() const;

public slots:
    // 文件
    void New1Click();
    void Open1Click();
    void N8Click();
    void Save1Click();
    void Close1Click();
    void Exit1Click();
    // 数据管理
    void N10Click();
    void N11Click();
    void Table_infoClick();
    void Restructure1Click();
    void Convert1Click();
    void Compute1Click();
    // 人口分析
    void N3Click();
    void N4Click();
    void LifeTable1Click();
    void N7Click();
    void N12Click();
    void Projection1Click();
    void N6Click();
    void Simulation1Click();
    // 图形
    void Line1Click();
    void Bar1Click();
    void HorizBar1Click();
    void Point1Click();
    void Area1Click();
    void Scator1Click();
    void AgePyrimider1Click();
    // 帮助
    void About1Click();
    void Content1Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void buildMenus();
    void buildToolBars(QWidget* central);
    // The check every command marked for an open table starts with.
    bool tableIsOpen(const QString& message);
    bool tableIsOpen();
    // Posts the record in edit of the current table; false (after a message) when it could
    // not be stored, in which case the caller leaves the table as it is.
    bool postPendingEdit();
    // Closes the current table (after posting) and clears the table-open flag.
    bool closeTable();
    void preparePopulationTable(bool urbanRural);

    Session* session_;
    DataGrid* DBGrid1 = nullptr;
    Navigator* DBNavigator1 = nullptr;
    QMenu* topMenus_[5] = {};
    QPointer<TTable_info_frm> tableInfoForm_;
    QPointer<TAbout_Frm> aboutForm_;
    QPointer<HelpWindow> helpWindow_;
    QPointer<TLife_table_frm> lifeTableForm_;
    QPointer<TSingle_Region_frm> singleRegionForm_;
    QPointer<TNew_Table_Frm> newTableForm_;
    QPointer<TTable_Restructure_Frm> restructureForm_;
    QPointer<Tconvert_table_frm> convertForm_;
    QPointer<Tcompute_Frm> computeForm_;
};

}  // namespace zandor::ui
